# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for timerctl: commands, options, Com numbers, configuration
# files after --from, inventories after plan and apply, device paths after
# --device; "-" for standard input or output after --from and --out.

_timerctl() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local commands="read upload fire scan plan apply"
  local options="--port --com --device --all --json --trace --echo --log --from --no-verify --mode --mono --on
    --off --power-up --plan --out --ca --pin --cert --key --help --version"
  COMPREPLY=()

  case $prev in
    --com)
      mapfile -t COMPREPLY < <(compgen -W "$(seq 1 16)" -- "$cur")
      return ;;
    --port)
      mapfile -t COMPREPLY < <(compgen -W "$(seq -f '%g=' 1 16)" -- "$cur")
      compopt -o nospace 2>/dev/null
      return ;;
    --from | --out)
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
      compopt -o filenames 2>/dev/null
      return ;;
    plan | apply)
      # The inventory, unless an option comes first.
      if [[ $cur != -* ]]; then
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
        return
      fi ;;
    --log | --plan | --ca | --cert | --key)
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      compopt -o filenames 2>/dev/null
      return ;;
    --device)
      local devices
      devices=$(compgen -G '/dev/serial/by-id/*'; compgen -G '/dev/ttyS*'; compgen -G '/dev/ttyUSB*'
        compgen -G '/dev/ttyACM*')
      mapfile -t COMPREPLY < <(compgen -W "$devices tcp: rfc2217:// tls: rfc2217+tls://" -- "$cur")
      [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == @(tcp:|rfc2217://|tls:|rfc2217+tls://) ]] &&
        compopt -o nospace 2>/dev/null
      return ;;
    --mode)
      mapfile -t COMPREPLY < <(compgen -W "mono bi" -- "$cur")
      return ;;
    --power-up)
      mapfile -t COMPREPLY < <(compgen -W "on off" -- "$cur")
      return ;;
    --mono | --on | --off | --pin)
      # A time, HH:MM:SS, or a fingerprint: nothing to offer.
      return ;;
  esac

  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  local word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    [[ " $commands " == *" $word "* ]] && return
  done
  mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
}

complete -F _timerctl timerctl
