// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/font_warmup.h"

#include <fontconfig/fontconfig.h>

FontConfigWarmUp::FontConfigWarmUp() : m_thread([] { FcInit(); }) {}

FontConfigWarmUp::~FontConfigWarmUp() {
  finish();
}

void FontConfigWarmUp::finish() {
  if (m_thread.joinable()) m_thread.join();
}
