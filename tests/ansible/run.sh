#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Ansible module over two halls, each a host (ansible_connection=local)
# with its own simulated timers: check mode with diff writes nothing; a run
# writes and verifies; a second run changes nothing; a failing device fails
# its host alone; the hosts run at once; a bad argument is named.
#   run.sh TIMER_SIM TIMERCTL MODULE_DIR
set -euo pipefail
sim=$(realpath "$1") timerctl=$(realpath "$2") here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$work/last" >&2 2>/dev/null || true; exit 1; }

# Four timers, holding mono 00:00:01; two a hall.
paths=()
for i in 1 2 3 4; do
  "$sim" --instant --mono 00:00:01 >"$work/sim$i.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/sim$i.out" ] && break; sleep 0.1; done
  paths+=("$(head -n1 "$work/sim$i.out")")
done
mono() { "$timerctl" --device "$1" read | sed -n 's/^mono: //p'; }

# Each hall's timerctl waits for the other hall's to start: the run goes on
# only when the hosts run at once.
for hall in hall1 hall2; do
  other=$([ $hall = hall1 ] && echo hall2 || echo hall1)
  cat >"$work/timerctl-$hall" <<WRAPPER
#!/bin/sh
touch "$work/started-$hall"
for i in \$(seq 200); do [ -e "$work/started-$other" ] && exec "$timerctl" "\$@"; sleep 0.05; done
echo "the other hall never started" >&2; exit 1
WRAPPER
  chmod +x "$work/timerctl-$hall"
done
inventory() { # HALL FIRST SECOND [MORE]
  printf '{"device":"%s","mono":"00:01:30"}\n{"device":"%s","mono":"00:02:30","mode":"bi"}\n%s' \
    "$2" "$3" "${4:-}" >"$work/$1.jsonl"
}
inventory hall1 "${paths[0]}" "${paths[1]}"
inventory hall2 "${paths[2]}" "${paths[3]}"
cat >"$work/hosts.ini" <<HOSTS
[halls]
hall1 plant=$work/hall1.jsonl timerctl_program=$work/timerctl-hall1
hall2 plant=$work/hall2.jsonl timerctl_program=$work/timerctl-hall2
[halls:vars]
ansible_connection=local
ansible_python_interpreter=/usr/bin/python3
record=$work/record.jsonl
HOSTS
export ANSIBLE_LIBRARY=$(realpath "$3") ANSIBLE_FORKS=2 ANSIBLE_NOCOLOR=1 ANSIBLE_LOCAL_TEMP=$work/tmp \
  ANSIBLE_REMOTE_TEMP=$work/tmp ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_DEPRECATION_WARNINGS=0
play() { rm -f "$work"/started-*; ansible-playbook -i "$work/hosts.ini" "$@" >"$work/last" 2>&1; }
recap() { grep -Eq "^$1 +: ok=[0-9]+ +changed=$2 .*failed=$3 " "$work/last"; }

play "$here/playbook.yml" --check --diff || fail "check mode"
recap hall1 1 0 && recap hall2 1 0 || fail "check mode reports no change"
grep -q '^+mode: bi' "$work/last" && grep -q '^+mono: 00:02:30' "$work/last" || fail "no diff"
[ "$(mono "${paths[1]}")" = 00:00:01 ] || fail "check mode wrote a device"

play "$here/playbook.yml" --diff || fail "the run"
recap hall1 1 0 && recap hall2 1 0 || fail "the run reports no change"
grep -q '^-mono: 00:00:01' "$work/last" && grep -q '^+mode: bi' "$work/last" || fail "the run shows no diff"
[ "$(mono "${paths[1]}")" = 00:02:30 ] && [ "$(mono "${paths[2]}")" = 00:01:30 ] ||
  fail "the run did not write the devices"

play "$here/playbook.yml" || fail "the second run"
recap hall1 0 0 && recap hall2 0 0 || fail "the second run changed something"

inventory hall2 "${paths[2]}" "${paths[3]}" '{"device":"/dev/no-such-timer","mono":"00:00:09"}'
play "$here/playbook.yml" && fail "a failing device did not fail its host"
recap hall1 0 0 && recap hall2 0 1 || fail "a failing device failed another host"
grep -q '/dev/no-such-timer: port unavailable' "$work/last" || fail "the device's reason is missing"

play "$here/bad_argument.yml" && fail "a bad argument was taken"
grep -q 'recrod' "$work/last" || fail "the bad argument is not named"
echo "ansible: check, run, rerun, a failing device, hosts at once, a bad argument"
