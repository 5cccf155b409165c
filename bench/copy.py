#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Copy speed of `koralctl copy` against `cp -r` followed by `sync -f`, on
devices: the local disk, a slow device (an ext4 loop device throttled to
20 MiB/s in the root blkio cgroup, which the kernel's flusher threads obey)
and a FAT32 image mounted through fusefat.

Each round times one pair: koralctl and cp on the same data, the one that
goes first alternating from round to round. A pair's ratio is cp's time over
koralctl's (1.0: as fast as cp); a shape's figure is the median of its
pairs' ratios, with their min-max. Every run writes into a folder of its own
(the copies are deleted only once a shape's warm or cold runs are all done,
outside the timed part) and is checked: its exit status, then the files and bytes it
left. A copy that fails is an error, never a time.

Sources are cold (page cache dropped, root only; the programs themselves
are then started once) or warm (read beforehand); on the slow and FAT
devices, whose writing is the limit, warm only, and without the 1.5 GiB file.

On each device and shape, a probe running the copy engine tells the time
from the last progress report to the end and, on the slow device, the worst
lead of the progress over the bytes the device wrote (/sys/block/loopN/stat,
sampled every 20 ms), in seconds at 20 MiB/s. On the slow device the share
of the physical limit is printed twice: the time the device spent writing
(the bytes it wrote / 20 MiB/s) over koralctl's time, and the same with the
files' bytes alone; and the time from a SIGINT to the exit of `koralctl copy`.

Bars: the local disk at 0.95 x cp (KORAL_BENCH_BAR), FAT at 0.95 x cp; the
slow device at 1.0 x cp (or koralctl within 1 % of the files' bytes at 20 MiB/s, which no
program beats) and writing 0.97 of koralctl's time, a lead of at most 1.0 s, the
last report at most 1.0 s before the end, a cancel within 1.0 s.
Exits 1 when a figure misses its bar, 2 on a failed run. The loop device,
the throttle rule and the mounts go on every exit.

  bench/copy.py [BUILD_DIR]
  KORAL_BENCH_ROUNDS=N (default 9, 5 for the 1.5 GiB file, 3 on the slow device and for the small files on FAT)
  KORAL_BENCH_BAR=R (default 0.95)
  KORAL_BENCH_DEVICES=disk,slow,fat (default all three as root where their tools are; else disk)
  KORAL_BENCH_SHAPES=small,large,playlist,huge (default all)
  KORAL_BENCH_TEMPERATURES=warm,cold (default both)
  KORAL_BENCH_DIR=DIR (where data and copies go; default TMPDIR)
"""

import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from benchdevices import (MiB, SLOW_BPS, RunFailed, can_make_slow_device, make_slow_device, run, stop_on_signals,
                          undo_all)

# Pairs per shape: the spread between pairs is wide on a shared machine, so
# the median takes nine, but five of the 1.5 GiB file (each copy writes it whole).
ROUNDS = {"small": 9, "large": 9, "playlist": 9, "huge": 5}
if "KORAL_BENCH_ROUNDS" in os.environ:
    ROUNDS = dict.fromkeys(ROUNDS, int(os.environ["KORAL_BENCH_ROUNDS"]))
BAR = float(os.environ.get("KORAL_BENCH_BAR", "0.95"))
SHAPES = os.environ.get("KORAL_BENCH_SHAPES", "small,large,playlist,huge").split(",")
TEMPERATURES = os.environ.get("KORAL_BENCH_TEMPERATURES", "warm,cold").split(",")
DEVICE_ROUNDS = int(os.environ.get("KORAL_BENCH_ROUNDS", "3"))
SLOW_BARS = {"ratio": 1.0, "limit": 0.97, "lead": 1.0, "last": 1.0, "cancel": 1.0}
FAT_BAR = 0.95
SLOW_AT_LIMIT = 0.99


def write_random(path, size, seed):
    # Pseudo-random bytes, cheaply: a block of urandom rotated by the seed.
    block = write_random.block
    offset = (seed * 7919) % len(block)
    with open(path, "wb") as out:
        left = size
        while left > 0:
            piece = (block[offset:] + block[:offset])[:left]
            out.write(piece)
            left -= len(piece)


write_random.block = os.urandom(MiB)


def make_small(root):
    """5,000 files of 4-40 KiB in 50 folders."""
    top = os.path.join(root, "small")
    for folder in range(50):
        path = os.path.join(top, "album%02d" % folder)
        os.makedirs(path)
        for i in range(100):
            n = folder * 100 + i
            write_random(os.path.join(path, "track%03d.mp3" % i), 4096 + (n * 7919) % 36865, n)
    return top, []


def make_large(root):
    top = os.path.join(root, "large")
    os.makedirs(top)
    for i in range(4):
        write_random(os.path.join(top, "track%d.flac" % i), 64 * MiB + i * 4099, i)
    return top, []


def make_playlist(root):
    top = os.path.join(root, "playlist")
    os.makedirs(top)
    with open(os.path.join(top, "album.m3u"), "w") as m3u:
        m3u.write("#EXTM3U\n")
        for i in range(30, 0, -1):  # not the folder's order
            name = "song%02d.mp3" % i
            write_random(os.path.join(top, name), 2 * MiB + i * 1000, i)
            m3u.write("#EXTINF:%d,Song %d\n%s\n" % (i, i, name))
    return top, ["--playlist"]


def make_huge(root):
    top = os.path.join(root, "huge")
    os.makedirs(top)
    write_random(os.path.join(top, "concert.wav"), 1536 * MiB, 1)
    return top, []


MAKERS = {"small": make_small, "large": make_large, "playlist": make_playlist, "huge": make_huge}


def tree_content(top, skip=lambda name: False):
    files = 0
    size = 0
    for folder, _, names in os.walk(top):
        for name in names:
            if skip(name):
                continue
            files += 1
            size += os.lstat(os.path.join(folder, name)).st_size
    return files, size


def expected_for_koralctl(source, options):
    if "--playlist" not in options:
        return tree_content(source)
    return tree_content(source, skip=lambda name: name.endswith(".m3u"))


def check(destination, expected, who):
    leftovers = [f for f, dirs, _ in os.walk(destination) if ".koral-part" in dirs]
    if leftovers:
        raise RunFailed("%s left temporary folders in %s" % (who, leftovers[0]))
    got = tree_content(destination)
    if got != expected:
        raise RunFailed("%s copied %d files, %d bytes; expected %d files, %d bytes" % ((who,) + got + expected))


def drop_cache():
    subprocess.run(["sync"], check=True)
    with open("/proc/sys/vm/drop_caches", "w") as control:
        control.write("3\n")


def pre_read(source):
    for folder, _, names in os.walk(source):
        for name in names:
            with open(os.path.join(folder, name), "rb") as f:
                while f.read(8 * MiB):
                    pass


def timed(command):
    start = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.monotonic() - start
    if done.returncode != 0:
        raise RunFailed("%s exited %d: %s" % (command[0], done.returncode, done.stderr.decode(errors="replace")[-500:]))
    return elapsed


class Device:
    """Where the copies go: the local disk."""
    name = "disk"
    stat_file = None  # the device's statistics, when the copies have it alone

    def __init__(self, work):
        self.root = work

    def start(self):
        pass

    def stop(self):
        pass

    def begin_pair(self):
        pass

    def shapes(self):
        return SHAPES

    def temperatures(self, can_drop):
        return [(name, name == "cold") for name in TEMPERATURES if name == "warm" or can_drop]

    def rounds(self, shape):
        return ROUNDS[shape]

    def ratio_bar(self):
        return BAR

    def forget(self):
        shutil.rmtree(os.path.join(self.root, "copies"), ignore_errors=True)
        subprocess.run(["sync"], check=True)


class ImageDevice(Device):
    """A file system in an image, mounted for the bench; every step taken is undone by stop()."""

    def __init__(self, work):
        super().__init__(os.path.join(work, self.name))
        self.image = os.path.join(work, self.name + ".img")
        self.undo = []

    def shapes(self):
        return [shape for shape in SHAPES if shape != "huge"]  # 77 s a copy at 20 MiB/s

    def temperatures(self, can_drop):
        return [("warm", False)] if "warm" in TEMPERATURES else []

    def rounds(self, shape):
        return DEVICE_ROUNDS

    def ratio_bar(self):
        return FAT_BAR

    def stop(self):
        undo_all(self.undo, self.name)


class SlowDevice(ImageDevice):
    """ext4 on a loop device, its writes throttled to 20 MiB/s in the root cgroup."""
    name = "slow"

    def start(self):
        self.stat_file = make_slow_device(self.image, self.root, 6 * 1024 * MiB, self.undo)

    def ratio_bar(self):
        # Both programs reach the device's limit: a tie counts, to the two
        # decimals printed.
        return SLOW_BARS["ratio"] - 0.005


class FatDevice(ImageDevice):
    """A FAT32 image mounted through fusefat, as a player's file system. Its
    copies go with a new image, each pair's too: fusefat cannot reach a
    folder past the image's first 2 GiB, and a run's copies go past it."""
    name = "fat"

    def forget(self):
        self.stop()
        self.start()

    def begin_pair(self):
        # Past 2 GiB a new folder fails with EPERM; a pair of the large files
        # writes 512 MiB.
        self.forget()

    def rounds(self, shape):
        # fusefat takes some 20 ms a file: a pair of the 5,000 files takes
        # minutes. The other shapes take the disk's count of pairs: koralctl
        # names each file by a rename, which costs fusefat some 5 % more work
        # than cp's creates, and three pairs spread wider than that.
        return DEVICE_ROUNDS if shape == "small" else ROUNDS[shape]

    def start(self):
        run(["mkfs.fat", "-F", "32", "-C", self.image, str(4 * 1024 * 1024)])  # KiB
        self.undo.append(lambda: os.remove(self.image))
        os.makedirs(self.root, exist_ok=True)
        run(["fusefat", "-o", "rw+", self.image, self.root])
        self.undo.append(lambda: run(["fusermount", "-u", self.root]))


def device_written(device):
    """Bytes the device has written so far (sectors of 512 bytes), None when unknown."""
    if device.stat_file is None:
        return None
    with open(device.stat_file) as stat:
        return int(stat.read().split()[6]) * 512


def chosen_devices(work, is_root):
    have = {"disk": True,
            "slow": can_make_slow_device(),
            "fat": is_root and shutil.which("fusefat") is not None and shutil.which("mkfs.fat") is not None}
    names = os.environ.get("KORAL_BENCH_DEVICES")
    if names is None:
        names = ",".join(name for name in ("disk", "slow", "fat") if have[name])
    classes = {"disk": Device, "slow": SlowDevice, "fat": FatDevice}
    devices = []
    for name in names.split(","):
        if name not in classes:
            raise RunFailed("unknown device %s" % name)
        if not have[name]:
            raise RunFailed("device %s cannot be made here (root, blkio or fusefat missing; "
                            "scripts/install-deps.sh --bench)" % name)
        devices.append(classes[name](work))
    return devices


class Bench:
    def __init__(self, koralctl, can_drop):
        self.koralctl = koralctl
        self.can_drop = can_drop
        self.device = None
        self.runs = 0
        self.device_seconds = []  # the device's writing during each koralctl run, at its limit

    def fresh_folder(self):
        self.runs += 1
        path = os.path.join(self.device.root, "copies", "run%04d" % self.runs)
        os.makedirs(path)
        return path

    def prepare(self, source, cold):
        if cold:
            drop_cache()
            # The sources are cold, not the programs: koralctl's libraries
            # (Qt, for eject) would cost it some 50 ms that cp does not pay.
            for command in ([self.koralctl, "--version"], ["cp", "--version"], ["sync", "--version"]):
                subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        else:
            pre_read(source)
            subprocess.run(["sync"], check=True)

    def run_cp(self, source, cold):
        destination = self.fresh_folder()
        self.prepare(source, cold)
        elapsed = timed(["sh", "-c", 'cp -r "$1" "$2/" && sync -f "$2"', "cp", source, destination])
        check(destination, tree_content(source), "cp")
        return elapsed

    def run_koralctl(self, source, options, cold):
        player = self.fresh_folder()
        self.prepare(source, cold)
        before = device_written(self.device)
        elapsed = timed([self.koralctl, "--player", player, "copy"] + options + [source])
        if before is not None:
            self.device_seconds.append((device_written(self.device) - before) / SLOW_BPS)
        check(player, expected_for_koralctl(source, options), "koralctl")
        return elapsed

    def pairs(self, source, options, cold, rounds):
        ratios, cp_times, k_times = [], [], []
        for round_number in range(rounds):
            self.device.begin_pair()
            if round_number % 2 == 0:
                cp_time = self.run_cp(source, cold)
                k_time = self.run_koralctl(source, options, cold)
            else:
                k_time = self.run_koralctl(source, options, cold)
                cp_time = self.run_cp(source, cold)
            cp_times.append(cp_time)
            k_times.append(k_time)
            ratios.append(cp_time / k_time)
        return ratios, cp_times, k_times

    def cancel_latency(self, source, options):
        """From a SIGINT, once the copy is well on its way, to the exit of koralctl."""
        player = self.fresh_folder()
        pre_read(source)
        subprocess.run(["sync"], check=True)
        copy = subprocess.Popen([self.koralctl, "--player", player, "copy"] + options + [source],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        time.sleep(2.0)
        if copy.poll() is not None:
            raise RunFailed("koralctl ended before its cancel")
        start = time.monotonic()
        copy.send_signal(signal.SIGINT)
        err = copy.communicate()[1]
        elapsed = time.monotonic() - start
        if copy.returncode != 128 + signal.SIGINT:
            raise RunFailed("koralctl exited %d on SIGINT: %s" % (copy.returncode, err.decode(errors="replace")[-300:]))
        return elapsed

    def forget_copies(self):
        self.device.forget()


def main():
    build_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    koralctl = os.path.join(build_dir, "bin", "koralctl")
    if not os.access(koralctl, os.X_OK):
        print("koralctl not built: " + koralctl, file=sys.stderr)
        return 2
    can_drop = os.geteuid() == 0
    base = os.environ.get("KORAL_BENCH_DIR") or None
    work = tempfile.mkdtemp(prefix="koral-bench-copy.", dir=base)
    devices = []
    stop_on_signals()  # the cleanup below runs on a stop too
    try:
        devices = chosen_devices(work, can_drop)
        for device in devices:
            device.start()
        return run_all(Bench(koralctl, can_drop), devices, work, can_drop, build_latency_probe(build_dir, work))
    except RunFailed as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 2
    finally:
        for device in reversed(devices):
            device.stop()
        shutil.rmtree(work, ignore_errors=True)


def build_latency_probe(build_dir, work):
    """Follows a copy's progress against its end, and against the device."""
    source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    probe = os.path.join(work, "copy_latency")
    built = subprocess.run(["c++", "-std=c++20", "-O2", "-I", os.path.join(source_dir, "src"),
                            os.path.join(source_dir, "bench", "copy_latency.cpp"),
                            os.path.join(build_dir, "src", "core", "libkoral_core.a"), "-pthread", "-o", probe],
                           capture_output=True)
    if built.returncode != 0:
        raise RunFailed("the progress probe did not build: " + built.stderr.decode(errors="replace")[-500:])
    return probe


def run_latency(probe, source, device):
    """(last report -> end, worst lead or None), in seconds."""
    player = os.path.join(device.root, "latency")
    os.makedirs(player)
    pre_read(source)
    subprocess.run(["sync"], check=True)
    command = [probe, source, player]
    if device.stat_file:
        command += [device.stat_file, str(SLOW_BPS)]
    done = subprocess.run(command, capture_output=True, text=True)
    shutil.rmtree(player)
    subprocess.run(["sync"], check=True)
    if done.returncode != 0:
        raise RunFailed("the latency probe failed on " + source)
    figures = dict(part.rsplit(" ", 1) for part in done.stdout.replace(" s", "").strip().split(", "))
    lead = figures.get("worst lead")
    return float(figures["last progress -> end"]), float(lead) if lead is not None else None


def run_shape(bench, device, shape, source, options, can_drop, probe):
    """Prints the figures of a shape on a device; False when one misses its bar."""
    files, size = tree_content(source)
    ok = True
    bar = device.ratio_bar()
    for temperature, cold in device.temperatures(can_drop):
        ratios, cp_times, k_times = bench.pairs(source, options, cold, device.rounds(shape))
        median = statistics.median(ratios)
        misses = []
        at_limit = False
        limit = ""
        if device.name == "slow":
            # Small files cost the device more than their bytes: each ends on
            # a whole block, and has its inode and directory entry. The bar
            # is on the time the device was writing; the share of the bytes
            # alone is told beside it.
            busy = statistics.median([spent / k_time for spent, k_time in zip(bench.device_seconds, k_times)])
            limit = "  limit %.2f (device writing) %.2f (file bytes)" % (busy, size / SLOW_BPS / statistics.median(k_times))
            if busy < SLOW_BARS["limit"]:
                misses.append("limit")
            # No program writes faster than the device: when koralctl's time is
            # the files' bytes at 20 MiB/s (within 1 %), a cp measured a little
            # beyond it only caught the throttle's slack at its start.
            at_limit = size / SLOW_BPS / statistics.median(k_times) >= SLOW_AT_LIMIT
        if median < bar and not at_limit:
            misses.insert(0, "ratio")
        bench.device_seconds = []
        print("%-4s %-8s %-4s %5d files %7.1f MiB  %d pairs  cp+sync %7.3f s  koralctl %7.3f s  ratio %.2f (%.2f-%.2f)%s  %s" %
              (device.name, shape, temperature, files, size / MiB, len(ratios), statistics.median(cp_times),
               statistics.median(k_times), median, min(ratios), max(ratios), limit,
               "UNDER THE BAR: " + ", ".join(misses) if misses else "ok"), flush=True)
        bench.forget_copies()  # outside the timed part, and before the device fills up
        ok = ok and not misses
    return run_progress(bench, device, shape, source, options, probe) and ok


def run_progress(bench, device, shape, source, options, probe):
    """The progress against the device, and on the slow one the cancel."""
    latency = run_latency(probe, source, device)
    last, lead = latency
    misses = []
    text = "last report -> end %.3f s" % last
    if lead is not None:
        text += "  worst lead %.3f s" % lead
    if device.name == "slow":
        cancel = bench.cancel_latency(source, options) if shape in ("small", "large") else None
        bench.forget_copies()
        if cancel is not None:
            text += "  cancel %.3f s" % cancel
        misses = [name for name, value in (("last", last), ("lead", lead), ("cancel", cancel))
                  if value is not None and value > SLOW_BARS[name]]
    print("%-4s %-8s progress: %s  %s" % (device.name, shape, text,
                                          "OVER THE BAR: " + ", ".join(misses) if misses else "ok"), flush=True)
    return not misses


def run_all(bench, devices, work, can_drop, probe):
    print("devices: %s; bars: disk %.2f x cp, fat %.2f x cp, slow %.2f x cp and %.2f of %d MiB/s, "
          "lead, last report and cancel within %.1f s%s" %
          (", ".join(device.name for device in devices), BAR, FAT_BAR, SLOW_BARS["ratio"], SLOW_BARS["limit"],
           SLOW_BPS // MiB, SLOW_BARS["lead"], "" if can_drop else "; not root: no cold runs"), flush=True)
    status = 0
    for shape in SHAPES:
        source, options = MAKERS[shape](os.path.join(work, "data"))
        for device in devices:
            if shape not in device.shapes():
                continue
            bench.device = device
            if not run_shape(bench, device, shape, source, options, can_drop, probe):
                status = 1
        shutil.rmtree(source)
    return status


if __name__ == "__main__":
    sys.exit(main())
