#!/usr/bin/env bash
# Builds the start-up benchmark and measures it against a window with one line of text (and,
# for reference, a bare Qt window): offscreen, then on an X server (Xvfb) when xvfb-run is
# there. Arguments go to bench/startup.py (e.g. --runs 40). Exits non-zero when a ratio is
# above its goal.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ORVIDA_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target startup_probe startup_baseline startup_text_floor
status=0
QT_QPA_PLATFORM=offscreen python3 bench/startup.py --build "$build" "$@" || status=1
if command -v xvfb-run >/dev/null; then
  echo
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    python3 bench/startup.py --build "$build" "$@" || status=1
fi
exit $status
