#compdef timerctl
# SPDX-License-Identifier: GPL-3.0-or-later
# zsh completion for timerctl: the commands, options and values that the bash
# one (timerctl.bash) offers, with zsh's descriptions.

# Serial devices by their stable names first, then the kernel's; tcp: starts a
# device server's address.
_timerctl_devices() {
  local -a devices=(/dev/serial/by-id/*(N) /dev/ttyS*(N) /dev/ttyUSB*(N) /dev/ttyACM*(N))
  _wanted devices expl 'serial device' compadd -a devices
  _wanted addresses expl 'device server' compadd -S '' tcp:
}

# N= first, then what Com N designates.
_timerctl_port() {
  if compset -P '[0-9]##='; then
    _timerctl_devices
  else
    _wanted numbers expl 'Com number' compadd -S '' {1..16}=
  fi
}

_timerctl() {
  local time='time (HH\:MM\:SS, hours 00-99):'
  _arguments \
    '*--port[make Com N designate a device]:N=PATH:_timerctl_port' \
    '*--com[a Com number to use]:Com number:('"${(j: :)${(@)$(seq 1 16)}}"')' \
    '*--device[a device path or tcp\:HOST\:PORT]:device:_timerctl_devices' \
    '--all[every Com number that designates a device]' \
    '--json[one JSON object per device]' \
    '--trace[every byte sent and received, on standard error]' \
    '--from[a configuration file]:configuration file (- for standard input):{compadd -- -; _files}' \
    '--no-verify[skip the read-back after an upload]' \
    '--echo[the line echoes what is sent: drop the echo]' \
    '--log[append the programming record to a file]:record file:_files' \
    '--mode[the timer mode]:mode:(mono bi)' \
    "--mono[the monostable time]:$time" \
    "--on[the bistable ON time]:$time" \
    "--off[the bistable OFF time]:$time" \
    '--power-up[the output state at power-up]:state:(on off)' \
    '--plan[apply a plan kept with --out]:plan file:_files' \
    '--out[keep the plan in a file]:plan file (- for standard output):{compadd -- -; _files}' \
    '--ca[trust the device servers an authority in this file signed]:CA file:_files' \
    '--pin[trust the device server with this SHA-256 fingerprint]:fingerprint:' \
    '--cert[the client certificate]:certificate file:_files' \
    '--key[the client certificate'"'"'s key]:key file:_files' \
    '(- *)'{-h,--help}'[show the help]' \
    '(- *)--version[show the version]' \
    '1:command:((read\:"print the configuration" upload\:"send a configuration, then verify it"
      fire\:"fire the timer" scan\:"find which Com numbers have a timer"
      plan\:"say what an inventory would change" apply\:"write an inventory where it differs"))' \
    '2:inventory:_files'
}

_timerctl "$@"
