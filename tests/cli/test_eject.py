# SPDX-License-Identifier: GPL-3.0-or-later
"""koralctl eject against a stand-in udisks2 on a private system bus."""

import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import udisks_mock  # noqa: E402
from udisks_mock import BLOCK, BUSY, DRIVE, REFUSED, UDisksMock  # noqa: E402

KORALCTL = os.environ.get("KORAL_KORALCTL", str(Path(__file__).resolve().parents[2] / "build" / "bin" / "koralctl"))


class EjectCommand(unittest.TestCase):

    def setUp(self):
        self.player = tempfile.mkdtemp(prefix="koral-eject-")
        self.mock = None

    def tearDown(self):
        if self.mock:
            self.mock.close()
        os.rmdir(self.player)

    def eject(self):
        result = subprocess.run([KORALCTL, "--player", self.player, "eject"], capture_output=True, text=True,
                                timeout=60, env={**os.environ, "LC_ALL": "C.UTF-8"})
        return result.returncode, result.stdout + result.stderr

    def test_the_player_is_unmounted_then_powered_off(self):
        self.mock = UDisksMock(self.player)
        status, output = self.eject()
        self.assertEqual((status, output.strip()), (0, "Vous pouvez débrancher l'Koral."))
        self.assertEqual(self.mock.calls(BLOCK), ["Unmount"])
        self.assertEqual(self.mock.calls(DRIVE), ["PowerOff"])

    def test_a_busy_player_stays_mounted_and_is_not_powered_off(self):
        self.mock = UDisksMock(self.player, unmount=BUSY)
        status, output = self.eject()
        self.assertEqual(status, 1)
        self.assertIn("L'Koral est occupé", output)
        self.assertEqual(self.mock.calls(DRIVE), [])

    def test_a_refusal_names_the_service_reason(self):
        self.mock = UDisksMock(self.player, unmount=REFUSED)
        status, output = self.eject()
        self.assertEqual(status, 1)
        self.assertIn("a refusé de démonter l'Koral (Not authorized)", output)

    def test_a_failed_power_off_still_lets_the_player_go(self):
        self.mock = UDisksMock(self.player, power_off=REFUSED)
        self.assertEqual(self.eject()[0], 0)

    def test_a_folder_the_service_does_not_know(self):
        self.mock = UDisksMock("/media/ailleurs")
        status, output = self.eject()
        self.assertEqual(status, 1)
        self.assertIn("ne connaît pas ce volume", output)
        self.assertEqual(self.mock.calls(BLOCK), [])

    def test_without_udisks2_the_data_is_synced_and_the_desktop_named(self):
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=" + self.player + "/no-bus"
        try:
            status, output = self.eject()
        finally:
            os.environ.pop("DBUS_SYSTEM_BUS_ADDRESS")
        self.assertEqual(status, 1)
        self.assertIn("Les données sont bien sur l'Koral", output)
        self.assertIn("démontez-le depuis le bureau", output)


if __name__ == "__main__":
    unittest.main(verbosity=2)
