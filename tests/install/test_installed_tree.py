# SPDX-License-Identifier: GPL-3.0-or-later
"""The installation as a package holds it: `cmake --install` into a DESTDIR
with the /usr prefix, then the tree, the validators Debian's desktops run,
the manual pages and the completion, and the installed programs themselves.
"""

import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

BUILD_DIR = Path(os.environ.get("KORAL_BUILD_DIR", Path(__file__).resolve().parents[2] / "build"))
VERSION = os.environ.get("KORAL_VERSION", "")
ICON_SIZES = (16, 32, 48, 64, 128, 256)
METAINFO = "org.example.koralconfig.metainfo.xml"


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=60, **options)


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        raise AssertionError(f"{path} n'est pas un PNG")
    return struct.unpack(">II", header[16:24])


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.stage = Path(tempfile.mkdtemp(prefix="koral-install-"))
        environment = dict(os.environ, DESTDIR=str(cls.stage))
        installed = run(["cmake", "--install", str(BUILD_DIR), "--prefix", "/usr"], env=environment)
        if installed.returncode != 0:
            raise AssertionError("cmake --install a échoué :\n" + installed.stdout + installed.stderr)
        cls.usr = cls.stage / "usr"
        cls.share = cls.usr / "share"

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.stage, ignore_errors=True)

    def koralctl(self, *arguments, home):
        environment = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "XDG_CONFIG_HOME": str(home / "config"),
                       "XDG_STATE_HOME": str(home / "state"), "XDG_DATA_HOME": str(home / "data")}
        return run([str(self.usr / "bin" / "koralctl"), *arguments], env=environment)

    def test_the_tree_holds_every_file_of_the_package(self):
        expected = [
            "bin/koral-config", "bin/koralctl", "lib/koral-config/koral-udisks.so", "lib/koral-config/koral-convert.so",
            "share/koral-config/Config.ini", "share/koral-config/Radios.ini",
            "share/applications/koral-config.desktop", f"share/metainfo/{METAINFO}",
            "share/icons/hicolor/scalable/apps/koral-config.svg",
            "share/man/fr/man1/koral-config.1.gz", "share/man/fr/man1/koralctl.1.gz",
            "share/man/man1/koral-config.1.gz", "share/man/man1/koralctl.1.gz",
            "share/bash-completion/completions/koralctl",
        ] + [f"share/icons/hicolor/{size}x{size}/apps/koral-config.png" for size in ICON_SIZES]
        missing = [name for name in expected if not (self.usr / name).is_file()]
        self.assertEqual(missing, [])
        for program in ("koral-config", "koralctl"):
            self.assertTrue(os.access(self.usr / "bin" / program, os.X_OK), program)
        for size in ICON_SIZES:
            self.assertEqual(png_size(self.share / f"icons/hicolor/{size}x{size}/apps/koral-config.png"), (size, size))

    def test_the_desktop_entry_and_the_metainfo_pass_their_validators(self):
        desktop = run(["desktop-file-validate", str(self.share / "applications/koral-config.desktop")])
        self.assertEqual((desktop.returncode, desktop.stdout + desktop.stderr), (0, ""))
        metainfo = run(["appstreamcli", "validate", "--no-net", "--no-color", str(self.share / "metainfo" / METAINFO)])
        self.assertEqual(metainfo.returncode, 0, metainfo.stdout + metainfo.stderr)
        self.assertNotRegex(metainfo.stdout, r"(?m)^[EW]:")

    def test_the_metainfo_names_the_installed_entry_and_icon(self):
        text = (self.share / "metainfo" / METAINFO).read_text(encoding="utf-8")
        launchable = re.search(r'<launchable type="desktop-id">([^<]+)</launchable>', text).group(1)
        self.assertTrue((self.share / "applications" / launchable).is_file(), launchable)
        for language in ('', ' xml:lang="fr"'):
            self.assertRegex(text, f"<summary{language}>[^<]+</summary>")
        self.assertIn('<content_rating type="oars-1.1"', text)
        entry = (self.share / "applications/koral-config.desktop").read_text(encoding="utf-8")
        self.assertIn("Icon=koral-config\n", entry)
        self.assertIn("Exec=koral-config\n", entry)

    def test_the_manual_pages_are_french_with_an_english_copy(self):
        titles = {"fr": ("NOM", "SYNOPSIS", "DESCRIPTION", "OPTIONS"), "en": ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS")}
        for language, folder in (("fr", "man/fr/man1"), ("en", "man/man1")):
            for program in ("koral-config", "koralctl"):
                with gzip.open(self.share / folder / f"{program}.1.gz", "rt", encoding="utf-8") as page:
                    text = page.read()
                self.assertRegex(text, rf'\.TH {re.escape(program.upper().replace("-", chr(92) + "-"))} 1 .*{re.escape(VERSION)}')
                for title in titles[language]:
                    self.assertIn(f".SH {title}\n", text, f"{language}/{program}")
                if shutil.which("groff"):
                    check = run(["groff", "-man", "-ww", "-z", "-K", "utf8"], input=text)
                    self.assertEqual(check.stderr, "", f"{language}/{program}")

    def test_the_installed_programs_start_and_tell_their_version(self):
        with tempfile.TemporaryDirectory() as home:
            self.assertRegex(self.koralctl("--version", home=Path(home)).stdout,
                             rf"^koralctl {re.escape(VERSION)}\nLicence GPLv3\+ : GNU GPL version 3 ou ultérieure")
        # No display: the window's --version and --help need none.
        environment = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8"}
        version = run([str(self.usr / "bin/koral-config"), "--version"], env=environment)
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout, rf"^koral-config {re.escape(VERSION)}\nLicence GPLv3\+ .*\n.*\n.*AUCUNE GARANTIE")
        with tempfile.TemporaryDirectory() as runtime:
            environment.update(QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime)
            refused = run([str(self.usr / "bin/koral-config"), "--demo", "--bogus"], env=environment)
        self.assertEqual(refused.returncode, 2)
        self.assertTrue(refused.stderr.endswith("Option inconnue : --bogus\nEssayez « koral-config --help ».\n"),
                        refused.stderr)

    def test_a_user_gets_the_installed_defaults_and_later_the_new_firmware(self):
        with tempfile.TemporaryDirectory() as folder:
            home = Path(folder)
            listed = self.koralctl("firmware", "list", home=home)
            self.assertEqual(listed.returncode, 0, listed.stderr)
            user_ini = home / "config/koral-config/Config.ini"
            self.assertEqual(user_ini.read_bytes(), (self.share / "koral-config/Config.ini").read_bytes())
            # The user's own copy from an older release, without the second version.
            older = user_ini.read_text().replace("versionsdispo=119.0 118.2", "versionsdispo=119.0")
            older = older[:older.index("[118.2]")].replace("ville=\n", "ville=Orléans\n")
            user_ini.write_text(older)
            listed = self.koralctl("firmware", "list", "--json", home=home)
            self.assertEqual(listed.stdout, '{"current":"119.0","versions":["118.2","119.0"]}\n', listed.stderr)
            merged = user_ini.read_text()
            self.assertTrue(merged.startswith(older.replace("versionsdispo=119.0\n", "versionsdispo=119.0 118.2\n")),
                            merged)
            self.assertIn("[118.2]\noffseteq=48\n", merged)


