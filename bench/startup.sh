#!/usr/bin/env bash
# Builds the start-up benchmark and measures it against a window with one line of text (and,
# for reference, a bare Qt window): offscreen, then on an X server (Xvfb) when Xvfb is
# there. Arguments go to bench/startup.py (e.g. --runs 40). Exits non-zero when a ratio is
# above its goal: on Xvfb, where the goals are set, or offscreen when there is no Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ORVIDA_BUILD_DIR:-build}
cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target startup_probe startup_baseline startup_text_floor
if ! command -v Xvfb >/dev/null; then
  exec env QT_QPA_PLATFORM=offscreen python3 bench/startup.py --build "$build" "$@"
fi
# Offscreen nothing reaches a screen, so the same work weighs more against the text floor's:
# those ratios are for reference.
QT_QPA_PLATFORM=offscreen python3 bench/startup.py --build "$build" "$@" || true
echo
QT_QPA_PLATFORM=xcb exec scripts/lib/with-xvfb python3 bench/startup.py --build "$build" "$@"
