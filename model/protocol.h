// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "model/window_model.h"

// What travels on the line, and how the line is set. Every command is one
// short ASCII string written in one piece; an answer is a capital letter
// found anywhere in what the device sent during the wait.

// The link probe "Y": the device answers with its configuration and a "Y".
inline constexpr char kProbe[] = "Y";
inline constexpr char kProbeAnswer[] = "Y";
// The handshake's reply text starts with a blank, so the device's first
// character stands at position 2.
inline constexpr char kProbeReplyStart[] = " ";

// The activation "E", answered by any text holding an "E".
inline constexpr char kFire[] = "E";
inline constexpr char kFireAnswer[] = "E";
inline constexpr char kFireReplyStart[] = " ";

// The configuration string: the mode letter, the nine times in device order,
// the power-up flag. Either letter acknowledges either mode.
inline constexpr char kMonostableLetter = 'T';
inline constexpr char kBistableLetter = 'S';
inline constexpr char kUploadAnswers[] = "ST";
inline constexpr char kUploadReplyStart[] = "";
inline constexpr char kPowerUpOn = '1';
inline constexpr char kPowerUpOff = '0';

// The nine time fields in the order the device reads them back and takes them
// in a configuration: seconds, minutes, hours of the monostable, ON and OFF times.
inline constexpr std::array<Ctl, 9> kDeviceFieldOrder = {
    Ctl::segundos, Ctl::minutos,      Ctl::horas,       Ctl::segundos_on, Ctl::minutos_on,
    Ctl::horas_on, Ctl::segundos_off, Ctl::minutos_off, Ctl::horas_off,
};

// The read-back: field i (device order) starts at 1-based position
// kFirstFieldPosition + i * kTimeWidth of the reply text; the power-up flag is
// the next-to-last character of the whole reply text, wherever the "Y" stands.
inline constexpr int kFirstFieldPosition = 2;
inline constexpr int kTimeWidth = 2;
inline constexpr int kPowerUpFlagFromEnd = 2;

// The only line settings the program uses.
inline constexpr char kLineSettings[] = "2400,N,8,1";

// Com1 .. Com16.
inline constexpr int kPortCount = 16;

// The serial port's receive buffer, in bytes.
inline constexpr int kReceiveBufferSize = 1024;
