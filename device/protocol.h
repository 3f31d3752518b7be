// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

// What travels on the line, and how the line is set. Every command is one
// short ASCII string written in one piece; an answer is a capital letter
// found anywhere in what the device sent during the wait.

// The only line settings the device speaks: 2400 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr LineSettings kLineSettings{2400, QSerialPort::NoParity, QSerialPort::Data8,
                                            QSerialPort::OneStop};

// The link probe "Y": the device answers with its read-back and a "Y".
inline constexpr char kProbe[] = "Y";
inline constexpr char kProbeAnswer[] = "Y";
// The window's reply text starts with a blank, so the device's first
// character stands at position 2.
inline constexpr char kProbeReplyStart[] = " ";

// The activation "E", answered by any text holding an "E".
inline constexpr char kFire[] = "E";
inline constexpr char kFireAnswer[] = "E";
inline constexpr char kFireReplyStart[] = " ";

// The configuration string: the mode letter, then what the device reads back.
// Either letter acknowledges either mode.
inline constexpr char kMonostableLetter = 'T';
inline constexpr char kBistableLetter = 'S';
inline constexpr char kUploadAnswers[] = "ST";
inline constexpr char kUploadReplyStart[] = "";

// The read-back: the three times (monostable, ON, OFF), each as seconds,
// minutes and hours of two characters, then the power-up flag.
inline constexpr qsizetype kTimeWidth = 2;
inline constexpr int kReadBackLength = 19;
inline constexpr char kPowerUpOn = '1';
inline constexpr char kPowerUpOff = '0';
