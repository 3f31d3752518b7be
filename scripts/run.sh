#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the window and the simulator (nothing else: the tests are
# scripts/test.sh's) and starts the window on a simulated timer device: Com1
# reaches the simulator. Extra arguments go to timer-sim (e.g. --mono 00:01:30 --silent).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display to show the window on (DISPLAY is not set)." >&2
  echo "        Run it from a desktop session, or as: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The same tree as scripts/test.sh's, so a later test run reuses these objects.
cmake --build build --target timer-rs232 timer-sim

# A stable name for the simulator's line, which the status bar shows.
line=${XDG_RUNTIME_DIR:-/tmp}/ttyTIMER
line_dir=$(mktemp -d)
build/bin/timer-sim --link "$line" "$@" >"$line_dir/sim.log" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$line_dir"' EXIT
for _ in $(seq 50); do [ -e "$line" ] && break; sleep 0.1; done
[ -e "$line" ] || { echo "run.sh: the simulator did not start:" >&2; cat "$line_dir/sim.log" >&2; exit 1; }

echo "Simulated timer on Com1 ($line); its log: $line_dir/sim.log"
build/bin/timer-rs232 --port "1=$line"