class Completion(unittest.TestCase):
    """The completion of koralctl, run in bash as a user's Tab runs it."""

    @classmethod
    def setUpClass(cls):
        cls.stage = Path(tempfile.mkdtemp(prefix="koral-completion-"))
        environment = dict(os.environ, DESTDIR=str(cls.stage))
        run(["cmake", "--install", str(BUILD_DIR), "--prefix", "/usr"], env=environment).check_returncode()
        cls.bin = cls.stage / "usr/bin"
        cls.script = cls.stage / "usr/share/bash-completion/completions/koralctl"
        cls.player = cls.stage / "player"
        cls.player.mkdir()
        (cls.player / "Settings.dat").write_bytes(bytes(512))
        (cls.player / "Musique").mkdir()
        (cls.player / "Musique" / "a.mp3").write_bytes(b"a")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.stage, ignore_errors=True)

    def candidates(self, *words):
        """What Tab offers after the words; the last one is the word being completed."""
        script = ('source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _koralctl; '
                  'printf "%s\\n" "${COMPREPLY[@]}"')
        environment = {"PATH": f"{self.bin}:/usr/bin:/bin", "LC_ALL": "C.UTF-8",
                       "KORAL_PLAYER": str(self.player), "XDG_CONFIG_HOME": str(self.stage / "config"),
                       "XDG_STATE_HOME": str(self.stage / "state")}
        result = run(["bash", "-c", script, "bash", str(self.script), "koralctl", *words], env=environment,
                     cwd=self.stage)
        self.assertEqual(result.stderr, "")
        return sorted(filter(None, result.stdout.split("\n")))

    def koralctl(self, *arguments):
        return run([str(self.bin / "koralctl"), *arguments],
                   env={"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "XDG_CONFIG_HOME": str(self.stage / "config"),
                        "XDG_STATE_HOME": str(self.stage / "state")})

    def help_forms(self):
        """Each form of koralctl --help: (command, subcommand or "", its options)."""
        text = self.koralctl("--help").stdout
        forms = []
        for line in text[text.index("Commandes :"):text.index("État de sortie :")].splitlines()[1:]:
            if not line.startswith("  ") or line.startswith("   "):
                continue
            words = line.split("  ")[1].split()
            subcommand = words[1] if len(words) > 1 and words[1].islower() and words[1].isalpha() else ""
            options = re.findall(r"\[(--[a-z-]+=?)", line)
            forms.append((words[0], subcommand, options))
        return forms

    def test_commands_subcommands_and_their_options_are_those_of_koralctl(self):
        forms = self.help_forms()
        self.assertEqual(self.candidates(""), sorted({command for command, _, _ in forms}))
        for command, subcommand, options in forms:
            if subcommand:
                self.assertIn(subcommand, self.candidates(command, ""), command)
            words = [command, subcommand] if subcommand else [command]
            self.assertEqual(self.candidates(*words, "--"), sorted(options + ["--help"]), words)

    def test_the_manual_pages_describe_every_form(self):
        for folder in ("man/fr/man1", "man/man1"):
            with gzip.open(self.stage / "usr/share" / folder / "koralctl.1.gz", "rt", encoding="utf-8") as page:
                text = page.read()
            for command, subcommand, _ in self.help_forms():
                self.assertIn(f".TP\n\\fB{' '.join(filter(None, (command, subcommand)))}\\fR", text, folder)

    def test_global_options_and_their_values(self):
        self.assertEqual(self.candidates("--"), ["--config-dir=", "--firmware=", "--help", "--player=", "--version"])
        (self.stage / "folders").mkdir(exist_ok=True)
        self.assertEqual(self.candidates("--player", "=", "fold"), ["folders"])
        self.assertEqual(self.candidates("--config-dir", "fold"), ["folders"])
        self.assertEqual(self.candidates("--firmware", "=", ""), ["118.2", "119.0"])

    def test_letters_settings_and_presets(self):
        self.assertEqual(self.candidates("radio", "set", ""), [chr(letter) for letter in range(ord("A"), ord("U"))])
        self.assertEqual(self.candidates("radio", "set", "A", ""), [])
        ini = (self.stage / "usr/share/koral-config/Config.ini").read_text()
        section = ini[ini.index("[119.0]"):ini.index("[118.2]")]
        names = set(re.findall(r"(?m)^offset(\w+)=", section)) - {"eq", "seleq", "radio"}
        self.assertEqual(set(self.candidates("settings", "set", "")), names)
        self.assertEqual(self.candidates("settings", "set", "srswowt"), ["srswowtrubass"])
        selectable = self.candidates("eq", "select", "")
        self.assertIn("Xtrem\\ BASS", selectable)
        for preset in selectable:
            name = preset.replace("\\ ", " ")
            taken = [self.koralctl(f"--player={self.player}", f"--firmware={version}", "eq", "select", name).returncode
                     for version in ("119.0", "118.2")]
            self.assertIn(0, taken, name)
        self.assertNotIn("Auto", self.candidates("eq", "set", ""))

    def test_player_paths_from_its_root(self):
        self.assertEqual(self.candidates("rm", "Mus"), ["Musique/"])
        self.assertEqual(self.candidates("copy", "--to", "=", "M"), ["Musique/"])
        self.assertEqual(self.candidates("rm", "Musique/"), ["Musique/a.mp3"])

    def test_names_with_spaces_stay_whole_however_they_are_typed(self):
        (self.player / "Live à Nantes").mkdir(exist_ok=True)
        (self.stage / "music/Album Été").mkdir(parents=True, exist_ok=True)
        (self.stage / "music/Album Été/01 Intro.flac").write_bytes(b"")
        for typed in ("music/Al", "music/Album\\ É", "'music/Album É", '"music/Album'):
            self.assertEqual(self.candidates("copy", typed), ["music/Album Été"], typed)
        self.assertEqual(self.candidates("copy", "music/Album\\ Été/"), ["music/Album Été/01 Intro.flac"])
        for typed in ("Li", "Live\\ à", "'Live à"):
            self.assertEqual(self.candidates("rm", typed), ["Live à Nantes/"], typed)
        self.assertEqual(self.candidates("copy", "--to", "Live\\ "), ["Live à Nantes/"])


if __name__ == "__main__":
    unittest.main()
