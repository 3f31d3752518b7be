#!/usr/bin/env bash
# Takes the README's screenshot of the window under a private X server:
#   scripts/screenshot.sh [OUTPUT.png]   (default docs/window.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/window.png}

if [ -z "${SCREENSHOT_INNER:-}" ]; then
  exec env SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" "$0" "$out"
fi

build/bin/timer-rs232 --port 1=/dev/null-no-device &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT
id=""
for _ in $(seq 50); do
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Varnelta   - TIMER RS232 -"/ && / 337x304/ {print $1; exit}')
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "screenshot.sh: the window did not appear" >&2; exit 1; }
sleep 0.5
import -window "$id" "$out"
echo "wrote $out"
