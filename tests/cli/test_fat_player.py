# SPDX-License-Identifier: GPL-3.0-or-later
"""koralctl copy onto the player's own file system: a FAT32 image mounted
through FUSE (fusefat), as a player is on a desktop that mounts it so. The
folder's entries, the order the player plays in, follow the playlist, again
after a second copy over the first; the volume checks clean; and the copy
keeps few files waiting for their names, each of them lengthening fusefat's
walks through the folder of temporaries."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

KORALCTL = os.environ.get("KORAL_KORALCTL", str(Path(__file__).resolve().parents[2] / "build" / "bin" / "koralctl"))
TOOLS = ("fusefat", "fusermount", "mkfs.fat", "fsck.fat", "fatsort")
TRACKS = 40
# Three files staged and the one being written.
MOST_TEMPORARIES_AT_ONCE = 4


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def fat_order(image, folder):
    """The entries of a folder of the image in their on-disk order."""
    listing = subprocess.run(["fatsort", "-l", str(image)], capture_output=True, text=True, check=True).stdout
    lines = listing.splitlines()
    start = lines.index(folder) + 1
    end = next((i for i in range(start, len(lines)) if not lines[i]), len(lines))
    return lines[start:end]


def temporaries(requests):
    """From fusefat's log of its requests: how many copy temporaries were
    made, and the most alive together."""
    made = alive = most = 0
    for line in requests.splitlines():
        if re.match(r"mknod /\.koral-part/run-[^/]+/\d+\..*\.koral-part \d", line):
            made += 1
            alive += 1
            most = max(most, alive)
        elif re.match(r"(rename|unlink) /\.koral-part/run-[^/]+/\d+\.", line):
            alive -= 1
    return made, most


@unittest.skipIf(os.geteuid() != 0 or not os.path.exists("/dev/fuse"), "a FUSE mount needs root and /dev/fuse")
@unittest.skipIf(missing_tools(), "scripts/install-deps.sh installs fusefat, dosfstools and fatsort")
class FatPlayer(unittest.TestCase):

    def setUp(self):
        self.root = Path(tempfile.mkdtemp(prefix="koral-fat-"))
        self.image = self.root / "player.img"
        self.player = self.root / "player"
        self.computer = self.root / "computer"
        self.player.mkdir()
        # fusefat reports no free space on a FAT32 of 512-byte clusters: 1 GiB
        # takes 1 KiB ones. The image is sparse.
        subprocess.run(["mkfs.fat", "-F", "32", "-C", str(self.image), str(1024 * 1024)], capture_output=True,
                       check=True)
        self.requests = self.root / "fusefat.log"
        self.mounted = None

    def tearDown(self):
        self.unmount()
        shutil.rmtree(self.root, ignore_errors=True)

    def mount(self):
        # -d keeps fusefat in the foreground and logs every request it serves.
        with open(self.requests, "w") as log:
            self.mounted = subprocess.Popen(["fusefat", "-d", "-o", "rw+", str(self.image), str(self.player)],
                                            stdout=log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 10
        while not os.path.ismount(self.player):
            self.assertIsNone(self.mounted.poll(), "fusefat stopped: " + self.requests.read_text(errors="replace"))
            self.assertLess(time.monotonic(), deadline, "the image is not mounted")
            time.sleep(0.05)

    def unmount(self):
        if self.mounted is None:
            return
        subprocess.run(["fusermount", "-u", str(self.player)], capture_output=True)
        self.mounted.wait(timeout=30)
        self.mounted = None

    def make_album(self):
        """Tracks named in one order, listed by the playlist in the other."""
        album = self.computer / "Album"
        album.mkdir(parents=True)
        listed = []
        for number in range(TRACKS, 0, -1):
            name = "piste %02d.mp3" % number
            (album / name).write_bytes(bytes([number]) * (1000 + number))
            listed.append(name)
        (album / "album.m3u").write_text("#EXTM3U\n" + "".join(f"#EXTINF:1,{n}\n{n}\n" for n in listed))
        return album, ["%02d - %s" % (i + 1, name) for i, name in enumerate(listed)]

    def copy(self, album):
        environment = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "HOME": str(self.root),
                       "XDG_CONFIG_HOME": str(self.root / "config"), "XDG_STATE_HOME": str(self.root / "state"),
                       "XDG_DATA_HOME": str(self.root / "data")}
        done = subprocess.run([KORALCTL, "--player", str(self.player), "copy", "--playlist", str(album)],
                              capture_output=True, text=True, timeout=120, env=environment)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_a_playlist_on_fat_keeps_its_order_few_files_wait_and_the_volume_checks_clean(self):
        album, expected = self.make_album()
        self.mount()
        self.copy(album)
        self.copy(album)  # over the first: every track replaced
        self.assertEqual(sorted(os.listdir(self.player)), ["Album"])
        self.unmount()  # fusefat ends, its log whole

        made, most = temporaries(self.requests.read_text(errors="replace"))
        self.assertEqual(made, 2 * TRACKS, "every track written under a temporary name")
        self.assertLessEqual(most, MOST_TEMPORARIES_AT_ONCE)
        check = subprocess.run(["fsck.fat", "-n", str(self.image)], capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertEqual(fat_order(self.image, "/Album/"), expected)


if __name__ == "__main__":
    unittest.main()
