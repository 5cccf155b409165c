#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Copy speed of `koralctl copy` against `cp -r` followed by `sync -f`.

Each round times one pair: koralctl and cp on the same data, the one that
goes first alternating from round to round. A pair's ratio is cp's time over
koralctl's (1.0: as fast as cp); a shape's figure is the median of its
pairs' ratios, with their min-max. Every run writes into a folder of its own
(the copies are deleted only once a shape's warm or cold runs are all done,
outside the timed part) and is checked: its exit status, then the files and bytes it
left. A copy that fails is an error, never a time.

Sources are cold (page cache dropped, root only; the programs themselves
are then started once) or warm (read beforehand).
Exits 1 when a shape's median falls under the bar, 2 on a failed run.

  bench/copy.py [BUILD_DIR]
  KORAL_BENCH_ROUNDS=N (default 9, 5 for the 1.5 GiB file)  KORAL_BENCH_BAR=R (default 0.95)
  KORAL_BENCH_SHAPES=small,large,playlist,huge (default all)
  KORAL_BENCH_TEMPERATURES=warm,cold (default both)
  KORAL_BENCH_DIR=DIR (where data and copies go; default TMPDIR)
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# Pairs per shape: the spread between pairs is wide on a shared machine, so
# the median takes nine, but five of the 1.5 GiB file (each copy writes it whole).
ROUNDS = {"small": 9, "large": 9, "playlist": 9, "huge": 5}
if "KORAL_BENCH_ROUNDS" in os.environ:
    ROUNDS = dict.fromkeys(ROUNDS, int(os.environ["KORAL_BENCH_ROUNDS"]))
BAR = float(os.environ.get("KORAL_BENCH_BAR", "0.95"))
SHAPES = os.environ.get("KORAL_BENCH_SHAPES", "small,large,playlist,huge").split(",")
TEMPERATURES = os.environ.get("KORAL_BENCH_TEMPERATURES", "warm,cold").split(",")
MiB = 1024 * 1024


class RunFailed(Exception):
    pass


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


class Bench:
    def __init__(self, koralctl, work, can_drop):
        self.koralctl = koralctl
        self.work = work
        self.can_drop = can_drop
        self.runs = 0

    def fresh_folder(self):
        self.runs += 1
        path = os.path.join(self.work, "copies", "run%04d" % self.runs)
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
        elapsed = timed([self.koralctl, "--player", player, "copy"] + options + [source])
        check(player, expected_for_koralctl(source, options), "koralctl")
        return elapsed

    def pairs(self, source, options, cold, rounds):
        ratios, cp_times, k_times = [], [], []
        for round_number in range(rounds):
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

    def forget_copies(self):
        shutil.rmtree(os.path.join(self.work, "copies"), ignore_errors=True)
        subprocess.run(["sync"], check=True)


def main():
    build_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    koralctl = os.path.join(build_dir, "bin", "koralctl")
    if not os.access(koralctl, os.X_OK):
        print("koralctl not built: " + koralctl, file=sys.stderr)
        return 2
    can_drop = os.geteuid() == 0
    base = os.environ.get("KORAL_BENCH_DIR") or None
    work = tempfile.mkdtemp(prefix="koral-bench-copy.", dir=base)
    try:
        return run_all(Bench(koralctl, work, can_drop), work, can_drop, build_latency_probe(build_dir, work))
    except RunFailed as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 2
    finally:
        shutil.rmtree(work, ignore_errors=True)


def build_latency_probe(build_dir, work):
    """The time from a copy's last progress report to its end: progress follows the device."""
    source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    probe = os.path.join(work, "copy_latency")
    built = subprocess.run(["c++", "-std=c++20", "-O2", "-I", os.path.join(source_dir, "src", "core"),
                            os.path.join(source_dir, "bench", "copy_latency.cpp"),
                            os.path.join(build_dir, "src", "core", "libkoral_core.a"), "-pthread", "-o", probe],
                           capture_output=True)
    return probe if built.returncode == 0 else None


def run_latency(probe, source, work):
    if probe is None:
        return "(probe not built)"
    player = os.path.join(work, "latency")
    os.makedirs(player)
    done = subprocess.run([probe, source, player], capture_output=True, text=True)
    shutil.rmtree(player)
    if done.returncode != 0:
        raise RunFailed("the latency probe failed on " + source)
    return done.stdout.strip()


def run_all(bench, work, can_drop, probe):
    fs_type = subprocess.run(["findmnt", "-n", "-o", "FSTYPE", "--target", work],
                             capture_output=True, text=True).stdout.strip() or "?"
    temperatures = [(name, name == "cold") for name in TEMPERATURES if name == "warm" or can_drop]
    print("destination: %s under %s; bar %.2f%s" % (fs_type, work, BAR, "" if can_drop else "; not root: no cold runs"))
    status = 0
    for shape in SHAPES:
        source, options = MAKERS[shape](os.path.join(work, "data"))
        files, size = tree_content(source)
        for temperature, cold in temperatures:
            ratios, cp_times, k_times = bench.pairs(source, options, cold, ROUNDS[shape])
            median = statistics.median(ratios)
            verdict = "ok" if median >= BAR else "UNDER THE BAR"
            print("%-8s %-4s %5d files %7.1f MiB  %d pairs  cp+sync %7.3f s  koralctl %7.3f s  ratio %.2f (%.2f-%.2f)  %s" %
                  (shape, temperature, files, size / MiB, len(ratios), statistics.median(cp_times),
                   statistics.median(k_times), median, min(ratios), max(ratios), verdict), flush=True)
            bench.forget_copies()  # outside the timed part, and before the disk fills up
            if median < BAR:
                status = 1
        print("%-8s latency: %s" % (shape, run_latency(probe, source, work)), flush=True)
        shutil.rmtree(source)
    return status


if __name__ == "__main__":
    sys.exit(main())
