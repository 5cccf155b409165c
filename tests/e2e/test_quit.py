# SPDX-License-Identifier: GPL-3.0-or-later
"""Every way of closing the main window with sheets open: status 0, every option saved."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class QuitRoads(KoralTestCase):

    def open_two_sheets_and_change_options(self, window):
        """Two sheets; the second's Equaliser page gets new options and the main window its own."""
        first = self.open_sheet(window, x=740)
        second = self.open_sheet(window, x=1400)
        self.choose_tab(first, "Réglages de l'Koral", "push button", "Recharger les réglages")
        self.choose_tab(second, "Equaliser", "slider", "62 Hz")
        for name in ("appliquer au preset sélectionné", "sélectionner le preset en cours"):
            choice = second.find("radio button", name)
            choice.click()
            wait_until(lambda: choice.has_state("CHECKED"), f"« {name} » coché")
        win98 = window.find("check box", "Mode Windows 98")
        win98.click()
        wait_until(lambda: win98.has_state("CHECKED"), "« Mode Windows 98 » coché")

    def quit_and_check(self, close):
        app = self.app
        window = self.start_main_window()
        image = app.settings_image.read_bytes()
        with self.step("ouvrir deux feuilles et changer des options"):
            self.open_two_sheets_and_change_options(window)
        with self.step("fermer la fenêtre principale"):
            close(window)
            self.assertExitStatus(0)
        with self.step("les options de la feuille et de la fenêtre sont dans Config.ini"):
            self.assertEqual(app.config_value("equaliser", "perso"), "0")
            self.assertEqual(app.config_value("equaliser", "preset"), "0")
            self.assertEqual(app.config_value("copie", "win98"), "1")
            self.assertEqual(app.config_value("repertoires", "pc"), str(app.computer))
            self.assertEqual(app.settings_image.read_bytes(), image, "closing writes nothing to the player")

    def focus_main_window(self, window):
        """A click on an empty part of the window gives it the keyboard."""
        window.find("label", "Espace total").click()
        wait_until(lambda: window.has_state("ACTIVE"), "la fenêtre principale active")

    def test_quitter_button(self):
        self.quit_and_check(lambda window: window.find("push button", "Quitter").click())

    def test_enter_key(self):
        def press_enter(window):
            self.focus_main_window(window)
            self.app.key("Return")
        self.quit_and_check(press_enter)

    def test_escape_key(self):
        def press_escape(window):
            self.focus_main_window(window)
            self.app.key("Escape")
        self.quit_and_check(press_escape)

    def test_close_box(self):
        self.quit_and_check(self.app.close_box)


if __name__ == "__main__":
    koral_e2e.main()
