# SPDX-License-Identifier: GPL-3.0-or-later
"""Every tab of the settings sheet takes input beside the main window, and two sheets at once."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until

OFFSET_RADIO = 256   # [119.0] of the shipped Config.ini
OFFSET_REPEAT = 16
REPEAT_ALL = 2       # "répéter tout"


class SheetPagesRoad(KoralTestCase):

    def test_radio_and_player_settings_are_saved_from_two_sheets(self):
        app = self.app
        window = self.start_main_window()
        before = app.settings_image.read_bytes()
        self.assertNotEqual(before[OFFSET_REPEAT], REPEAT_ALL)

        with self.step("première feuille, onglet Radio : taper 101.5 en mémoire A"):
            first = self.open_sheet(window, x=740)
            memory = first.find("text", "Mémoire A")
            memory.click()
            wait_until(lambda: memory.has_state("FOCUSED"), "le champ de la mémoire A a le focus")
            app.key("ctrl+a")
            app.type("101.5")
            app.key("Tab")

        with self.step("la fenêtre principale prend la main pendant ce temps"):
            win98 = window.find("check box", "Mode Windows 98")
            win98.click()
            wait_until(lambda: win98.has_state("CHECKED"), "« Mode Windows 98 » coché")

        with self.step("enregistrer la radio dans l'Koral"):
            first.find("push button", "Enregistrer dans l'Koral").click()
            wait_until(lambda: app.settings_image.read_bytes()[OFFSET_RADIO:OFFSET_RADIO + 3] == bytes([0x7C, 0x8C, 0x01]),
                       "101500 kHz en mémoire A")

        with self.step("seconde feuille, onglet « Réglages de l'Koral » : « répéter tout »"):
            second = self.open_sheet(window, x=1400)
            self.assertEqual(len(app.windows("Propriétés")), 2)
            choice = self.choose_tab(second, "Réglages de l'Koral", "radio button", "répéter tout")
            choice.click()
            wait_until(lambda: choice.has_state("CHECKED"), "« répéter tout » coché")
            second.find("push button", "Enregistrer les réglages").click()
            wait_until(lambda: app.settings_image.read_bytes()[OFFSET_REPEAT] == REPEAT_ALL, "le mode répétition écrit")

        with self.step("la première feuille répond encore : son onglet Equaliser, puis « Quitter sans enregistrer »"):
            self.choose_tab(first, "Equaliser", "slider", "62 Hz")
            first.find("push button", "Quitter sans enregistrer les réglages sur l'Koral").click()
            wait_until(lambda: len(app.windows("Propriétés")) == 1, "la première feuille fermée")

        with self.step("rien d'autre n'a changé dans l'image"):
            after = app.settings_image.read_bytes()
            changed = [i for i in range(len(after)) if after[i] != before[i]]
            self.assertTrue(set(changed) <= {OFFSET_RADIO, OFFSET_RADIO + 1, OFFSET_RADIO + 2, OFFSET_REPEAT}, changed)

        with self.step("quitter : la fenêtre principale garde ses options"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("copie", "win98"), "1")


if __name__ == "__main__":
    koral_e2e.main()
