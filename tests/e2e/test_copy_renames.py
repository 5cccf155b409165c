# SPDX-License-Identifier: GPL-3.0-or-later
"""Copying names the player's file system refuses: the file lands under a
vfat-safe name, and the box after the copy says so."""

import koral_e2e
from koral_e2e import ARTIFACTS, KoralTestCase, wait_until


class CopyRenamesRoad(KoralTestCase):

    def test_a_renamed_file_is_told_in_the_box_after_the_copy(self):
        app = self.app
        (app.computer / "a:b?.mp3").write_bytes(b"R" * 50000)
        (app.computer / "sans souci.mp3").write_bytes(b"plain")
        window = self.start_main_window()

        with self.step("choisir le fichier au nom refusé par l'Koral"):
            computer_list = window.find("tree", "Dossier de l'ordinateur")
            computer_list.find("table cell", "a:b?.mp3").click()

        with self.step("copier sur l'Koral : la boîte nomme le renommage"):
            window.find("push button", "Copier sur l'Koral").click()
            line = "renommé : a:b?.mp3 → a_b_.mp3"
            box = wait_until(lambda: next((alert for alert in app.find_all("alert")
                                           if any(line in label.text() for label in alert.find_all("label"))), None),
                             "la boîte qui nomme le renommage")
            self.assertEqual(box.name, "Copie terminée")
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / "copy-renames-box.png")
            self.assertEqual((app.player / "a_b_.mp3").read_bytes(), b"R" * 50000)
            self.assertFalse((app.player / "a:b?.mp3").exists())
            box.find("push button", "OK").click()
            wait_until(lambda: not app.find_all("alert"), "la boîte fermée")

        with self.step("la liste de l'Koral montre le nouveau nom"):
            window.find("tree", "Dossier de l'Koral").find("table cell", "a_b_.mp3")

        with self.step("un nom accepté tel quel : aucune boîte"):
            computer_list.find("table cell", "sans souci.mp3").click()
            window.find("push button", "Copier sur l'Koral").click()
            wait_until(lambda: (app.player / "sans souci.mp3").is_file(), "le fichier copié")
            window.find("tree", "Dossier de l'Koral").find("table cell", "sans souci.mp3")
            self.assertEqual(app.find_all("alert"), [])

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
