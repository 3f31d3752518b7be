#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings timerctl's Spanish translation source up to date with the code: new
# texts come in unfinished, for a translator to fill in. With --check, works on
# a copy and fails when a text people read has no Spanish translation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
ts=$root/cli/translations/timerctl_es.ts
check=false
[ "${1:-}" = --check ] && check=true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if $check; then
  cp "$ts" "$work/"
  ts=$work/$(basename "$ts")
fi
# timerctl's sources and the floors below it; the window speaks its own words.
# lupdate's notes on code it need not understand are said only when it fails.
if ! "$lupdate" -silent -locations none -no-obsolete -target-language es -extensions cpp,h \
  "$root/base" "$root/link" "$root/device" "$root/cli" -ts "$ts" 2>"$work/lupdate.log"; then
  cat "$work/lupdate.log" >&2
  exit 1
fi

if $check && grep -q 'type="unfinished"' "$ts"; then
  echo "texts with no Spanish translation (run scripts/translations.sh and translate them):" >&2
  grep -B2 'type="unfinished"' "$ts" | grep '<source>' | sed 's/^ */  /' >&2
  exit 1
fi
exit 0
