# SPDX-License-Identifier: GPL-3.0-or-later
"""A folder of the computer bound inside the player: the copy writes nothing
through it and names it in the box after the copy."""

import subprocess

import koral_e2e
from koral_e2e import ARTIFACTS, KoralTestCase, wait_until


class CopyMountsRoad(KoralTestCase):

    def bind(self, source, target):
        target.mkdir(parents=True, exist_ok=True)
        if subprocess.run(["mount", "--bind", str(source), str(target)], capture_output=True).returncode != 0:
            self.skipTest("nothing can be mounted here")
        self.addCleanup(subprocess.run, ["umount", "-l", str(target)], capture_output=True)

    def test_a_copy_into_a_bind_mount_inside_the_player_writes_nothing_outside(self):
        app = self.app
        outside = app.root / "outside"
        outside.mkdir()
        (outside / "a.mp3").write_bytes(b"precious")
        (app.computer / "Album").mkdir()
        (app.computer / "Album" / "a.mp3").write_bytes(b"overwriting" * 1000)
        window = self.start_main_window()
        self.bind(outside, app.player / "Album")

        with self.step("copier Album, dont la place sur l'Koral est un autre volume"):
            computer_list = window.find("tree", "Dossier de l'ordinateur")
            computer_list.find("table cell", "Album").click()
            window.find("push button", "Copier sur l'Koral").click()

        with self.step("la boîte nomme le volume monté ; rien n'a été écrit hors de l'Koral"):
            line = f"{app.player / 'Album'} : autre volume monté dans l'Koral : rien n'y a été copié"
            box = wait_until(lambda: next((alert for alert in app.find_all("alert")
                                           if any(line in label.text() for label in alert.find_all("label"))), None),
                             "la boîte qui nomme le volume monté")
            self.assertEqual(box.name, "Copie incomplète")
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / "copy-mounts-box.png")
            self.assertEqual(sorted(p.name for p in outside.iterdir()), ["a.mp3"])
            self.assertEqual((outside / "a.mp3").read_bytes(), b"precious")
            box.find("push button", "OK").click()
            wait_until(lambda: not app.find_all("alert"), "la boîte fermée")

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
