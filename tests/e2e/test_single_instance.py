# SPDX-License-Identifier: GPL-3.0-or-later
"""A second start of the program: it hands over to the window already
running (raised, and showing the player folder the start names) and ends,
so that one window, and one set of options, remains."""

import subprocess
import time

import koral_e2e
from koral_e2e import BINARY, KoralTestCase, wait_until


class CoveringWindow:
    """Another program's window over the Koral window, holding the keyboard."""

    def __init__(self, session):
        from Xlib import X, display
        self.X = X
        self.connection = display.Display(session.display)
        screen = self.connection.screen()
        self.window = screen.root.create_window(0, 0, 1400, 1100, 0, screen.root_depth, X.InputOutput,
                                                X.CopyFromParent, background_pixel=screen.white_pixel)
        self.window.set_wm_name("autre programme")
        self.window.map()
        self.window.configure(stack_mode=X.Above)
        self.connection.sync()
        self.window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.connection.sync()

    def focus(self):
        return self.connection.get_input_focus().focus.id

    def stacking(self):
        """The ids of the screen's top-level windows, the bottom one first."""
        return [child.id for child in self.connection.screen().root.query_tree().children]

    def close(self):
        self.window.destroy()
        self.connection.close()


class SingleInstanceRoad(KoralTestCase):

    def start_again(self, *arguments):
        """A later start from the same user and configuration folder: its exit status and how long it ran."""
        began = time.monotonic()
        result = subprocess.run([BINARY, "--config-dir", str(self.app.config_dir), *arguments],
                                env=self.app.environment(), capture_output=True, timeout=koral_e2e.TIMEOUT)
        return result, time.monotonic() - began

    def koral_windows(self):
        desktop = self.app.atspi.Registry.getDesktop(0)
        count = 0
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            for child in range(application.childCount if application is not None else 0):
                count += (application.getChildAtIndex(child).name or "") == "Koral Config"
        return count

    def test_a_second_start_raises_the_first_window_and_hands_over_its_player(self):
        app = self.app
        other = app.root / "autre-koral"
        (other / "Autre album").mkdir(parents=True)
        (other / "Autre.mp3").write_bytes(b"other player")
        window = self.start_main_window()
        main_ids = set(app.x_window("Koral Config"))
        cover = CoveringWindow(app.session)
        self.addCleanup(cover.close)

        with self.step("un autre programme couvre la fenêtre et a le clavier"):
            self.assertEqual(cover.focus(), cover.window.id)
            stacking = cover.stacking()
            self.assertLess(max(stacking.index(i) for i in main_ids if i in stacking), stacking.index(cover.window.id))

        with self.step("le deuxième démarrage se termine aussitôt, statut 0"):
            result, took = self.start_again()
            self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
            self.assertLess(took, 10)
            self.assertIsNone(app.process.poll())

        with self.step("la première fenêtre passe devant l'autre programme"):
            # Without a window manager the X server keeps the keyboard where the
            # latest request put it (the other program's, newer than any time the
            # window knows): only the stacking tells here.
            def above():
                stacking = cover.stacking()
                return max(stacking.index(i) for i in main_ids if i in stacking) > stacking.index(cover.window.id)
            wait_until(above, "la fenêtre Koral Config au-dessus")
            self.assertEqual(self.koral_windows(), 1)

        with self.step("un démarrage qui nomme un autre Koral : la fenêtre le montre"):
            result, _ = self.start_again("--player", str(other))
            self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
            player_list = window.find("tree", "Dossier de l'Koral")
            player_list.find("table cell", "Autre.mp3")
            player_list.find("table cell", "Autre album")
            self.assertEqual(self.koral_windows(), 1)

        with self.step("--version ne dérange pas la fenêtre"):
            result, _ = self.start_again("--version")
            self.assertEqual(result.returncode, 0)
            self.assertIn(b"koral-config", result.stdout)

        with self.step("quitter : le programme se termine"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
