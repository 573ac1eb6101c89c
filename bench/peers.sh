#!/usr/bin/env bash
# Measures Orvida's RollDice against other dice rollers on the same two works, in one run:
#   1d20   a whole roll of one twenty-sided die (ns a roll; the peers parse "1d20" each time)
#   999d6  rolls of 999 six-sided dice (ns a die)
# Peers, installed into a temporary folder that is removed at the end (nothing is installed
# system-wide): Debian's rolldice (apt-get download, unpacked with dpkg-deb), and droll and
# @dice-roller/rpg-dice-roller from npm, at the versions below.
#
# How each is timed, in every round, the four in turn (so they share the machine's state):
#   Orvida    bench/peer_orvida, in-process: the median of 5 batches of about 50 ms each
#   npm peers bench/peers.mjs under node, the same way, after 1.5 s of warm-up (JIT)
#   rolldice  one process per work that rolls many times (400000 rolls of 1d20 as 20
#             strings of 20000x1d20, or 1000x999d6), timed from outside; the time of a
#             one-roll run in the same round (the quickest of three) is taken off, which
#             leaves the rolls without the process start.
# Prints the median over the rounds for each peer and work, and the ratio peer/Orvida.
# A benchmark, not a test: CI does not run it. Needs apt-get, npm, node, cmake.
#   bench/peers.sh [ROUNDS]   (default 7)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-7}
build=${ORVIDA_BUILD_DIR:-build}
ROLLDICE_VERSION=1.16-1+b3
DROLL_VERSION=0.2.1
RPG_DICE_ROLLER_VERSION=5.5.1

cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target peer_orvida >/dev/null
orvida=$build/bench/peer_orvida

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "Installing the peers into $tmp ..."
(cd "$tmp" && apt-get download -qq "rolldice=$ROLLDICE_VERSION" 2>/dev/null &&
  dpkg-deb -x rolldice_*.deb rolldice)
rolldice=$tmp/rolldice/usr/games/rolldice
npm install --prefix "$tmp/npm" --no-save --no-audit --no-fund --loglevel=error \
  "droll@$DROLL_VERSION" "@dice-roller/rpg-dice-roller@$RPG_DICE_ROLLER_VERSION" >/dev/null
modules=$tmp/npm/node_modules

# Seconds of one run of rolldice with the given dice strings, output discarded.
run_rolldice() {
  local start=$EPOCHREALTIME
  "$rolldice" "$@" >/dev/null
  local end=$EPOCHREALTIME
  echo "$start $end" | awk '{printf "%.9f\n", $2 - $1}'
}

# Nanoseconds a unit of work for rolldice: a run of many rolls less a run of one roll (the
# quickest of three), over the units between them.
time_rolldice() {
  local strings=() one units
  if [ "$1" = 1d20 ]; then
    for _ in {1..20}; do strings+=(20000x1d20); done # rolldice takes 20000 rolls a string
    units=399999
  else
    strings=(1000x999d6)
    units=$((999 * 999))
  fi
  one=$(for _ in 1 2 3; do run_rolldice "1x$1"; done | sort -g | head -n 1)
  awk -v a="$(run_rolldice "${strings[@]}")" -v b="$one" -v n="$units" \
    'BEGIN {printf "%.3f\n", (a - b) * 1e9 / n}'
}

results=$tmp/results.txt
for ((round = 1; round <= rounds; ++round)); do
  echo "Round $round of $rounds ..."
  for work in 1d20 999d6; do
    echo "$work Orvida $("$orvida" "$work")" >>"$results"
    echo "$work droll $(node bench/peers.mjs "$modules" droll "$work")" >>"$results"
    echo "$work rpg-dice-roller $(node bench/peers.mjs "$modules" rpg-dice-roller "$work")" \
      >>"$results"
    echo "$work rolldice $(time_rolldice "$work")" >>"$results"
  done
done

echo
echo "Medians of $rounds rounds ($(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs," \
  "$(lscpu | sed -n 's/^Model name: *//p'))"
python3 - "$results" <<'PY'
import collections, statistics, sys
times = collections.defaultdict(list)
for line in open(sys.argv[1]):
    work, peer, value = line.split()
    times[(work, peer)].append(float(value))
units = {"1d20": "ns a roll", "999d6": "ns a die"}
peers = ["Orvida", "droll", "rpg-dice-roller", "rolldice"]
print(f"| {'work':6} | {'roller':16} | {'median':>12} | {'peer/Orvida':>11} |")
print(f"|{'-' * 8}|{'-' * 18}|{'-' * 14}|{'-' * 13}|")
for work in units:
    orvida = statistics.median(times[(work, "Orvida")])
    for peer in peers:
        median = statistics.median(times[(work, peer)])
        ratio = "" if peer == "Orvida" else f"{median / orvida:.1f}"
        print(f"| {work:6} | {peer:16} | {median:9.1f} ns | {ratio:>11} |")
print("(1d20: ns a whole roll, reseed and parsing included; 999d6: ns a die)")
PY
