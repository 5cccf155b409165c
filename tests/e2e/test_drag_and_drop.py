# SPDX-License-Identifier: GPL-3.0-or-later
"""Dragging rows of the computer list onto the player list copies them into
the player folder shown, as "Copier sur l'Koral" does; the parent row is
never dragged."""

import time

import koral_e2e
from koral_e2e import ARTIFACTS, KoralTestCase, wait_until


class DragAndDropRoad(KoralTestCase):

    def drag(self, source, target, steps=12, shot=None):
        """A user's drag with the left button: press on the source, move in steps, release on the target."""
        (x0, y0), (x1, y1) = source.centre(), target.centre()
        self.app.xdotool("mousemove", str(x0), str(y0))
        time.sleep(0.2)
        self.app.xdotool("mousedown", "1")
        time.sleep(0.2)
        for step in range(1, steps + 1):
            self.app.xdotool("mousemove", str(x0 + (x1 - x0) * step // steps), str(y0 + (y1 - y0) * step // steps))
            time.sleep(0.08)
        time.sleep(0.3)
        if shot:  # the list showing that it takes the drop
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            self.app.session.screenshot(ARTIFACTS / shot)
        self.app.xdotool("mouseup", "1")

    def test_rows_dragged_onto_the_player_list_are_copied_there(self):
        app = self.app
        (app.computer / "Glissé.mp3").write_bytes(b"G" * 300000)
        (app.computer / "Album").mkdir()
        (app.computer / "Album" / "01.mp3").write_bytes(b"track one")
        window = self.start_main_window()
        computer_list = window.find("tree", "Dossier de l'ordinateur")
        player_list = window.find("tree", "Dossier de l'Koral")
        before = sorted(p.name for p in app.player.iterdir())

        with self.step("glisser le fichier de la liste de l'ordinateur à celle de l'Koral"):
            self.drag(computer_list.find("table cell", "Glissé.mp3"), player_list, shot="drag-over-player-list.png")
            wait_until(lambda: (app.player / "Glissé.mp3").is_file()
                       and (app.player / "Glissé.mp3").read_bytes() == b"G" * 300000, "le fichier sur l'Koral")
            player_list.find("table cell", "Glissé.mp3")
            self.assertTrue((app.computer / "Glissé.mp3").is_file())  # copied, not moved

        with self.step("glisser un dossier : il est copié entier"):
            self.drag(computer_list.find("table cell", "Album"), player_list)
            wait_until(lambda: (app.player / "Album" / "01.mp3").is_file(), "le dossier sur l'Koral")
            self.assertEqual((app.player / "Album" / "01.mp3").read_bytes(), b"track one")

        with self.step("la ligne « .. » ne se glisse pas"):
            self.drag(computer_list.find("table cell", ".."), player_list)
            time.sleep(1.5)
            self.assertEqual(sorted(p.name for p in app.player.iterdir()), sorted(before + ["Album", "Glissé.mp3"]))
            self.assertEqual(app.find_all("alert"), [])

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
