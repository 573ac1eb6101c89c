#!/usr/bin/env bash
# The X session of scripts/screenshots: starts the window manager, then the program, and
# saves each window with its frame. Run by scripts/lib/with-xvfb.
# Arguments: a scratch folder holding icewm/, the installed program, the output folder.
set -euo pipefail
work=$1
program_path=$2
out=$3

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Runs a command until it succeeds, for ten seconds at most.
wait_for() {
  local tries=200
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    if [ "$tries" -eq 0 ]; then
      echo "timed out: $*" >&2
      exit 1
    fi
    sleep 0.05
  done
}

wm_ready() {
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"
}

# Prints the id of the program's visible window with this exact title.
window() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
    if [ "$(xdotool getwindowname "$id")" = "$1" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

wait_window() {
  wait_for window "$1"
  window "$1"
}

closed() {
  ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

ended() {
  ! kill -0 "$program" 2>/dev/null
}

# Saves a window with the frame the window manager drew around it.
shoot() {
  xdotool mousemove 0 0
  sleep 0.5 # let the window manager finish drawing the frame
  import -frame -window "$1" "$out/$2.png"
  echo "wrote $out/$2.png"
}

ICEWM_PRIVCFG=$work/icewm icewm 2>/dev/null &
pids+=($!)
wait_for wm_ready

# The program starts from a folder of its own: it finds conf.ini beside itself.
(cd "$work" && exec "$program_path") &
program=$!
pids+=("$program")

about=$(wait_window "Informazioni su...")
shoot "$about" about
xdotool windowactivate --sync "$about" key Escape

main=$(wait_window "Orvida")
shoot "$main" main-closed

xdotool windowactivate --sync "$main" key alt+p
sleep 0.5
# Roll the 3d6 preset (keypad button 11: fourth column, middle row) to show a result.
xdotool mousemove --window "$main" 256 148 click 1
shoot "$main" main-open

xdotool windowactivate --sync "$main" key alt+c
config=$(wait_window "Configura la Pulsantiera Veloce")
shoot "$config" config
xdotool windowactivate --sync "$config" key Escape
wait_for closed "$config"

xdotool windowactivate --sync "$main" key alt+e
wait_for ended
