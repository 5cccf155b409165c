# SPDX-License-Identifier: GPL-3.0-or-later
"""Copying a folder by its playlist: numbered names on the player, in the playlist's order."""

import koral_e2e
from koral_e2e import KoralTestCase, wait_until


class CopyPlaylistRoad(KoralTestCase):

    def test_a_folder_is_copied_in_playlist_order_with_numbered_names(self):
        app = self.app
        album = app.computer / "Album"
        album.mkdir()
        tracks = {"aube.mp3": b"A" * 70000, "brume.mp3": b"B" * 300, "crepuscule.mp3": b"C" * 400000}
        for name, data in tracks.items():
            (album / name).write_bytes(data)
        (album / "Album.m3u").write_text("#EXTM3U\n#EXTINF:1,C\ncrepuscule.mp3\n#EXTINF:1,A\naube.mp3\n"
                                         "#EXTINF:1,B\nbrume.mp3\n")
        (album / "pochette.jpg").write_bytes(b"not named by the playlist")
        window = self.start_main_window()

        with self.step("cocher « Suivre la playlist (m3u) » et choisir le dossier"):
            follow = window.find("check box", "Suivre la playlist (m3u)")
            follow.click()
            wait_until(lambda: follow.has_state("CHECKED"), "case cochée")
            computer_list = window.find("tree", "Dossier de l'ordinateur")
            computer_list.find("table cell", "Album").click()

        with self.step("copier sur l'Koral"):
            window.find("push button", "Copier sur l'Koral").click()
            copied = app.player / "Album"
            expected = ["01 - crepuscule.mp3", "02 - aube.mp3", "03 - brume.mp3"]
            player_list = window.find("tree", "Dossier de l'Koral")
            player_list.find("table cell", "Album")  # the list was listed again
            wait_until(lambda: copied.is_dir() and sorted(p.name for p in copied.iterdir()) == expected,
                       "les trois pistes numérotées sur le lecteur")
            for name, source in zip(expected, ["crepuscule.mp3", "aube.mp3", "brume.mp3"]):
                self.assertEqual((copied / name).read_bytes(), tracks[source], name)

        with self.step("quitter"):
            window.find("push button", "Quitter").click()
            self.assertExitStatus(0)
            self.assertEqual(app.config_value("copie", "suivrem3u"), "1")


if __name__ == "__main__":
    koral_e2e.main()
