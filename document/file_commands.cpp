// Open, Save and Save As: the document between the text area and the files the user chooses.
#include "document/document_commands.h"

#include <optional>
#include <string>
#include <utility>

#include "document/common_dialog.h"
#include "document/document_files.h"
#include "document/text_bytes.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "ui/main_window.h"

void OpenDocument(MainWindow& window) {
  if (GuardUnsavedChanges(window) == kMustStop) return;
  CommonDialog& dialog = window.Dialog();
  dialog.Filter = "文本文件(*.txt)|*.txt";
  dialog.Title = "打开";
  dialog.SetKind(kFileOpenDialog);
  if (!dialog.ShowDialog()) return;

  std::string path = dialog.FileName;
  std::optional<Bytes> content = ReadWholeFile(path);
  if (!content) {
    ShowMessage("文件打开失败：" + path, MB_ICONEXCLAMATION);
    return;
  }
  window.Text().SetText(BytesToText(std::move(*content)));
  SetCurrentPath(window, path);
}

namespace {

// Writes the document into CurrentPath and shows what the file then holds, which clears the
// modified flag. A failed write keeps the user's text as it is.
void SaveToCurrentPath(MainWindow& window, const std::string& path) {
  CommonDialog& dialog = window.Dialog();
  dialog.SetKind(kFileSaveDialog);
  dialog.Title = "保存";
  if (!WriteDocument(window, path)) return;
  std::optional<Bytes> saved = ReadWholeFile(path);
  if (!saved) return;
  TextArea& text = window.Text();
  text.SetText(BytesToText(std::move(*saved)));
  text.SetSelectionStart(-1);
  text.Focus();
}

}  // namespace

void SaveDocument(MainWindow& window) {
  // The path chosen in the dialog is not remembered: the document stays new and modified.
  if (CurrentPath(window).empty() && window.Text().IsModified()) SaveThroughDialog(window);
  std::string path = CurrentPath(window);
  if (!path.empty() && window.Text().IsModified()) SaveToCurrentPath(window, path);
}

void SaveDocumentAs(MainWindow& window) {
  CommonDialog& dialog = window.Dialog();
  dialog.SetKind(kFileSaveDialog);
  if (dialog.ShowDialog()) WriteDocument(window, dialog.FileName);
}
