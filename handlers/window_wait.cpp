// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/window_wait.h"

#include "model/form1.h"
#include "model/window_model.h"

namespace {

class WindowHost : public WaitHost {
 public:
  explicit WindowHost(Form1& f) : m_form(f) { ++m_form.m_waits; }
  ~WindowHost() override { --m_form.m_waits; }
  WindowHost(const WindowHost&) = delete;
  WindowHost& operator=(const WindowHost&) = delete;

  void DoEvents() override { m_form.m_view.DoEvents(); }
  bool stopped() const override { return m_form.m_unloaded; }

 private:
  Form1& m_form;
};

}  // namespace

Reply ReplyWait(Form1& f, const QByteArray& answerChars, const QByteArray& initialText) {
  WindowHost host(f);
  return AwaitReply(f.Conexion, f.m_clock, host, answerChars, initialText);
}
