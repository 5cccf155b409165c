# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window comes back where its user left it, and of the same size;
a place no screen shows any more is not restored."""

import contextlib

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class WindowPlace(KoralTestCase):

    def x_window_of(self, window):
        ids = list(self.app._x_windows_of(window))
        self.assertTrue(ids, "fenêtre X de la fenêtre principale")
        return str(ids[0])

    def quit(self, window):
        window.find("push button", "Quitter").click()
        self.assertExitStatus(0)

    def test_moved_and_resized_window_comes_back(self):
        app = self.app
        window = self.start_main_window()
        with self.step("déplacer et agrandir la fenêtre"):
            x_id = self.x_window_of(window)
            app.xdotool("windowsize", "--sync", x_id, "1000", "820")
            app.move_window(window, 310, 170)
            wait_until(lambda: window.extents() == (310, 170, 1000, 820), "la fenêtre en (310, 170), 1000×820")
        with self.step("quitter : la place et la taille sont dans Config.ini"):
            self.quit(window)
            self.assertEqual([app.config_value("fenetre", key) for key in ("x", "y", "largeur", "hauteur")],
                             ["310", "170", "1000", "820"])
        with self.step("redémarrer : la fenêtre revient à sa place, de la même taille"):
            app.start()
            window = app.window("Koral Config")
            wait_until(lambda: window.extents() == (310, 170, 1000, 820),
                       "la fenêtre en (310, 170), 1000×820", timeout=5)
            self.quit(window)

    def test_a_place_off_every_screen_is_not_restored(self):
        app = self.app
        text = app.config_ini.read_text(encoding="utf-8")
        app.config_ini.write_text(text + "\n[fenetre]\nx=5000\ny=3000\nlargeur=900\nhauteur=700\n", encoding="utf-8")
        with self.step("démarrer : la fenêtre s'ouvre au centre de l'écran"):
            app.start()
            window = app.window("Koral Config")
            width, height = koral_e2e.SCREEN
            def centred():
                # Qt leaves room for the caption a window manager would add: about centred.
                x, y, w, h = window.extents()
                return abs(x + w // 2 - width // 2) <= 50 and abs(y + h // 2 - height // 2) <= 50
            with contextlib.suppress(koral_e2e.StepFailed):
                wait_until(centred, "la fenêtre au centre de l'écran", timeout=5)
            x, y, w, h = window.extents()
            self.assertTrue(centred(), f"window at {window.extents()} on a {width}×{height} screen")
            self.assertEqual((w, h), (900, 700), "the saved size is kept where it fits")
            self.quit(window)

if __name__ == "__main__":
    koral_e2e.main()
