#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Speed of `koralctl copy --convert=192` over an album of twelve FLAC tracks
of 3-5 minutes (44.1 kHz stereo, tones with a tremolo and some noise, tagged),
made for the run from the ffmpeg program's generated sources.

The anchor is the ffmpeg program with the same encoder and settings, one file
per core through `xargs -P $(nproc)`, followed by `sync -f` as the copy of
koralctl ends on the device. Rounds interleave the two (anchor, koralctl,
anchor, ...); the figures are the median times.

Bars:
- the local disk: the anchor's time over koralctl's at least 1.0;
- the slow device (a 20 MiB/s loop device, root only; skipped when it cannot
  be made): koralctl's time at most 1.1 x the larger of the encoding alone
  (koralctl converting onto a player folder in tmpfs, /dev/shm, in rounds
  interleaved with the slow ones) and the output's bytes at 20 MiB/s.
The real-time factor per core is the seconds of audio over (the wall time x
the cores); the CPU time beside it tells, on a busy machine, the work done
from the share of the cores that was had.

Every run's output is checked: twelve files, their names ending in ".mp3",
each at least as large as its track at the rate. Exits 1 when a figure
misses its bar or koralctl fails or leaves a wrong output, 2 when the bench
cannot run. The album, the copies, the loop device and the throttle rule go
on every exit.

  bench/convert.py [BUILD_DIR]
  KORAL_BENCH_ROUNDS=N (default 5 on each device)
  KORAL_BENCH_DEVICES=disk,slow (default disk, and slow as root where it can be made;
                                 fat, of bench/copy.py, is not measured here)
  KORAL_BENCH_DIR=DIR (where the album and the disk's copies go; default TMPDIR)
"""

import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from benchdevices import SLOW_BPS, MiB, RunFailed, can_make_slow_device, make_slow_device, run, stop_on_signals, undo_all

ROUNDS = int(os.environ.get("KORAL_BENCH_ROUNDS", "5"))
KBPS = 192
DISK_BAR = 1.0  # the anchor's time over koralctl's, at least
SLOW_BAR = 1.1  # koralctl's time over the larger of the encoding alone and the device's limit, at most
CORES = os.cpu_count()
ANCHOR = ("ffmpeg -nostdin -loglevel error -i \"$1\" -c:a libmp3lame -b:a %dk -ar 44100 "
          "-id3v2_version 3 -write_id3v1 1 \"$2\"" % KBPS)


class Clock:
    """Wall time, and the CPU time of the children that ended meanwhile: on a
    shared machine the second tells the work done from the share of the cores
    that was had."""

    def __init__(self):
        self.start = time.monotonic(), self.children_cpu()

    @staticmethod
    def children_cpu():
        usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        return usage.ru_utime + usage.ru_stime

    def read(self):
        return time.monotonic() - self.start[0], self.children_cpu() - self.start[1]


class WrongOutput(Exception):
    """koralctl failed, or left what the bench did not expect."""


class Album:
    """Twelve tagged FLAC tracks of 180 + 10 x i seconds, each a different sound."""
    TRACKS = 12

    def __init__(self, folder):
        self.folder = folder
        self.seconds = {}  # the file's name without its extension -> its duration
        os.makedirs(folder)
        for i in range(self.TRACKS):
            name = "%02d - Piste %d" % (i + 1, i + 1)
            self.seconds[name] = 180 + 10 * i
            self.make_track(i, self.seconds[name], os.path.join(folder, name + ".flac"))

    def make_track(self, i, seconds, path):
        base = 110 * 2 ** (i / 12)  # a semitone up from track to track

        def channel(label, first, second, seed, tremolo):
            tone = "sine=f=%.2f:r=44100:d=%d[%s1];sine=f=%.2f:r=44100:d=%d[%s2];" % (
                first, seconds, label, second, seconds, label)
            noise = "anoisesrc=c=pink:r=44100:a=0.05:d=%d:seed=%d[%sn];" % (seconds, seed, label)
            mix = "[%s1][%s2][%sn]amix=inputs=3,tremolo=f=%.1f:d=0.6[%s];" % (label, label, label, tremolo, label)
            return tone + noise + mix

        graph = (channel("l", base * 2, base * 3, 2 * i + 1, 3 + i / 2) +
                 channel("r", base * 2.5, base * 4.02, 2 * i + 2, 4 + i / 3) +
                 "[l][r]join=inputs=2:channel_layout=stereo,volume=6")
        tags = {"title": "Piste %d" % (i + 1), "artist": "Koral", "album": "Banc d'essai", "track": str(i + 1)}
        metadata = [arg for key, value in tags.items() for arg in ("-metadata", "%s=%s" % (key, value))]
        run(["ffmpeg", "-nostdin", "-loglevel", "error", "-filter_complex", graph, "-c:a", "flac",
             "-sample_fmt", "s16"] + metadata + [path])

    def total_seconds(self):
        return sum(self.seconds.values())

    def check(self, folder, who):
        """The output's bytes; raises WrongOutput when a track is missing, misnamed or too short."""
        names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        expected = sorted(name + ".mp3" for name in self.seconds)
        if names != expected:
            raise WrongOutput("%s left %d files (%s), expected %d ending in .mp3" %
                              (who, len(names), ", ".join(names[:3]), len(expected)))
        size = 0
        for name in names:
            got = os.path.getsize(os.path.join(folder, name))
            least = self.seconds[name[:-4]] * KBPS * 1000 // 8  # at a constant rate, tags aside
            if got < least:
                raise WrongOutput("%s wrote %s in %d bytes, less than the %d of its duration" % (who, name, got, least))
            size += got
        return size


class Bench:
    def __init__(self, koralctl, album):
        self.koralctl = koralctl
        self.album = album
        self.runs = 0
        self.folders = []  # the runs' outputs not yet removed
        self.output_bytes = 0  # of the last run

    def fresh_folder(self, root):
        self.runs += 1
        path = os.path.join(root, "run%04d" % self.runs)
        os.makedirs(path)
        self.folders.append(path)
        return path

    def forget_copies(self):
        """Removes the outputs outside the timed part, and lets the disk catch up."""
        while self.folders:
            shutil.rmtree(self.folders.pop())
        subprocess.run(["sync"], check=True)

    def anchor(self, root):
        out = self.fresh_folder(root)
        pairs = "".join("%s\0%s\0" % (os.path.join(self.album.folder, name + ".flac"), os.path.join(out, name + ".mp3"))
                        for name in self.album.seconds)
        clock = Clock()
        done = subprocess.run(["xargs", "-0", "-n", "2", "-P", str(CORES), "sh", "-c", ANCHOR, "anchor"],
                              input=pairs.encode(), capture_output=True)
        if done.returncode == 0:
            run(["sync", "-f", out])
        elapsed = clock.read()
        if done.returncode != 0:
            raise RunFailed("the anchor exited %d: %s" % (done.returncode, done.stderr.decode(errors="replace")[-500:]))
        self.output_bytes = self.album.check(out, "the anchor")
        return elapsed

    def koralctl_copy(self, root):
        player = self.fresh_folder(root)
        command = [self.koralctl, "--player", player, "copy", "--convert=%d" % KBPS, self.album.folder]
        clock = Clock()
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        elapsed = clock.read()
        if done.returncode != 0:
            raise WrongOutput("koralctl exited %d: %s" % (done.returncode, done.stderr.decode(errors="replace")[-500:]))
        self.output_bytes = self.album.check(os.path.join(player, os.path.basename(self.album.folder)), "koralctl")
        return elapsed

    def rounds(self, first, second):
        """The median (wall, CPU) times of two measures, run in turns."""
        times = ([], [])
        for _ in range(ROUNDS):
            for measure, measured in zip((first, second), times):
                measured.append(measure())
                self.forget_copies()
        return [tuple(statistics.median(column) for column in zip(*measured)) for measured in times]

    def per_core(self, seconds):
        return self.album.total_seconds() / (seconds * CORES)


def run_disk(bench, root):
    (anchor_time, anchor_cpu), (koralctl_time, koralctl_cpu) = bench.rounds(lambda: bench.anchor(root),
                                                                            lambda: bench.koralctl_copy(root))
    ratio = anchor_time / koralctl_time
    print("disk: anchor %.2f s (%.1f x real time per core; CPU %.1f s), koralctl %.2f s (%.1f x per core; CPU %.1f s): "
          "ratio %.2f, bar %.2f  %s" %
          (anchor_time, bench.per_core(anchor_time), anchor_cpu, koralctl_time, bench.per_core(koralctl_time),
           koralctl_cpu, ratio, DISK_BAR, "ok" if ratio >= DISK_BAR else "UNDER THE BAR"), flush=True)
    return ratio >= DISK_BAR


def run_slow(bench, root, shm):
    (alone_time, _), (slow_time, _) = bench.rounds(lambda: bench.koralctl_copy(shm), lambda: bench.koralctl_copy(root))
    output_bytes = bench.output_bytes  # the same in every run of koralctl
    writing = output_bytes / SLOW_BPS
    ratio = slow_time / max(alone_time, writing)
    print("slow: koralctl %.2f s (%.1f x real time per core); encoding alone (tmpfs) %.2f s, %.1f MiB at %d MiB/s "
          "%.2f s: ratio %.2f, bar %.2f  %s" %
          (slow_time, bench.per_core(slow_time), alone_time, output_bytes / MiB, SLOW_BPS // MiB, writing, ratio,
           SLOW_BAR, "ok" if ratio <= SLOW_BAR else "OVER THE BAR"), flush=True)
    return ratio <= SLOW_BAR


def chosen_devices():
    names = os.environ.get("KORAL_BENCH_DEVICES")
    if names is None:
        if can_make_slow_device():
            return ["disk", "slow"]
        print("slow: skipped, it needs root, the blkio throttle and losetup", flush=True)
        return ["disk"]
    for name in names.split(","):
        if name not in ("disk", "slow", "fat"):  # fat is bench/copy.py's alone
            raise RunFailed("unknown device %s" % name)
        if name == "slow" and not can_make_slow_device():
            raise RunFailed("the slow device cannot be made here (root, blkio or losetup missing)")
    return names.split(",")


def run_all(bench, devices, work, undo):
    ok = True
    if "disk" in devices:
        root = os.path.join(work, "disk")
        os.makedirs(root)
        ok = run_disk(bench, root) and ok
    if "slow" in devices:
        root = os.path.join(work, "slow")
        try:
            make_slow_device(os.path.join(work, "slow.img"), root, 1024 * MiB, undo)
        except (RunFailed, OSError) as error:
            if "KORAL_BENCH_DEVICES" in os.environ:
                raise
            print("slow: skipped, the device could not be made: %s" % error, flush=True)
            return ok
        shm = tempfile.mkdtemp(prefix="koral-bench-convert.", dir="/dev/shm")
        undo.append(lambda: shutil.rmtree(shm))
        ok = run_slow(bench, root, shm) and ok
    return ok


def main():
    build_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    koralctl = os.path.join(build_dir, "bin", "koralctl")
    if not os.access(koralctl, os.X_OK):
        print("koralctl not built: " + koralctl, file=sys.stderr)
        return 2
    if shutil.which("ffmpeg") is None:
        print("the ffmpeg program is missing: scripts/install-deps.sh --bench", file=sys.stderr)
        return 2
    work = tempfile.mkdtemp(prefix="koral-bench-convert.", dir=os.environ.get("KORAL_BENCH_DIR") or None)
    undo = [lambda: shutil.rmtree(work)]
    stop_on_signals()  # the cleanup below runs on a stop too
    try:
        devices = chosen_devices()
        album = Album(os.path.join(work, "album"))
        print("album: %d FLAC tracks, %d s of audio; %d cores; %d rounds; bars: disk %.2f x the anchor, "
              "slow %.2f x max(encoding alone, output at %d MiB/s)" %
              (Album.TRACKS, album.total_seconds(), CORES, ROUNDS, DISK_BAR, SLOW_BAR, SLOW_BPS // MiB), flush=True)
        return 0 if run_all(Bench(koralctl, album), devices, work, undo) else 1
    except WrongOutput as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    except RunFailed as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 2
    finally:
        undo_all(undo, "the convert bench")


if __name__ == "__main__":
    sys.exit(main())
