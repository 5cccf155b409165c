#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the window on the player, or on the demo player when none is plugged in.
set -euo pipefail
build_dir=${1:-build}
if "$build_dir/bin/koralctl" detect >/dev/null 2>&1; then
  exec "$build_dir/bin/koral-config"
fi
exec "$build_dir/bin/koral-config" --demo
