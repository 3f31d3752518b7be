# SPDX-License-Identifier: GPL-3.0-or-later
# An Ansible module that runs the host's timerctl: plan in check mode, apply
# otherwise. It reads only what timerctl --json says and never speaks the
# timers' protocol itself.

import json
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule

DOCUMENTATION = r'''
module: timerctl
short_description: Program a plant's RS-232 timer devices with timerctl
description:
  - Runs the host's C(timerctl) over an inventory of timer devices, one JSON
    object per line, each naming a device and what it should hold (see
    C(man timerctl)).
  - In check mode it plans (C(timerctl plan)) and writes nothing; otherwise it
    applies (C(timerctl apply)), writing only the devices whose times or
    power-up differ, each verified by reading it back.
  - C(changed) is true exactly when a device was, or in check mode would be,
    written. With C(--diff), each such device shows what it holds and what it
    will hold, the mode that will be written included.
  - A device that fails makes the task fail on that host, with each device's
    result and reason in C(devices).
version_added: "0.2.0"
author: timer-rs232 developers
options:
  inventory:
    description: An inventory file on the host.
    type: path
  entries:
    description:
      - The inventory's entries inline, each a mapping as an inventory line
        holds it (C(device), C(com) or C(serial_number), and C(mono), C(on),
        C(off), C(power_up), C(mode)).
    type: list
    elements: dict
  plan:
    description:
      - A plan kept on the host with C(timerctl plan --out), applied instead
        of an inventory. A device that holds something else than the plan
        saw, or is not the device planned, is not written.
    type: path
  record:
    description: The programming record to append to (C(timerctl --log)).
    type: path
  echo:
    description: The lines echo what is sent (an RS-485 converter with echo).
    type: bool
    default: false
  timerctl:
    description: The timerctl to run.
    type: path
    default: timerctl
notes:
  - Runs on the host the timers hang off; the inventory, the plan and the
    record are files of that host.
  - Supports check mode and diff mode.
'''

EXAMPLES = r'''
- name: The hall's timers hold what the plant says
  timerctl:
    inventory: /etc/timer-rs232/hall3.jsonl
    record: /var/log/timer-rs232/record.jsonl

- name: Timers given inline
  timerctl:
    entries:
      - {com: 1, mono: "00:01:30", power_up: "on"}
      - {serial_number: A50285BI, mode: bi, "on": "00:20:00", "off": "02:00:00"}

- name: A plan kept earlier on the host, applied
  timerctl:
    plan: /var/lib/timer-rs232/plan.jsonl
'''

RETURN = r'''
devices:
  description: What timerctl said of each device, one object each, in order.
  returned: always
  type: list
  elements: dict
  sample: [{"port": "Com1 /dev/ttyUSB0", "result": "unchanged"}]
exit_code:
  description: timerctl's exit code (5 when a plan found something to write).
  returned: always
  type: int
'''

WRITTEN = ('differs', 'programmed')
FINE = ('ok', 'unchanged') + WRITTEN
FIELDS = ('mono', 'on', 'off', 'power_up', 'mode')


def command(params, check_mode, inventory):
    run = [params['timerctl'], '--json']
    if params['echo']:
        run.append('--echo')
    if params['record'] and not check_mode:
        run += ['--log', params['record']]
    if check_mode:
        return run + ['plan', params['plan'] or inventory]
    if params['plan']:
        return run + ['apply', '--plan', params['plan']]
    return run + ['apply', inventory]


def shown(configuration):
    return ''.join('%s: %s\n' % (key, configuration[key])
                   for key in FIELDS if key in configuration)


def difference(device):
    # A plan says what the device held and what the file wants; an apply,
    # what it held and what was sent.
    before = device.get('held') or device.get('before') or {}
    after = dict(before)
    after.update(device.get('sent') or device.get('configuration') or {})
    after.setdefault('mode', 'mono')
    return {'before_header': device['port'], 'after_header': device['port'],
            'before': shown(before), 'after': shown(after)}


def main():
    module = AnsibleModule(
        argument_spec=dict(
            inventory=dict(type='path'),
            entries=dict(type='list', elements='dict'),
            plan=dict(type='path'),
            record=dict(type='path'),
            echo=dict(type='bool', default=False),
            timerctl=dict(type='path', default='timerctl'),
        ),
        mutually_exclusive=[('inventory', 'entries', 'plan')],
        required_one_of=[('inventory', 'entries', 'plan')],
        supports_check_mode=True,
    )
    params = module.params
    inventory = params['inventory']
    if params['entries'] is not None:
        handle, inventory = tempfile.mkstemp(suffix='.jsonl')
        with os.fdopen(handle, 'w') as lines:
            lines.writelines(json.dumps(entry) + '\n' for entry in params['entries'])
        module.add_cleanup_file(inventory)

    rc, out, err = module.run_command(command(params, module.check_mode, inventory))
    devices = [json.loads(line) for line in out.splitlines() if line.strip()]
    result = dict(changed=any(d.get('result') in WRITTEN for d in devices),
                  devices=devices, exit_code=rc, stderr=err)
    if module._diff:
        result['diff'] = [difference(d) for d in devices if d.get('result') in WRITTEN]
    failed = [d for d in devices if d.get('result') not in FINE]
    if failed or not devices:
        said = '; '.join('%s: %s%s' % (d.get('port'), d.get('result'),
                                       ' (%s)' % d['reason'] if 'reason' in d else '')
                         for d in failed)
        module.fail_json(msg=said or (err.strip().splitlines() or ['timerctl failed'])[0],
                         **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
