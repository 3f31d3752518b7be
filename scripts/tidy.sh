#!/usr/bin/env bash
# Runs clang-tidy (configuration: .clang-tidy) over the project's own sources,
# using the compile commands of a build folder:  scripts/tidy.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/compile_commands.json" ] || { echo "tidy.sh: no $build/compile_commands.json" >&2; exit 2; }

files=$(git ls-files 'app/*.cpp' 'link/*.cpp' 'commands/*.cpp' 'settings/*.cpp' 'sim/*.cpp' \
  'tests/*.cpp' 'bench/*.cpp' | grep -v '^tests/fuzz/')
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet >"$out" 2>/dev/null || true
if grep -E "(warning|error):" "$out"; then
  echo "tidy.sh: clang-tidy found the problems above" >&2
  exit 1
fi
echo "clang-tidy: $(printf '%s\n' $files | wc -l) files clean"
