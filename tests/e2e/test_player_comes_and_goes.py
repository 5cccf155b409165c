# SPDX-License-Identifier: GPL-3.0-or-later
"""A player plugged in after start-up is found; after a copy it is ejected."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until
from udisks_mock import BLOCK, DRIVE, UDisksMock

ROOT_LINE = "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
PLAYER_CONTROLS = ("Copier sur l'Koral", "Supprimer de l'Koral", "Vider Koral", "Éjecter l'Koral",
                   "Réglages Koral", "Firmware et profils")


class PlayerComesAndGoesRoad(KoralTestCase):

    def controls_enabled(self, window, enabled):
        buttons = [window.find("push button", name) for name in PLAYER_CONTROLS]
        return all(button.has_state("SENSITIVE") == enabled for button in buttons)

    def test_plugged_in_copied_to_then_ejected(self):
        app = self.app
        mounts = app.root / "mounts"
        (mounts / "block" / "sdz1").mkdir(parents=True)
        (mounts / "block" / "sdz1" / "removable").write_text("1\n")
        (mounts / "mountinfo").write_text(ROOT_LINE)
        app.extra_env = {"KORAL_MOUNT_TABLE": str(mounts / "mountinfo"), "KORAL_SYS_BLOCK": str(mounts / "block")}
        player = app.root / "media" / "KORAL"
        player.mkdir(parents=True)
        (player / "Settings.dat").write_bytes(bytes(512))
        (app.computer / "chanson.mp3").write_bytes(b"\x49\x44\x33" * 5000)
        udisks = UDisksMock(str(player))
        self.addCleanup(udisks.close)

        with self.step("démarrer sans Koral : l'avertissement, puis les commandes grisées"):
            app.start(demo=False)
            self.answer_message("L'Koral n'a pas été détecté.")
            window = app.window("Koral Config")
            app.move_window(window, 0, 0)
            wait_until(lambda: self.controls_enabled(window, False), "les commandes de l'Koral grisées")

        with self.step("brancher l'Koral : les commandes s'animent et sa racine est listée"):
            (mounts / "mountinfo").write_text(ROOT_LINE + f"36 25 8:17 / {player} rw,relatime - vfat /dev/sdz1 rw\n")
            wait_until(lambda: self.controls_enabled(window, True), "les commandes de l'Koral actives")
            player_list = window.find("tree", "Dossier de l'Koral")
            player_list.find("table cell", "Settings.dat")
            window.find("label", str(player))

        with self.step("copier un fichier sur l'Koral"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "chanson.mp3").click()
            window.find("push button", "Copier sur l'Koral").click()
            player_list.find("table cell", "chanson.mp3")
            self.assertEqual((player / "chanson.mp3").read_bytes(), (app.computer / "chanson.mp3").read_bytes())

        with self.step("« Éjecter l'Koral » : démonté, éteint, puis les commandes grisées"):
            window.find("push button", "Éjecter l'Koral").click()
            self.answer_message("Vous pouvez débrancher l'Koral.")
            self.assertEqual(udisks.calls(BLOCK), ["Unmount"])
            self.assertEqual(udisks.calls(DRIVE), ["PowerOff"])
            wait_until(lambda: self.controls_enabled(window, False), "les commandes de l'Koral grisées")
            app.gone("table cell", "Settings.dat", within=player_list)

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)


if __name__ == "__main__":
    koral_e2e.main()
