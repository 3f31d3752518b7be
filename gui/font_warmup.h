// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

// Reads the system's font configuration on a second thread, the longest step
// of a start: Qt reads it at the window's first font lookup, after it has
// connected to the display, which this lets happen meanwhile. finish() must
// come before any font is asked for, as two first readings would each read it all.
class FontConfigWarmUp {
 public:
  FontConfigWarmUp();
  ~FontConfigWarmUp();
  FontConfigWarmUp(const FontConfigWarmUp&) = delete;
  FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

  void finish();

 private:
  std::thread m_thread;
};
