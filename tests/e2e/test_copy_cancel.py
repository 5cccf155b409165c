# SPDX-License-Identifier: GPL-3.0-or-later
"""Stopping a copy to a slow player: "Annuler", or Escape and its question,
or a termination signal. The file being written is dropped, the finished
ones stay whole under their names, and the program goes on (or, after the
signal, ends in order with its options saved)."""

import signal
import time

import koral_e2e
from koral_e2e import ARTIFACTS, KoralTestCase, wait_until

MIB = 1024 * 1024
# Within the second the copy is given, what the accessibility tree takes to tell.
STOP_BOUND = 1.5


def content(seed, size):
    return (seed.encode() * (size // len(seed) + 1))[:size]


TRACKS = {"un.mp3": content("un", MIB), "deux.mp3": content("deux", 60 * MIB),
          "trois.mp3": content("trois", 60 * MIB)}


class CopyCancelRoads(KoralTestCase):

    def setUp(self):
        super().setUp()
        album = self.app.computer / "Album"
        album.mkdir()
        for name, data in TRACKS.items():
            (album / name).write_bytes(data)
        # Copied by its playlist: in that order, as "01 - un.mp3"...
        (album / "Album.m3u").write_text("\n".join(TRACKS) + "\n")
        self.app.set_config("copie", "suivrem3u", "1")
        self.app.set_config("copie", "trackonly", "0")

    def start_copy(self, milliseconds_per_mebibyte=50):
        """Copies Album to a slow player; returns the main window and the progress dialog
        once the first track is done and the second is being written."""
        app = self.app
        app.slow_player(milliseconds_per_mebibyte)
        window = self.start_main_window()
        with self.step("copier Album sur l'Koral lent"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "Album").click()
            window.find("push button", "Copier sur l'Koral").click()
            dialog = app.window("Opération en cours...")
            wait_until(lambda: (temporary := app.temporary_of("02 - deux.mp3")) is not None
                       and temporary.stat().st_size >= 2 * MIB, "le deuxième titre en cours d'écriture")
            temporary = app.temporary_of("02 - deux.mp3")
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / f"{app.test_name}-progress.png")
        return window, dialog, temporary

    def wait_stopped(self, since):
        wait_until(lambda: not self.app.windows("Opération en cours..."), "la copie arrêtée", timeout=10)
        took = time.monotonic() - since
        print(f"  copie arrêtée en {took:.2f} s", flush=True)
        self.assertLess(took, STOP_BOUND)

    def check_player(self):
        """The first track whole under its name, nothing of the others, no temporary anywhere."""
        album = self.app.player / "Album"
        self.assertEqual((album / "01 - un.mp3").read_bytes(), TRACKS["un.mp3"])
        self.assertEqual(sorted(p.name for p in album.iterdir()), ["01 - un.mp3"])
        self.assertEqual(self.app.partial_files(), [])

    def check_told_and_running(self, window):
        app = self.app
        with self.step("la liste de l'Koral est relue, la boîte dit ce qui a été copié"):
            self.check_player()
            window.find("tree", "Dossier de l'Koral").find("table cell", "Album")
            box = wait_until(lambda: next((alert for alert in app.find_all("alert") if any(
                "Copie annulée : 1 fichier copié, 2 non copiés." == label.text() for label in alert.find_all("label"))),
                None), "la boîte « Copie annulée »")
            wait_until(lambda: box.name == "Copie annulée", "le titre « Copie annulée »")
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / f"{app.test_name}-box.png")
            box.find("push button", "OK").click()
            wait_until(lambda: not app.find_all("alert"), "la boîte fermée")
        with self.step("le programme continue, puis se quitte"):
            self.assertIsNone(app.process.poll())
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)

    def test_annuler_stops_at_once(self):
        window, dialog, _ = self.start_copy()
        with self.step("« Annuler » arrête la copie sans question"):
            dialog.find("push button", "Annuler").click()
            self.wait_stopped(time.monotonic())
        self.check_told_and_running(window)

    def test_escape_asks_first(self):
        app = self.app
        window, dialog, temporary = self.start_copy(milliseconds_per_mebibyte=100)
        with self.step("Échap demande « Arrêter la copie ? » ; « Continuer » laisse la copie aller"):
            dialog.find("label", "Copie de :").click()
            wait_until(lambda: dialog.has_state("ACTIVE"), "la boîte de progression active")
            app.key("Escape")
            self.answer_message("Arrêter la copie ?", "Continuer")
            size = temporary.stat().st_size
            wait_until(lambda: temporary.exists() and temporary.stat().st_size > size + 2 * MIB,
                       "la copie qui continue")
            self.assertTrue(dialog.has_state("SHOWING"))
        with self.step("Échap puis « Arrêter » arrête la copie"):
            dialog.find("label", "Copie de :").click()
            wait_until(lambda: dialog.has_state("ACTIVE"), "la boîte de progression active")
            app.key("Escape")
            self.answer_message("Arrêter la copie ?", "Arrêter")
            self.wait_stopped(time.monotonic())
        self.check_told_and_running(window)

    def test_sigterm_stops_the_copy_and_ends_in_order(self):
        app = self.app
        window, _, _ = self.start_copy()
        with self.step("SIGTERM pendant la copie : fin sans question, options enregistrées"):
            self.assertEqual(app.config_value("copie", "win98"), "0")
            app.set_config("copie", "win98", "1")  # overwritten by the window's own options when it ends
            sent = time.monotonic()
            app.process.send_signal(signal.SIGTERM)
            self.assertExitStatus(0)
            print(f"  fin du programme {time.monotonic() - sent:.2f} s après SIGTERM", flush=True)
            self.assertEqual(app.config_value("copie", "win98"), "0")
            self.check_player()


class SignalRoads(KoralTestCase):

    def test_sigterm_and_sighup_save_the_options(self):
        for number in (signal.SIGTERM, signal.SIGHUP):
            app = self.app
            window = self.start_main_window()
            with self.step(f"changer « Mode Windows 98 » puis envoyer {number.name}"):
                win98 = window.find("check box", "Mode Windows 98")
                checked = win98.has_state("CHECKED")
                win98.click()
                wait_until(lambda: win98.has_state("CHECKED") != checked, "« Mode Windows 98 » changé")
                app.process.send_signal(number)
                self.assertExitStatus(0)
                self.assertEqual(app.config_value("copie", "win98"), "0" if checked else "1")
                self.assertEqual(app.config_value("repertoires", "pc"), str(app.computer))


if __name__ == "__main__":
    koral_e2e.main()
