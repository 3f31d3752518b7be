#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes the README's screenshots under a private X server, against the
# simulated device: the unlinked window, the linked window, a bistable
# configuration, and the window at scale factor 2. Needs a build (build/bin).
#   scripts/screenshots.sh [OUTPUT_DIR]   (default docs)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}

if [ -z "${SCREENSHOTS_INNER:-}" ]; then
  exec env SCREENSHOTS_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$out"
fi
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

title="Varnelta   - TIMER RS232 -"

# The simulator's line, where scripts/run.sh puts it: the status bar shows
# this name, as a user trying the program sees it.
line=${XDG_RUNTIME_DIR:-/tmp}/ttyTIMER

# Starts the window on a fresh simulator; sets $win to its X window id.
start() {
  rm -f "$line"
  build/bin/timer-sim --link "$line" --mono 00:01:30 --on 00:00:10 --off 00:02:00 \
    --power-up on >/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$line" ] && break; sleep 0.1; done
  env "$@" build/bin/timer-rs232 --port "1=$line" &
  pids+=($!)
  win=""
  for _ in $(seq 50); do
    win=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "screenshots.sh: the window did not appear" >&2; exit 1; }
  xdotool windowmove "$win" 0 0
  sleep 0.5
}

# Clicks at window coordinates (pixels at scale factor 1).
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.3; }
stop() { xdotool windowkill "$win" 2>/dev/null || true; sleep 0.3; }
shot() { import -window "$win" "$out/$1"; echo "wrote $out/$1"; }

start
shot window.png
click 244 96         # Conectar
sleep 0.5
shot linked.png
click 40 124         # BIESTABLE
click 44 156         # horas_on
xdotool key ctrl+a type "01"
click 92 156         # minutos_on
xdotool key ctrl+a type "30"
click 40 256         # Apagado
shot bistable.png
stop

start QT_SCALE_FACTOR=2
shot window@2x.png
stop
