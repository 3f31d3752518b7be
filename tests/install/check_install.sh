#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the program installs and packages like any desktop program.
#   check_install.sh tree BUILD_DIR               install into a scratch prefix and validate it
#   check_install.sh debian SOURCE_DIR VERSION    build the Debian packages from a clean copy
#                                                 of the tracked files, check them, run from them
# Each mode works alone in its own scratch folder, removed on exit.
set -euo pipefail

mode=$1
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
  local build=$1 prefix=$scratch/prefix
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
  # man -L es finds the Spanish page below the prefix, and it is Spanish.
  ctl=$(MANWIDTH=80 MANPATH="$prefix/share/man" man -L es timerctl 2>/dev/null || true)
  for section in "SINOPSIS" "Modo de empleo|timerctl \[OPCIONES\] ORDEN" "ESTADO DE SALIDA"; do
    grep -Eq "$section" <<<"$ctl" || fail "timerctl(1) in Spanish lacks $section"
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
  for case in "timerctl |apply fire plan read scan upload" "timerctl --c|--ca --cert --com" "timerctl --mode |bi mono" \
    "timerctl --power-up o|off on" "timerctl --com 1|1 10 11 12 13 14 15 16" \
    "timerctl --port 1|10= 11= 12= 13= 14= 15= 16= 1=" "timerctl --device tc|tcp:" \
    "timerctl upload --from ha|hall.json" "timerctl upload --from |- hall.json" \
    "timerctl read --j|--json" "timerctl read r|" "timerctl --com 3 |apply fire plan read scan upload" \
    "timerctl plan ha|hall.json" "timerctl apply --pl|--plan" "timerctl plan x --out |- hall.json" \
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

check_debian() {
  local source=$1 version=$2 src=$scratch/src
  # A copy of the tracked files, as a clean checkout has them: no build folder
  # and none of the developer's other files reach the package.
  git -C "$source" rev-parse 2>/dev/null || { echo "not a git checkout: nothing to package" >&2; exit 77; }
  mkdir "$src"
  git -C "$source" ls-files -z | (cd "$source" && tar --null -T - -cf -) | tar -x -C "$src"

  # debian/changelog holds CHANGELOG.md's releases, with the source's version.
  local maintainer
  maintainer=$(sed -n 's/^Maintainer: //p' "$src/debian/control")
  cmake -DIN="$src/CHANGELOG.md" -DOUT="$scratch/changelog" -DPACKAGE=timer-rs232 "-DMAINTAINER=$maintainer" \
    -P "$src/packaging/debian_changelog.cmake"
  cmp -s "$scratch/changelog" "$src/debian/changelog" ||
    fail "debian/changelog differs from CHANGELOG.md (cmake --build build --target debian_changelog)"
  [ "$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)" = "$version" ] ||
    fail "debian/changelog's version is not $version"

  # The same tests run in the suite itself: here the package is what counts.
  (cd "$src" && quiet env DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -Pnocheck)

  # Debian's own checker, on the source and the binary packages: no error and no warning.
  local report
  if ! report=$(lintian --fail-on error,warning "$scratch"/timer-rs232_"$version"_*.changes 2>&1); then
    echo "$report" >&2
    fail "lintian reports errors or warnings"
  fi

  # PACKAGE;WHAT IT HOLDS besides its program, copyright and changelog;WHAT IT
  # DEPENDS ON besides its libraries, comma-separated;WHAT IT MUST NOT DEPEND ON
  local row pkg files needs forbidden path=$PATH
  for row in "timer-rs232;usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/icons/hicolor/48x48/apps/$id.png \
usr/share/man/man1/timer-rs232.1.gz;qt6-qpa-plugins,fonts-liberation2 | fonts-liberation;" \
    "timerctl;usr/share/man/man1/timerctl.1.gz usr/share/man/es/man1/timerctl.1.gz \
usr/share/bash-completion/completions/timerctl \
usr/share/zsh/vendor-completions/_timerctl usr/share/fish/vendor_completions.d/timerctl.fish \
usr/share/ansible/plugins/modules/timerctl.py;;libqt6widgets6 libqt6gui6" \
    "timer-sim;usr/share/man/man1/timer-sim.1.gz;;libqt6widgets6 libqt6gui6 libqt6network6"; do
    IFS=';' read -r pkg files needs forbidden <<<"$row"
    local deb=$scratch/${pkg}_${version}_$(dpkg --print-architecture).deb root=$scratch/root/$pkg
    [ -f "$deb" ] || { fail "no $pkg package"; continue; }
    mkdir -p "$root" && dpkg -x "$deb" "$root"
    path=$root/usr/bin:$path
    [ "$(ls "$root/usr/bin")" = "$pkg" ] || fail "$pkg holds the programs $(ls "$root/usr/bin" | paste -sd' ')"
    for f in $files "usr/share/doc/$pkg/copyright" "usr/share/doc/$pkg/changelog.gz"; do
      [ -e "$root/$f" ] || fail "$pkg lacks /$f"
    done

    local depends names item lib items
    depends=$(dpkg-deb -f "$deb" Depends)
    names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*//; s/|.*//; s/ //g')
    IFS=, read -ra items <<<"$needs"
    for item in "${items[@]}"; do
      [[ ", $depends," == *", $item,"* ]] || fail "$pkg: Depends lacks '$item': $depends"
    done
    for item in $forbidden; do
      grep -qx "$item" <<<"$names" && fail "$pkg depends on $item: $depends"
    done
    # Every library the program links directly must come from a declared
    # dependency, or the package installs where it cannot start.
    for lib in $(objdump -p "$root/usr/bin/$pkg" | awk '/NEEDED/ {print $2}'); do
      local lpath owner
      lpath=$(ldd "$root/usr/bin/$pkg" | awk -v lib="$lib" '$1 == lib {print $3}')
      owner=$(package_of "$lpath") || { fail "$lib ($lpath) belongs to no package"; continue; }
      grep -qx "$owner" <<<"$names" || fail "$pkg links $lib from $owner, absent from Depends"
    done
  done

  # The packaged window starts with no display to lean on.
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$path" timer-rs232 --version) ||
    fail "timer-rs232 --version from the package failed"
  [ "$out" = "timer-rs232 $version" ] || fail "--version printed '$out'"

  # The packaged Ansible module documents itself, examples included.
  ansible-doc -M "$scratch/root/timerctl/usr/share/ansible/plugins/modules" timerctl 2>&1 |
    grep -q '^EXAMPLES' || fail "ansible-doc cannot show the packaged module"

  # The autopkgtests (debian/tests/control) on the unpacked programs, which
  # they take from PATH, as autopkgtest runs them on installed ones.
  local control=$src/debian/tests/control name cmd
  for name in $(sed -n 's/^Tests: *//p' "$control" | tr ',' ' '); do
    quiet env PATH="$path" "$src/debian/tests/$name"
  done
  while IFS= read -r cmd; do
    quiet env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$path" sh -c "$cmd"
  done < <(sed -n 's/^Test-Command: *//p' "$control")
}

case $mode in
  tree) check_tree "$2" ;;
  debian) check_debian "$2" "$3" ;;
  *) echo "usage: $0 tree BUILD_DIR | debian SOURCE_DIR VERSION" >&2; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all $mode checks passed"
