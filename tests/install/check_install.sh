#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the program installs and packages like any desktop program.
#   check_install.sh tree BUILD_DIR            install into a scratch prefix and validate it
#   check_install.sh deb  BUILD_DIR VERSION    build the .deb, check it and run from it
# Each mode works alone in its own scratch folder, removed on exit.
set -euo pipefail

mode=$1
build=$2
id=io.github.timer_rs232.TimerRS232
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/timer-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs a command quietly, showing its output only when it fails.
quiet() {
  local log=$scratch/log
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "FAIL: $*" >&2
    exit 1
  fi
}

# Width and height stored in a PNG's header, as WxH.
png_size() {
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
  echo "${w}x${h}"
}

check_tree() {
  local prefix=$scratch/prefix
  quiet cmake --install "$build" --prefix "$prefix"

  for bin in timer-rs232 timerctl timer-sim; do
    [ -x "$prefix/bin/$bin" ] || fail "bin/$bin is not installed"
  done

  local desktop=$prefix/share/applications/$id.desktop
  local metainfo=$prefix/share/metainfo/$id.metainfo.xml
  if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    # The launcher must start an installed program and name the installed icon.
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$prefix/bin/$exec" ] || fail "Exec=$exec is not an installed program"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ "$icon" = "$id" ] || fail "Icon=$icon, expected $id"
  else
    fail "share/applications/$id.desktop is not installed"
  fi

  if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
    # Software centres find the launcher and the command through these two names.
    local launchable binary
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    [ -f "$prefix/share/applications/$launchable" ] ||
      fail "launchable $launchable is not an installed desktop entry"
    for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
      [ -x "$prefix/bin/$binary" ] || fail "provided binary $binary is not installed"
    done
  else
    fail "share/metainfo/$id.metainfo.xml is not installed"
  fi

  # Each program has a manual page that man shows, with what its help says.
  for bin in timer-rs232 timerctl timer-sim; do
    local page=$prefix/share/man/man1/$bin.1.gz
    if [ -f "$page" ]; then
      local shown
      shown=$(MANWIDTH=80 man -l "$page" 2>/dev/null) || fail "man -l $page failed"
      grep -q -- "--help" <<<"$shown" || fail "$bin(1) does not show the options"
    else
      fail "share/man/man1/$bin.1.gz is not installed"
    fi
  done
  local ctl
  ctl=$(MANWIDTH=80 man -l "$prefix/share/man/man1/timerctl.1.gz" 2>/dev/null || true)
  for section in "EXIT STATUS" "CONFIGURATION FILE" "power_up"; do
    grep -q "$section" <<<"$ctl" || fail "timerctl(1) lacks $section"
  done

  # Each shell finds timerctl's completion where it looks (XDG_DATA_DIRS and
  # fpath stand for the prefix; fish loads it only for a command on PATH), and
  # completes commands, options and values. LINE|OFFERED, C-sorted|SHELLS (all three
  # when empty).
  local share=$prefix/share f line expected shells shell got
  for f in bash-completion/completions/timerctl zsh/vendor-completions/_timerctl \
    fish/vendor_completions.d/timerctl.fish; do
    [ -f "$share/$f" ] || fail "share/$f is not installed"
  done
  mkdir "$scratch/cwd" && touch "$scratch/cwd/hall.json"
  for case in "timerctl |fire read scan upload" "timerctl --c|--com" "timerctl --mode |bi mono" \
    "timerctl --power-up o|off on" "timerctl --com 1|1 10 11 12 13 14 15 16" \
    "timerctl --port 1|10= 11= 12= 13= 14= 15= 16= 1=" "timerctl --device tc|tcp:" \
    "timerctl upload --from ha|hall.json" "timerctl upload --from |- hall.json" \
    "timerctl read --j|--json" "timerctl read r|" "timerctl --com 3 |fire read scan upload" \
    "timerctl --mono |" "timerctl --port 2=tc|2=tcp:|zsh fish" "timerctl read ||bash fish"; do
    IFS='|' read -r line expected shells <<<"$case"
    for shell in ${shells:-bash zsh fish}; do
      got=$(cd "$scratch/cwd" && "complete_$shell" "$line") || { fail "$shell cannot complete '$line'"; continue; }
      [ "$got" = "$expected" ] || fail "$shell completes '$line' with '$got', expected '$expected'"
    done
  done
  [ -f "$prefix/share/doc/timer-rs232/copyright" ] || fail "the copyright file is not installed"

  local hicolor=$prefix/share/icons/hicolor
  [ -s "$hicolor/scalable/apps/$id.svg" ] || fail "scalable icon is not installed"
  for size in 16 32 48 64 128; do
    local png=$hicolor/${size}x${size}/apps/$id.png
    if [ -f "$png" ]; then
      # A re-render gone wrong would put a picture of the wrong size in the folder.
      [ "$(png_size "$png")" = "${size}x${size}" ] ||
        fail "$png is $(png_size "$png"), expected ${size}x${size}"
    else
      fail "${size}x${size} icon is not installed"
    fi
  done
}

