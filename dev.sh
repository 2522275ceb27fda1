#!/usr/bin/env bash
# ./dev.sh start   set up, build and start the program
# ./dev.sh test    set up, build and run every test
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh

JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"

case "${1:-start}" in
  start)
    if [ -x build/bin/quadrelle ]; then
      exec build/bin/quadrelle
    fi
    # Until the desktop program exists, show what the command-line tool does.
    echo "qdl jd 2000-01-01 12:00   -> $(build/bin/qdl jd 2000-01-01 12:00)"
    echo "qdl daycycle 2000-01-01   -> $(build/bin/qdl daycycle 2000-01-01)"
    echo "qdl date 2299160.5        -> $(build/bin/qdl date 2299160.5)"
    build/bin/qdl --help
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure -j"$JOBS"
    ;;
  *)
    echo "usage: $0 start|test" >&2
    exit 2
    ;;
esac
