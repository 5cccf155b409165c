"""Choosing the firmware version in the firmware and profiles dialog."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class FirmwareRoad(KoralTestCase):

    def test_the_chosen_version_is_saved_to_config_ini(self):
        app = self.app
        window = self.start_main_window()

        with self.step("ouvrir « Firmware et profils »"):
            window.find("push button", "Firmware et profils").click()
            dialog = app.window("Firmware et profils")
            versions = dialog.find("combo box")
            wait_until(lambda: versions.name == "119.0", "la version actuelle choisie")

        with self.step("choisir 118.2 dans la liste"):
            versions.choose("118.2")

        with self.step("« Enregistrer les réglages »"):
            dialog.find("push button", "Enregistrer les réglages").click()
            wait_until(lambda: app.config_value("firmware", "version") == "118.2", "[firmware] version=118.2")

        with self.step("« Quitter » le dialogue, puis la fenêtre principale"):
            dialog.find("push button", "Quitter").click()
            app.gone("dialog", "Firmware et profils")
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("firmware", "version"), "118.2")


if __name__ == "__main__":
    koral_e2e.main()
