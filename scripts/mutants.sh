#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Breaks the program on purpose, one fault at a time, and tells which faults
# the tests catch. Each mutant of the list (tests/mutants.txt by default)
# replaces one text of one source file; the sources are copied to a scratch
# folder, built once, then rebuilt and tested per mutant with the unit,
# widget, simulator and end-to-end tests. Not part of the test command: it
# takes about 40 minutes on two cores.
#   scripts/mutants.sh [LIST] [NAME_REGEX]   (only the mutants whose name matches)
#   scripts/mutants.sh --check [LIST]        (only that each applies: its text
#                                             occurs once in its file; a test)
# Exit status: 0 when at least 90% are caught, 1 otherwise, 2 when the list
# or the unbroken sources are at fault.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true
cd "$(dirname "$0")/.."
check=false
[ "${1:-}" = --check ] && { check=true; shift; }
list=$(realpath "${1:-tests/mutants.txt}")
only=${2:-}
goal=90

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/src
build=$work/build
mkdir -p "$src"
if $check; then
  src=$PWD
else
  git ls-files -z | xargs -0 cp --parents -t "$src"
fi

build_and_test() {
  cmake --build "$build" >"$work/build.log" 2>&1 || return 2
  # The check of this list fails on every mutant, and so proves nothing here.
  ctest --test-dir "$build" -L 'unit|widgets|sim|e2e' -E '^mutants_list$' -j2 --stop-on-failure \
    >"$work/test.log" 2>&1 || return 1
}

if ! $check; then
  echo "mutants.sh: building and testing the unbroken sources in $work"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  if ! build_and_test; then
    echo "mutants.sh: the unbroken sources do not pass their own tests:" >&2
    tail -n 30 "$work/build.log" "$work/test.log" >&2
    exit 2
  fi
fi

# Replaces the one occurrence of $2 in file $1 with $3, literally; with
# --check, only says whether it could.
apply() {
  local file=$src/$1 content count
  [ -f "$file" ] || { echo "no file $1"; return 1; }
  content=$(<"$file")
  count=$(grep -cF -- "$2" "$file" || true)
  [ "$count" -eq 1 ] || { echo "\"$2\" occurs $count times in $1, not once"; return 1; }
  $check || printf '%s\n' "${content/"$2"/"$3"}" >"$file"
}

total=0
caught=0
survivors=()
name="" file="" find="" replace="" sees=""

run_one() {
  [ -n "$name" ] || return 0
  if [ -n "$only" ] && ! [[ "$name" =~ $only ]]; then name=""; return 0; fi
  local why
  $check || cp "$src/$file" "$work/original"
  if ! why=$(apply "$file" "$find" "$replace"); then
    echo "mutants.sh: mutant \"$name\": $why" >&2
    exit 2
  fi
  total=$((total + 1))
  if $check; then
    name=""
    return 0
  fi
  local status=0
  build_and_test || status=$?
  cp "$work/original" "$src/$file"
  case $status in
    0) survivors+=("$name: $sees"); printf 'SURVIVED  %s\n' "$name" ;;
    1) caught=$((caught + 1)); printf 'caught    %s  (%s)\n' "$name" \
         "$(grep -m1 -oE '[0-9]+ - [^ ]+ \(Failed|Timeout\)' "$work/test.log" || echo 'a test failed')" ;;
    *) echo "mutants.sh: mutant \"$name\" does not build:" >&2
       tail -n 20 "$work/build.log" >&2
       exit 2 ;;
  esac
  name=""
}

while IFS= read -r line || [ -n "$line" ]; do
  case $line in
    '#'* | '') ;;
    'mutant: '*) run_one; name=${line#mutant: } ;;
    'file: '*) file=${line#file: } ;;
    'find: '*) find=${line#find: } ;;
    'replace: '*) replace=${line#replace: } ;;
    'replace:') replace="" ;;
    'sees: '*) sees=${line#sees: } ;;
    *) echo "mutants.sh: cannot read this line of $list: $line" >&2; exit 2 ;;
  esac
done <"$list"
run_one
[ "$total" -gt 0 ] || { echo "mutants.sh: no mutant matched" >&2; exit 2; }
if $check; then
  echo "mutants.sh: each of the $total mutants applies"
  exit 0
fi
# Leave the scratch build in its unbroken state.
cmake --build "$build" >/dev/null 2>&1 || true

rate=$((100 * caught / total))
echo
echo "caught $caught of $total mutants ($rate%)"
if [ ${#survivors[@]} -gt 0 ]; then
  echo "survived:"
  printf '  %s\n' "${survivors[@]}"
fi
[ "$rate" -ge "$goal" ]
