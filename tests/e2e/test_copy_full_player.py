# SPDX-License-Identifier: GPL-3.0-or-later
"""A player that fills up during a copy: the box names the file that did
not fit, then each file the copy never reached, with their count, and tells
no new name for a file that was not written."""

import os

import koral_e2e
from koral_e2e import ARTIFACTS, FAULT_SHIM, KoralTestCase, wait_until

NAMES = ["t01.mp3", "t02.mp3", "t03.mp3", "t04.mp3", "t05?.mp3"]


class CopyFullPlayerRoad(KoralTestCase):

    def test_the_files_never_tried_are_named_and_counted(self):
        app = self.app
        album = app.computer / "Album"
        album.mkdir()
        for name in NAMES:
            (album / name).write_bytes(name.encode() * 20000)
        # The player is full from the first file written: the walk's order does not matter.
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        app.extra_env.update({"LD_PRELOAD": FAULT_SHIM, "ASAN_OPTIONS": asan, "KORAL_FAULT": "write:ENOSPC:.koral-part"})
        window = self.start_main_window()

        with self.step("copier le dossier sur l'Koral, qui se remplit"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "Album").click()
            window.find("push button", "Copier sur l'Koral").click()
            box = wait_until(lambda: next((alert for alert in app.find_all("alert") if alert.name == "Copie incomplète"),
                                          None), "la boîte « Copie incomplète »")
            text = "\n".join(label.text() for label in box.find_all("label"))
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / "copy-full-player-box.png")

        with self.step("la boîte nomme chaque fichier jamais essayé, et les compte"):
            self.assertEqual(os.listdir(app.player / "Album"), [])
            full = [name for name in NAMES if f"{album / name} : l'Koral est plein" in text
                    or f"Album/{name.replace('?', '_')} : l'Koral est plein" in text]
            self.assertEqual(len(full), 1, text)
            self.assertIn("L'Koral est plein : la copie a été arrêtée, 4 non copiés :", text)
            for name in NAMES:
                if name not in full:
                    self.assertIn(f"non copié : {album / name}", text)
            self.assertNotIn("renommé", text)
            box.find("push button", "OK").click()
            wait_until(lambda: not app.find_all("alert"), "la boîte fermée")

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
