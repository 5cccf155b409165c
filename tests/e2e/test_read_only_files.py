# SPDX-License-Identifier: GPL-3.0-or-later
"""Files the program must not take at their word: a Config.ini the user made
read-only, files that are no profile, a Settings.dat that cannot be written."""

import os
import subprocess

import koral_e2e
from koral_e2e import KoralTestCase, wait_until

PROFILE_DIALOG = "Ouvrir un profil existant (sauvé directement dans l'Koral)"


def peak_memory_kib(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise AssertionError("VmHWM absent")


class ReadOnlyFilesRoad(KoralTestCase):

    def make_immutable(self, path):
        """chattr +i, undone before the sandbox goes; skips where the file system has no such flag."""
        if subprocess.run(["chattr", "+i", str(path)], capture_output=True).returncode != 0:
            self.skipTest(f"chattr +i impossible sur ce système de fichiers ({path})")
        self.addCleanup(subprocess.run, ["chattr", "-i", str(path)], capture_output=True)

    def load_profile(self, dialog, path):
        dialog.find("push button", "Charger").click()
        name_field = self.app.window(PROFILE_DIALOG).find("text", None)
        wait_until(lambda: name_field.has_state("FOCUSED"), "le champ du nom a le focus")
        self.app.type(str(path))
        self.app.key("Return")
        self.app.gone("dialog", PROFILE_DIALOG)

    def test_a_read_only_config_ini_is_left_alone_and_said_once_at_exit(self):
        app = self.app
        config = app.config_ini
        os.chmod(config, 0o444)
        before = config.read_bytes()
        window = self.start_main_window()

        with self.step("cocher « Mode Windows 98 », puis Quitter"):
            win98 = window.find("check box", "Mode Windows 98")
            win98.click()
            wait_until(lambda: win98.has_state("CHECKED"), "case cochée")
            window.find("push button", "Quitter").click()

        with self.step("un seul message dit que Config.ini est en lecture seule"):
            alert = self.answer_message(f"Les options n'ont pas pu être enregistrées : '{config}' "
                                        "est en lecture seule.")
            self.assertExitStatus(0)
            self.assertEqual(config.read_bytes(), before)
            self.assertEqual(config.stat().st_mode & 0o7777, 0o444)
            self.assertEqual(sorted(p.name for p in app.config_dir.iterdir()), ["Config.ini", "Radios.ini"])
            self.assertIsNotNone(alert)

    def test_files_that_are_no_profile_load_nothing_and_a_profile_says_what_it_loaded(self):
        app = self.app
        foreign = app.computer / "bureau.pro"
        foreign.write_text("[Desktop Entry]\nName=Lecteur\nExec=lecteur %U\n", encoding="utf-8")
        huge = app.computer / "enorme.pro"
        huge.write_bytes(b"[radios]\r\na=28 156\r\n")
        os.truncate(huge, 1 << 30)  # sparse: 1 GiB that takes no room
        good = app.computer / "bon.pro"
        good.write_bytes(b"[radios]\r\na=28 156\r\nb=40 160\r\n\r\n[equaliser]\r\n"
                         b"perso=1 0 0 2 0 0 3 0 0 4 0 0 5 0 0\r\n")
        window = self.start_main_window()
        image = app.settings_image.read_bytes()

        with self.step("ouvrir « Firmware et profils »"):
            window.find("push button", "Firmware et profils").click()
            dialog = app.window("Firmware et profils")

        with self.step("charger un INI d'un autre programme : refusé"):
            self.load_profile(dialog, foreign)
            self.answer_message(f"'{foreign}' n'est pas un profil : rien n'a été chargé.")
            self.assertEqual(app.settings_image.read_bytes(), image)

        with self.step("charger un fichier de 1 Gio : refusé sans être lu"):
            peak_before = peak_memory_kib(app.process.pid)
            self.load_profile(dialog, huge)
            self.answer_message(f"'{huge}' est trop gros pour un profil (plus de 64 Ko) : rien n'a été chargé.")
            # Read whole, the file would add a gibibyte; the file dialog alone
            # takes tens of mebibytes under the sanitizers.
            self.assertLess(peak_memory_kib(app.process.pid) - peak_before, 256 * 1024)
            self.assertEqual(app.settings_image.read_bytes(), image)

        with self.step("charger un vrai profil : ce qui a été chargé est dit"):
            self.load_profile(dialog, good)
            self.answer_message("Profil chargé dans l'Koral : 2 mémoires radio et la courbe de l'égaliseur \"Perso\".")
            loaded = app.settings_image.read_bytes()
            self.assertEqual(loaded[256:259], bytes([28, 156, 1]))
            self.assertEqual(loaded[262:265], bytes([40, 160, 1]))

        with self.step("quitter"):
            dialog.find("push button", "Quitter (sans enregistrer)").click()
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_a_write_protected_settings_dat_is_shown_and_its_save_refused(self):
        app = self.app
        window = self.start_main_window()
        image = app.settings_image.read_bytes()
        self.make_immutable(app.settings_image)

        repeat = ["normal", "répéter 1x", "répéter tout", "shuffle", "shuffle répété"]
        with self.step("ouvrir les réglages : la page montre ceux du lecteur"):
            sheet = self.open_sheet(window)
            shown = self.choose_tab(sheet, "Réglages de l'Koral", "radio button", repeat[image[16]])
            wait_until(lambda: shown.has_state("CHECKED"), f"« {repeat[image[16]]} » coché, comme sur l'Koral")

        with self.step("choisir une autre répétition et enregistrer : « l'Koral est en lecture seule »"):
            other = sheet.find("radio button", "répéter tout" if image[16] != 2 else "normal")
            other.click()
            wait_until(lambda: other.has_state("CHECKED"), "l'autre choix coché")
            sheet.find("push button", "Enregistrer les réglages").click()
            self.answer_message("Les réglages n'ont pas été enregistrés : l'Koral est en lecture seule.")
            self.assertEqual(app.settings_image.read_bytes(), image)

        with self.step("le programme continue, puis se ferme normalement"):
            sheet.find("push button", "Quitter (sans enregistrer)").click()
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
