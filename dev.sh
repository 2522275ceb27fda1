#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ./dev.sh start   set up, build and start the program
# ./dev.sh test    set up, build and run every test
# ./dev.sh package set up, build and write the Debian package build/quadrelle_*.deb
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh

JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"

case "${1:-start}" in
  start)
    exec build/bin/quadrelle
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure -j"$JOBS"
    ;;
  package)
    (cd build && cpack -G DEB)
    ls build/quadrelle_*.deb
    ;;
  *)
    echo "usage: $0 start|test|package" >&2
    exit 2
    ;;
esac
