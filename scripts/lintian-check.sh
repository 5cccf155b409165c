#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs lintian on the package built in DIR and fails on any error or warning.
set -euo pipefail
dir=${1:-build-deb}
shopt -s nullglob
packages=("$dir"/koral-config_*.deb)
if [ ${#packages[@]} -ne 1 ]; then
  echo "lintian-check: un seul paquet attendu dans $dir, trouvé ${#packages[@]}" >&2
  exit 1
fi
lintian --fail-on error,warning \
  "${packages[0]}"
echo "lintian : ${packages[0]##*/} sans erreur ni avertissement"
