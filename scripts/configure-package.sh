#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures the package's build tree with the flags dpkg-buildflags gives
# (fortify, stack protector, relro and bindnow, PIE): the flags Debian builds
# its own packages with. Usage: configure-package.sh DIR GENERATOR [CMAKE ARGS...]
set -euo pipefail
dir=$1 generator=$2
shift 2
flags() { dpkg-buildflags --get "$1"; }
cmake -S "$(dirname "$0")/.." -B "$dir" -G "$generator" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DKORAL_BUILD_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)" \
  "-DCMAKE_SHARED_LINKER_FLAGS=$(flags LDFLAGS)" \
  "-DCMAKE_MODULE_LINKER_FLAGS=$(flags LDFLAGS)" \
  "$@"
