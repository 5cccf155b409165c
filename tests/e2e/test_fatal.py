# SPDX-License-Identifier: GPL-3.0-or-later
"""A settings image gone from the player: the message, then exit status 1."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class FatalRoad(KoralTestCase):

    def test_saving_without_settings_dat_ends_the_program_with_status_1(self):
        app = self.app
        window = self.start_main_window()
        with self.step("cocher « Mode Windows 98 »"):
            win98 = window.find("check box", "Mode Windows 98")
            win98.click()
            wait_until(lambda: win98.has_state("CHECKED"), "case cochée")

        with self.step("ouvrir l'onglet Equaliser, puis retirer Settings.dat"):
            sheet = self.open_sheet(window)
            self.choose_tab(sheet, "Equaliser", "slider", "62 Hz")
            app.settings_image.unlink()

        with self.step("enregistrer : le message, puis la fin"):
            sheet.find("push button", "Enregistrer les réglages sur l'Koral").click()
            self.answer_message("'CEqualiser::OnEqvalid'... fichier de configuration absent.")
            self.assertExitStatus(1)
            self.assertFalse(app.settings_image.exists(), "no image is created")
            # Nothing else is saved on the way out.
            self.assertEqual(app.config_value("copie", "win98"), "0")


if __name__ == "__main__":
    koral_e2e.main()
