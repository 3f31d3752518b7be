#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# pyserial's RFC 2217 server example, from Debian's python3-serial, in front of
# a pseudo-terminal: a pseudo-terminal has no modem lines, so the calls that
# set or read them do nothing here; the protocol is the example's own.
#   pyserial_rfc2217.py DEVICE -p TCPPORT
import runpy
import sys

import serial

EXAMPLE = "/usr/share/doc/python3-serial/examples/rfc2217_server.py"

for setter in ("_update_dtr_state", "_update_rts_state"):
    setattr(serial.Serial, setter, lambda self: None)
for line in ("cts", "dsr", "ri", "cd"):
    setattr(serial.Serial, line, property(lambda self: False))

# Its log, "TCP/IP port: N" once it serves, goes where the tests read it.
sys.stderr = sys.stdout
sys.argv = [EXAMPLE] + sys.argv[1:]
runpy.run_path(EXAMPLE, run_name="__main__")
