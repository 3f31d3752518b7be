# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for timerctl: the commands, options and values that the bash
# one (timerctl.bash) offers, with fish's descriptions.

# Serial devices by their stable names first, then the kernel's; tcp: starts a
# device server's address. (A for loop drops the patterns that match nothing.)
function __timerctl_devices
    for device in /dev/serial/by-id/* /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*
        echo $device
    end
    echo tcp:
end

# N= first, then what Com N designates.
function __timerctl_port
    set -l number (string match -r '^[0-9]+=' -- (commandline -ct))
    if test -n "$number"
        for device in (__timerctl_devices)
            echo $number$device
        end
    else
        seq -f '%g=' 1 16
    end
end

set -l commands read upload fire scan plan apply
# No file names except after --from, --log, --plan, --out, plan and apply.
complete -c timerctl -f
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a read -d 'Print the configuration'
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a upload -d 'Send a configuration, then verify it'
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a fire -d 'Fire the timer'
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a scan -d 'Find which Com numbers have a timer'
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a plan -d 'Say what an inventory would change'
complete -c timerctl -n "not __fish_seen_subcommand_from $commands" -a apply -d 'Write an inventory where it differs'
complete -c timerctl -n "__fish_seen_subcommand_from plan apply" -F

complete -c timerctl -l port -x -a '(__timerctl_port)' -d 'Make Com N designate a device'
complete -c timerctl -l com -x -a '(seq 1 16)' -d 'A Com number to use'
complete -c timerctl -l device -x -a '(__timerctl_devices)' -d 'A device path or tcp:HOST:PORT'
complete -c timerctl -l all -d 'Every Com number that designates a device'
complete -c timerctl -l json -d 'One JSON object per device'
complete -c timerctl -l trace -d 'Every byte sent and received, on standard error'
complete -c timerctl -l from -r -a - -d 'A configuration file (- for standard input)'
complete -c timerctl -l no-verify -d 'Skip the read-back after an upload'
complete -c timerctl -l echo -d 'The line echoes what is sent: drop the echo'
complete -c timerctl -l log -r -F -d 'Append the programming record to FILE'
complete -c timerctl -l mode -x -a 'mono bi' -d 'The timer mode'
complete -c timerctl -l mono -x -d 'The monostable time, HH:MM:SS'
complete -c timerctl -l on -x -d 'The bistable ON time, HH:MM:SS'
complete -c timerctl -l off -x -d 'The bistable OFF time, HH:MM:SS'
complete -c timerctl -l power-up -x -a 'on off' -d 'The output state at power-up'
complete -c timerctl -l plan -r -F -d 'Apply a plan kept with --out'
complete -c timerctl -l out -r -F -a - -d 'Keep the plan in PLANFILE (- for standard output)'
complete -c timerctl -l ca -r -F -d 'Trust device servers an authority in FILE signed'
complete -c timerctl -l pin -x -d 'Trust the device server with this SHA-256 fingerprint'
complete -c timerctl -l cert -r -F -d 'The client certificate'
complete -c timerctl -l key -r -F -d 'The client certificate\'s key'
complete -c timerctl -s h -l help -d 'Show the help'
complete -c timerctl -l version -d 'Show the version'
