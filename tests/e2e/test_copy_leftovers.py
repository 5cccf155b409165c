# SPDX-License-Identifier: GPL-3.0-or-later
"""What a killed copy left on the player goes when the window finds the player, and is never
listed; the temporaries of a copy still running stay."""

import fcntl
import os
import subprocess
from pathlib import Path

import koral_e2e
from koral_e2e import KoralTestCase, wait_until

KORALCTL = str(Path(koral_e2e.BINARY).with_name("koralctl"))


class CopyLeftoversRoad(KoralTestCase):

    def kill_copy_mid_file(self):
        """koralctl copies a large track, held in its middle by the fault shim, and is killed -9."""
        app = self.app
        source = app.computer / "gros.mp3"
        source.write_bytes(os.urandom(4 * 1024 * 1024))
        env = app.environment()
        asan = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        env.update({"KORAL_PLAYER": str(app.player), "LD_PRELOAD": koral_e2e.FAULT_SHIM,
                    "ASAN_OPTIONS": asan, "KORAL_FAULT": "stall:EIO:gros.mp3"})
        copy = subprocess.Popen([KORALCTL, "--config-dir", str(app.config_dir), "copy", str(source)], env=env,
                                stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: (temporary := app.temporary_of("gros.mp3")) is not None
                       and temporary.stat().st_size >= 300 * 1024, "la copie au milieu du fichier")
        finally:
            copy.kill()
            copy.wait()
        return app.temporary_of("gros.mp3")

    def hold_running_copy(self):
        """A run folder whose lock a live process holds: this test's."""
        run = self.app.player / ".koral-part" / "run-1-vivante"
        run.mkdir(parents=True)
        (run / "1.en cours.mp3.koral-part").write_bytes(b"en cours")
        lock = open(run / ".lock", "w")
        fcntl.flock(lock, fcntl.LOCK_EX)
        self.addCleanup(lock.close)
        return run

    def test_a_killed_copys_temporary_goes_when_the_window_starts(self):
        app = self.app
        app.player.mkdir(parents=True)
        with self.step("koralctl copie un gros fichier et est tué (kill -9) au milieu"):
            leftover = self.kill_copy_mid_file()
            self.assertIsNotNone(leftover)
            self.assertFalse((app.player / "gros.mp3").exists())
            running = self.hold_running_copy()

        window = self.start_main_window()
        player_list = window.find("tree", "Dossier de l'Koral")
        with self.step("le reste de la copie tuée est effacé, pas celui de la copie en cours"):
            wait_until(lambda: not leftover.parent.exists(), "le dossier de la copie tuée effacé")
            self.assertTrue((running / "1.en cours.mp3.koral-part").exists())
            self.assertFalse((app.player / "gros.mp3").exists())

        with self.step("la liste de l'Koral ne montre pas le dossier des fichiers temporaires"):
            player_list.find("table cell", "Enregistrements")  # the root is listed
            self.assertEqual(app.find_all("table cell", ".koral-part", within=player_list), [])

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
