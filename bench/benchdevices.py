# SPDX-License-Identifier: GPL-3.0-or-later
"""What the benchmarks of bench/ share: running a tool, and the slow device
(an ext4 loop device whose writes the root blkio cgroup throttles to
20 MiB/s, which the kernel's flusher threads obey), made for a run and
undone step by step on every exit."""

import os
import shutil
import signal
import subprocess
import sys

MiB = 1024 * 1024
SLOW_BPS = 20 * MiB
THROTTLE = "/sys/fs/cgroup/blkio/blkio.throttle.write_bps_device"


class RunFailed(Exception):
    pass


def run(command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        raise RunFailed("%s exited %d: %s" % (" ".join(command), done.returncode, done.stderr.strip()[-300:]))
    return done.stdout


def stop_on_signals():
    """A stop raises RunFailed, so that the cleanup in the callers' finally runs."""
    def interrupted(number, frame):
        raise RunFailed("stopped by signal %d" % number)

    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, interrupted)


def can_make_slow_device():
    return os.geteuid() == 0 and os.path.exists(THROTTLE) and shutil.which("losetup") is not None


def make_slow_device(image, root, size, undo):
    """Mounts a fresh ext4 image of SIZE bytes on ROOT through a loop device
    throttled to SLOW_BPS; appends to UNDO the steps that take it all away.
    Returns the loop device's statistics file."""
    with open(image, "wb") as sparse:
        sparse.truncate(size)
    undo.append(lambda: os.remove(image))
    # Initialised whole now: the lazy init would write while the bench measures.
    run(["mkfs.ext4", "-q", "-F", "-E", "lazy_itable_init=0,lazy_journal_init=0", image])
    loop = run(["losetup", "-f", "--show", image]).strip()
    undo.append(lambda: run(["losetup", "-d", loop]))
    os.makedirs(root, exist_ok=True)
    run(["mount", loop, root])
    undo.append(lambda: run(["umount", root]))
    undo.append(lambda: run(["sync", "-f", root]))
    numbers = run(["lsblk", "-dno", "MAJ:MIN", loop]).replace(" ", "").strip()
    set_throttle(numbers, SLOW_BPS)
    undo.append(lambda: set_throttle(numbers, 0))
    return "/sys/block/%s/stat" % os.path.basename(loop)


def set_throttle(numbers, bps):
    with open(THROTTLE, "w") as rule:
        rule.write("%s %d\n" % (numbers, bps))


def undo_all(undo, name):
    """Takes the steps back, the last first; one that fails is told and the
    others still run (a busy umount must not leave the throttle behind)."""
    while undo:
        step = undo.pop()
        try:
            step()
        except (OSError, subprocess.SubprocessError, RunFailed) as error:
            print("cleanup of %s: %s" % (name, error), file=sys.stderr)
