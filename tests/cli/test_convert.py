# SPDX-License-Identifier: GPL-3.0-or-later
"""koralctl copy --convert as a process: what it writes on the player, and
FFmpeg's libraries loaded only when the conversion is asked for."""

import json
import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

KORALCTL = os.environ.get("KORAL_KORALCTL", str(Path(__file__).resolve().parents[2] / "build" / "bin" / "koralctl"))
AUDIO_FIXTURE = os.environ.get("KORAL_AUDIO_FIXTURE",
                               str(Path(KORALCTL).resolve().parents[1] / "tests" / "bin" / "koral_audio_fixture"))


def fixture(*arguments):
    done = subprocess.run([AUDIO_FIXTURE, *arguments], capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError(f"koral_audio_fixture {' '.join(arguments)} : {done.stderr}")
    return done.stdout


def names(folder):
    """The entries of a folder but the copy's hidden one."""
    return sorted(p.name for p in folder.iterdir() if not p.name.startswith("."))


def loaded_libraries(trace):
    """The shared objects the dynamic loader opened, from LD_DEBUG=files."""
    return {line.split("file=", 1)[1].split()[0] for line in trace.splitlines() if "file=" in line}


class ConvertCommand(unittest.TestCase):

    def setUp(self):
        self.root = Path(tempfile.mkdtemp(prefix="koral-convert-"))
        self.player = self.root / "player"
        self.computer = self.root / "computer"
        self.player.mkdir()
        self.computer.mkdir()

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def koralctl(self, *arguments, trace=False):
        environment = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "KORAL_PLAYER": str(self.player),
                       "XDG_CONFIG_HOME": str(self.root / "config"), "XDG_STATE_HOME": str(self.root / "state"),
                       "XDG_DATA_HOME": str(self.root / "data"), "HOME": str(self.root)}
        if trace:
            environment["LD_DEBUG"] = "files"
        return subprocess.run([KORALCTL, *arguments], capture_output=True, text=True, timeout=120, env=environment)

    def test_without_the_option_ffmpeg_is_never_loaded(self):
        fixture("make", "flac", "1", str(self.computer / "a.flac"))
        flac = (self.computer / "a.flac").read_bytes()
        done = self.koralctl("copy", str(self.computer / "a.flac"), trace=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual((self.player / "a.flac").read_bytes(), flac)
        loaded = loaded_libraries(done.stderr)
        self.assertTrue(loaded, "LD_DEBUG n'a rien dit")
        self.assertEqual([name for name in loaded if "libav" in name or "koral-convert" in name], [])

    def test_with_the_option_the_module_brings_ffmpeg(self):
        fixture("make", "ogg", "1", str(self.computer / "a.ogg"))
        done = self.koralctl("copy", "--convert", str(self.computer / "a.ogg"), trace=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        loaded = loaded_libraries(done.stderr)
        self.assertTrue(any("koral-convert.so" in name for name in loaded), loaded)
        self.assertTrue(any("libavcodec" in name for name in loaded), loaded)
        self.assertEqual(names(self.player), ["a.mp3"])

    def test_a_playlist_is_converted_in_its_order_under_numbered_mp3_names(self):
        album = self.computer / "Album"
        album.mkdir()
        fixture("make", "flac", "2", str(album / "b.flac"), "--title", "Bé", "--artist", "Anna")
        fixture("make", "opus", "2", str(album / "c.opus"), "--mono")
        fixture("make", "mp3", "1", str(album / "a.mp3"))
        (album / "notes.txt").write_text("pas du son")
        (album / "Album.m3u").write_text("c.opus\nb.flac\na.mp3\nnotes.txt\n")
        mp3 = (album / "a.mp3").read_bytes()

        done = self.koralctl("copy", "--playlist", "--convert=128", str(album))

        self.assertEqual(done.returncode, 0, done.stderr)
        copied = self.player / "Album"
        self.assertEqual(names(copied),
                         ["01 - c.mp3", "02 - b.mp3", "03 - a.mp3", "04 - notes.txt"])
        self.assertEqual((copied / "03 - a.mp3").read_bytes(), mp3)
        self.assertEqual((copied / "04 - notes.txt").read_text(), "pas du son")
        opus = json.loads(fixture("facts", str(copied / "01 - c.mp3")))
        self.assertEqual((opus["sample_rate"], opus["channels"], opus["id3v2_version"]), (44100, 1, 3))
        flac = json.loads(fixture("facts", str(copied / "02 - b.mp3")))
        self.assertEqual((flac["channels"], flac["tags"].get("title"), flac["tags"].get("artist")), (2, "Bé", "Anna"))
        self.assertAlmostEqual(flac["seconds"], 2, delta=0.05)
        self.assertTrue(flac["id3v1"])

    def test_an_unreadable_source_is_named_and_the_copy_goes_on(self):
        fixture("damaged", str(self.computer / "bad.flac"))
        fixture("make", "flac", "1", str(self.computer / "good.flac"))
        done = self.koralctl("copy", "--convert=320", str(self.computer / "bad.flac"), str(self.computer / "good.flac"))
        self.assertEqual(done.returncode, 1)
        self.assertIn("bad.flac", done.stderr)
        self.assertIn("fichier audio illisible", done.stderr)
        self.assertEqual(names(self.player), ["good.mp3"])


if __name__ == "__main__":
    unittest.main()
