// CurrentPath and the save of the document into a file, shared by the guard and the File commands.
#include "document/document_files.h"

#include "document/text_bytes.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "ui/main_window.h"

std::string CurrentPath(const MainWindow& window) {
  return window.Caption(ControlId::编辑框2);
}

void SetCurrentPath(MainWindow& window, std::string_view path) {
  std::string text(path);
  SetWindowTextA(window.Control(ControlId::编辑框2), text.c_str());
}

bool WriteDocument(MainWindow& window, const std::string& path) {
  if (WriteWholeFile(path, TextToBytes(window.Text().GetText()))) return true;
  ShowMessage("文件保存失败：" + path, MB_ICONEXCLAMATION);
  return false;
}

SaveOutcome SaveThroughDialog(MainWindow& window) {
  CommonDialog& dialog = window.Dialog();
  dialog.Title = "保存";
  dialog.SetKind(kFileSaveDialog);
  if (!dialog.ShowDialog()) return SaveOutcome::Cancelled;
  return WriteDocument(window, dialog.FileName) ? SaveOutcome::Saved : SaveOutcome::Failed;
}
