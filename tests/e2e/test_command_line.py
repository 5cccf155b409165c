# SPDX-License-Identifier: GPL-3.0-or-later
"""The window's command line where no display can be opened: a bad option
is a usage error, as it is with a display, and not an abort."""

import os
import subprocess
import tempfile
import unittest

import koral_e2e
from koral_e2e import BINARY


class CommandLineWithoutDisplay(unittest.TestCase):

    def run_without_display(self, *arguments):
        environment = {name: value for name, value in os.environ.items()
                       if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        with tempfile.TemporaryDirectory(prefix="koral-e2e-") as home:
            environment.update({"HOME": home, "XDG_CONFIG_HOME": home, "XDG_RUNTIME_DIR": home})
            return subprocess.run([BINARY, *arguments], env=environment, capture_output=True, text=True, timeout=60)

    def test_a_bad_option_or_argument_is_a_usage_error(self):
        for arguments, line in [(["--bogus"], "Option inconnue : --bogus"),
                                (["--demo", "-x"], "Option inconnue : -x"),
                                (["-style", "fusion", "--bogus"], "Option inconnue : --bogus"),
                                (["extra"], "Argument inattendu : extra")]:
            with self.subTest(arguments=arguments):
                refused = self.run_without_display(*arguments)
                self.assertEqual(refused.returncode, 2, refused.stderr)
                self.assertEqual(refused.stderr, f"{line}\nEssayez « koral-config --help ».\n")
                self.assertEqual(refused.stdout, "")

    def test_help_and_version_need_no_display(self):
        self.assertEqual(self.run_without_display("--help").returncode, 0)
        self.assertTrue(self.run_without_display("--version").stdout.startswith("koral-config "))


if __name__ == "__main__":
    koral_e2e.main()
