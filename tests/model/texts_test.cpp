// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's words, written out once: every other test names a message
// by its constant, so a word changed in the program fails here.

#include <gtest/gtest.h>

#include <ostream>

#include "model/texts.h"
#include "support/named_case.h"

namespace {

struct TextCase {
  const char* name;
  const Message* message;
  const char* title;
  const char* prompt;
  MsgIcon icon;
};

TIMER_NAMED_CASE(TextCase)

class Messages : public ::testing::TestWithParam<TextCase> {};

TEST_P(Messages, AreTheOperatorsWords) {
  const TextCase& c = GetParam();
  EXPECT_STREQ(c.message->title, c.title);
  EXPECT_STREQ(c.message->prompt, c.prompt);
  EXPECT_EQ(c.message->icon, c.icon);
}

// The two link messages' titles differ only in the accent, and both are meant.
INSTANTIATE_TEST_SUITE_P(
    Texts, Messages,
    ::testing::Values(TextCase{"NoDevice", &kNoDevice, "Conexion del TIMER",
                               "El dispositivo no se encuentra", MsgIcon::Error},
                      TextCase{"PortUnavailable", &kPortUnavailable, "Conexión del TIMER",
                               "El puerto no esta disponible", MsgIcon::Error},
                      TextCase{"HoursRange", &kHoursRange, "Configuración del TIMER",
                               "El valor debe estar entre 0 y 99", MsgIcon::Error},
                      TextCase{"MinutesSecondsRange", &kMinutesSecondsRange,
                               "Configuración del TIMER", "El valor debe estar entre 0 y 59",
                               MsgIcon::Error},
                      TextCase{"UploadDone", &kUploadDone, "Configuración del TIMER",
                               "La configuración del TIMER se realizó con exito",
                               MsgIcon::Information}),
    kCaseName);

}  // namespace
