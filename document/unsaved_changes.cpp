// The unsaved-changes guard and the two commands that are little more than it: New and Clear.
#include "document/document_commands.h"

#include "document/document_files.h"
#include "platform/message_box.h"
#include "ui/main_window.h"

GuardAnswer GuardUnsavedChanges(MainWindow& window) {
  if (!window.Text().IsModified()) return kMayGoOn;
  switch (ShowMessage("文件已经被修改，是否保存？", MB_YESNOCANCEL | MB_ICONQUESTION, "询问")) {
    case kAnswerCancel:
      return kMustStop;
    case kAnswerYes:
      // Text the user wanted kept is never thrown away unsaved.
      return SaveThroughDialog(window) == SaveOutcome::Saved ? kMayGoOn : kMustStop;
    default:
      return kMayGoOn;
  }
}

namespace {

void EmptyDocumentAfterGuard(MainWindow& window) {
  if (GuardUnsavedChanges(window) == kMayGoOn) window.Text().SetText("");
}

}  // namespace

void NewDocument(MainWindow& window) {
  EmptyDocumentAfterGuard(window);
}

void ClearDocument(MainWindow& window) {
  EmptyDocumentAfterGuard(window);
}