# What each shell offers for a command line typed so far, C-sorted on one line,
# with the completions installed below $share.
words() { sed '/^$/d' | LC_ALL=C sort -u | paste -sd' '; }
complete_bash() {
  XDG_DATA_DIRS=$share bash -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion timerctl || exit 1
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _timerctl
    printf "%s\n" "${COMPREPLY[@]}"' _ "$1" | words
}
complete_zsh() { zsh -f "$here/zsh_complete.zsh" "$share/zsh/vendor-completions" "$1" | words; }
complete_fish() {
  HOME=$scratch PATH=$share/../bin:$PATH XDG_DATA_DIRS=$share fish -c 'complete -C $argv[1]' "$1" |
    cut -f1 | words
}

# The Debian package owning a library path; usrmerge lists some under /lib only.
package_of() {
  local path=$1 real
  real=$(readlink -f "$path")
  for p in "$path" "$real" "${path#/usr}" "${real#/usr}" "/usr$path" "/usr$real"; do
    dpkg -S "$p" 2>/dev/null | sed -n '1s/:.*//p' | grep . && return 0
  done
  return 1
}

check_deb() {
  local version=$1
  quiet cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out"
  local debs=("$scratch"/out/timer-rs232_*.deb)
  [ -f "${debs[0]}" ] || { fail "cpack made no timer-rs232_*.deb"; return; }
  local deb=${debs[0]}

  [ "$(dpkg-deb -f "$deb" Package)" = timer-rs232 ] || fail "Package is not timer-rs232"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"
  [ "$(dpkg-deb -f "$deb" Section)" = electronics ] || fail "Section is not electronics"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  [ -n "$depends" ] || fail "no Depends field"
  local names
  names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*//; s/|.*//; s/ //g')
  for p in qt6-qpa-plugins fonts-liberation2; do
    grep -qx "$p" <<<"$names" || fail "Depends lacks $p"
  done

  # Debian's own checker: no error and no warning.
  local report
  if ! report=$(lintian --fail-on error,warning "$deb" 2>&1); then
    echo "$report" >&2
    fail "lintian reports errors or warnings"
  fi

  local root=$scratch/root
  dpkg -x "$deb" "$root"
  for f in usr/bin/timer-rs232 usr/bin/timerctl usr/bin/timer-sim "usr/share/applications/$id.desktop" \
    usr/share/man/man1/timerctl.1.gz usr/share/man/man1/timer-rs232.1.gz \
    usr/share/doc/timer-rs232/copyright usr/share/doc/timer-rs232/changelog.gz \
    usr/share/bash-completion/completions/timerctl \
    "usr/share/metainfo/$id.metainfo.xml" "usr/share/icons/hicolor/scalable/apps/$id.svg"; do
    [ -e "$root/$f" ] || fail "the package lacks /$f"
  done

  # Every library the programs link directly must come from a declared dependency,
  # or the package installs on a machine where it cannot start.
  for bin in "$root"/usr/bin/*; do
    for lib in $(objdump -p "$bin" | awk '/NEEDED/ {print $2}'); do
      local path pkg
      path=$(ldd "$bin" | awk -v lib="$lib" '$1 == lib {print $3}')
      pkg=$(package_of "$path") || { fail "$lib ($path) belongs to no package"; continue; }
      grep -qx "$pkg" <<<"$names" || fail "$(basename "$bin") links $lib from $pkg, absent from Depends"
    done
  done

  # Runs the packaged program, not the build tree's, with no display to lean on.
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/timer-rs232" --version) ||
    fail "timer-rs232 --version from the package failed"
  [ "$out" = "timer-rs232 $version" ] || fail "--version printed '$out'"
}

case $mode in
  tree) check_tree ;;
  deb) check_deb "$3" ;;
  *) echo "usage: $0 tree|deb BUILD_DIR [VERSION]" >&2; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all $mode checks passed"
