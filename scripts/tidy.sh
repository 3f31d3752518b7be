#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy (configuration: .clang-tidy) over the project's own sources,
# using the compile commands of a build folder:  scripts/tidy.sh [BUILD_DIR]
# Fails when clang-tidy is missing, crashes, or finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/compile_commands.json" ] || { echo "tidy.sh: no $build/compile_commands.json" >&2; exit 2; }
command -v clang-tidy >/dev/null || { echo "tidy.sh: clang-tidy is not installed" >&2; exit 2; }

# Every source file; the fuzz targets build only with clang's fuzzer flags.
mapfile -t files < <(git ls-files '*.cpp' | grep -v '^tests/fuzz/')
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Each clang-tidy's exit status counts: xargs returns non-zero when any did.
status=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
  >"$out" 2>&1 || status=$?
if grep -E "(warning|error):" "$out"; then
  echo "tidy.sh: clang-tidy found the problems above" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  cat "$out" >&2
  echo "tidy.sh: clang-tidy failed (exit status $status)" >&2
  exit 1
fi
echo "clang-tidy: ${#files[@]} files clean"
