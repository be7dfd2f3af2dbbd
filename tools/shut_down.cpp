// Shut down and restart: the question, the privilege, the flags for each Windows family.
#include "tools/shut_down.h"

#include <windows.h>

#include "platform/message_box.h"
#include "platform/session_end.h"

namespace {

constexpr UINT kYesNoQuestion = MB_YESNO | MB_ICONQUESTION;
constexpr char kQuestionTitle[] = "提示";

// Neither command saves the document or runs the guard: the question itself warns.
void AskThenShutDown(const char* question, ShutdownKind kind) {
  if (ShowMessage(question, kYesNoQuestion, kQuestionTitle) != kAnswerYes) return;
  ShutDownSystem(kind, true);
}

}  // namespace

bool ShutDownSystem(ShutdownKind kind, bool force) {
  SessionEnd& session = CurrentSessionEnd();
  if (!session.EnableShutdownPrivilege()) return false;
  UINT flags = EWX_REBOOT;
  if (kind != ShutdownKind::Restart) flags = session.IsNtFamily() ? EWX_POWEROFF : EWX_SHUTDOWN;
  if (force) flags |= EWX_FORCE;
  return session.EndSession(flags);
}

void ShutDown(MainWindow&) {
  AskThenShutDown("你正在编辑内容，真的要关机吗？", ShutdownKind::PowerOff);
}

void Restart(MainWindow&) {
  AskThenShutDown("你正在编辑内容，真的要重启吗？", ShutdownKind::Restart);
}
