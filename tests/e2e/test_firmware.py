# SPDX-License-Identifier: GPL-3.0-or-later
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
            versions = dialog.find("combo box", "Version du firmware")
            wait_until(lambda: versions.entry() == "119.0", "la version actuelle choisie")

        with self.step("choisir 118.2 dans la liste"):
            versions.choose("118.2")

        with self.step("« Enregistrer les réglages »"):
            dialog.find("push button", "Enregistrer les réglages").click()
            wait_until(lambda: app.config_value("firmware", "version") == "118.2", "[firmware] version=118.2")

        with self.step("« Quitter (sans enregistrer) » le dialogue, puis la fenêtre principale"):
            dialog.find("push button", "Quitter (sans enregistrer)").click()
            app.gone("dialog", "Firmware et profils")
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("firmware", "version"), "118.2")

    def test_a_profile_is_saved_through_the_french_file_dialog(self):
        app = self.app
        app.set_config("repertoires", "profil", str(app.computer))
        window = self.start_main_window()
        image = app.settings_image.read_bytes()
        profile = app.computer / "mon-profil.pro"
        title = "Sauver le profil courant (lu sur l'Koral)"

        with self.step("« Sauver », puis « Annuler » : rien n'est écrit"):
            window.find("push button", "Firmware et profils").click()
            dialog = app.window("Firmware et profils")
            dialog.find("push button", "Sauver").click()
            app.window(title).find("push button", "Annuler").click()
            app.gone("dialog", title)
            self.assertFalse(profile.exists())

        with self.step("« Sauver », taper le nom et Entrée"):
            dialog.find("push button", "Sauver").click()
            name_field = app.window(title).find("text", None)
            wait_until(lambda: name_field.has_state("FOCUSED"), "le champ du nom a le focus")
            app.type("mon-profil")
            app.key("Return")
            wait_until(profile.exists, "le profil écrit")

        with self.step("le profil tient les mémoires et le preset Perso du lecteur"):
            radios = [f"{chr(ord('a') + i)}={image[256 + 6 * i]} {image[257 + 6 * i]}" for i in range(20)]
            perso = " ".join(str(byte) for byte in image[64 + 150:64 + 165])
            expected = "\r\n".join(["[radios]", *radios, "", "[equaliser]", f"perso={perso}", ""])
            wait_until(lambda: profile.read_bytes() == expected.encode(), "le profil complet")
            self.assertEqual(app.config_value("repertoires", "profil"), str(app.computer))

        with self.step("quitter"):
            dialog.find("push button", "Quitter (sans enregistrer)").click()
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
