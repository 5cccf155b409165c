# SPDX-License-Identifier: GPL-3.0-or-later
"""Conversion on copy: the box ticked in the real window, a rate chosen, a
folder holding a FLAC and an MP3 copied; the player gets an MP3 the old
player reads for the FLAC, and the MP3 as it was."""

import json
import os
import subprocess
from pathlib import Path

import koral_e2e
from koral_e2e import ARTIFACTS, BINARY, KoralTestCase, wait_until

# The tests' fixture tool, built beside the tests with FFmpeg's libraries.
AUDIO_FIXTURE = os.environ.get("KORAL_AUDIO_FIXTURE",
                               str(Path(BINARY).resolve().parents[1] / "tests" / "bin" / "koral_audio_fixture"))
TAGS = {"title": "Aube à Nantes", "artist": "Anna", "album": "Été", "album_artist": "Les Koral",
        "track": "3", "disc": "1", "date": "2021", "genre": "Jazz"}
TAG_OPTIONS = {"album_artist": "--album-artist", "date": "--year"}
SECONDS = 3


def fixture(*arguments):
    done = subprocess.run([AUDIO_FIXTURE, *arguments], capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError(f"koral_audio_fixture {' '.join(arguments)} : {done.stderr}")
    return done.stdout


class CopyConvertRoad(KoralTestCase):

    def make_album(self):
        album = self.app.computer / "Album"
        album.mkdir()
        options = []
        for key, value in TAGS.items():
            options += [TAG_OPTIONS.get(key, f"--{key}"), value]
        fixture("make", "flac", str(SECONDS), str(album / "x.flac"), *options)
        fixture("make", "mp3", "2", str(album / "y.mp3"), "--title", "Déjà MP3")
        return album

    def test_a_flac_becomes_an_mp3_the_player_reads_and_an_mp3_stays_as_it_is(self):
        app = self.app
        album = self.make_album()
        mp3_bytes = (album / "y.mp3").read_bytes()
        window = self.start_main_window()

        with self.step("cocher « Convertir en MP3 ce que l'Koral ne lit pas » et choisir 256 kb/s"):
            convert = window.find("check box", "Convertir en MP3 ce que l'Koral ne lit pas")
            rate = window.find("combo box", "Débit des MP3 convertis")
            self.assertFalse(convert.has_state("CHECKED"))
            self.assertFalse(rate.has_state("ENABLED"))
            self.assertEqual(rate.entry(), "192 kb/s")
            convert.click()
            wait_until(lambda: convert.has_state("CHECKED"), "case cochée")
            wait_until(lambda: rate.has_state("ENABLED"), "débit activé")
            rate.choose("256 kb/s")
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / "copy-convert-options.png")

        with self.step("copier le dossier sur l'Koral"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "Album").click()
            window.find("push button", "Copier sur l'Koral").click()
            copied = app.player / "Album"
            wait_until(lambda: copied.is_dir() and sorted(p.name for p in copied.iterdir()) == ["x.mp3", "y.mp3"]
                       and not app.partial_files(), "x.mp3 et y.mp3 sur le lecteur")
            window.find("tree", "Dossier de l'Koral").find("table cell", "Album")

        with self.step("le FLAC est devenu un MP3 que l'Koral lit, le MP3 est resté tel quel"):
            self.assertEqual((copied / "y.mp3").read_bytes(), mp3_bytes)
            facts = json.loads(fixture("facts", str(copied / "x.mp3")))
            self.assertTrue(facts["decodes"], facts)
            self.assertEqual(facts["sample_rate"], 44100)
            self.assertAlmostEqual(facts["seconds"], SECONDS, delta=0.05)
            self.assertEqual(facts["id3v2_version"], 3)
            self.assertTrue(facts["id3v1"], facts)
            self.assertEqual({key: facts["tags"].get(key) for key in TAGS}, TAGS)
            # A constant 256 kb/s, give or take the tags and the last frame.
            self.assertAlmostEqual((copied / "x.mp3").stat().st_size, SECONDS * 256000 / 8, delta=3000)

        with self.step("quitter : Config.ini garde l'option et son débit"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("copie", "convertir"), "1")
            self.assertEqual(app.config_value("copie", "debitmp3"), "256")

    def test_a_missing_library_is_told_once_and_greys_the_option(self):
        app = self.app
        app.extra_env["KORAL_CONVERT_MODULE"] = str(app.root / "absent" / "koral-convert.so")
        (app.computer / "a.flac").write_bytes(b"not converted")
        window = self.start_main_window()

        with self.step("cocher la case : le message dit pourquoi la conversion manque"):
            convert = window.find("check box", "Convertir en MP3 ce que l'Koral ne lit pas")
            convert.click()
            self.answer_message("Conversion en MP3 indisponible : le module")
            wait_until(lambda: not convert.has_state("ENABLED"), "case grisée")
            self.assertFalse(convert.has_state("CHECKED"))
            self.assertIn("absent", convert.acc.description)
            self.assertFalse(window.find("combo box", "Débit des MP3 convertis").has_state("ENABLED"))
            ARTIFACTS.mkdir(parents=True, exist_ok=True)
            app.session.screenshot(ARTIFACTS / "copy-convert-unavailable.png")

        with self.step("la copie se fait octet pour octet, sans autre message"):
            window.find("tree", "Dossier de l'ordinateur").find("table cell", "a.flac").click()
            window.find("push button", "Copier sur l'Koral").click()
            wait_until(lambda: (app.player / "a.flac").is_file() and not app.partial_files(), "a.flac sur le lecteur")
            self.assertEqual((app.player / "a.flac").read_bytes(), b"not converted")
            self.assertEqual(app.find_all("alert"), [])

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("copie", "convertir"), "0")


if __name__ == "__main__":
    koral_e2e.main()
