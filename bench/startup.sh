#!/usr/bin/env bash
# Builds the start-up benchmark and measures it against the bare Qt window: offscreen, then
# on an X server (Xvfb) when Xvfb is there. Arguments go to bench/startup.py
# (e.g. --runs 40). Exits non-zero when a ratio is above the goal.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ORVIDA_BUILD_DIR:-build}
cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target startup_probe startup_baseline startup_text_floor
status=0
QT_QPA_PLATFORM=offscreen python3 bench/startup.py --build "$build" "$@" || status=1
if command -v Xvfb >/dev/null; then
  echo
  QT_QPA_PLATFORM=xcb scripts/lib/with-xvfb python3 bench/startup.py --build "$build" "$@" || status=1
fi
exit $status
