// The common-dialog object 通用对话框1: the settings it keeps for the whole run and the system's
// file-open, file-save and font dialogs it shows from them.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

enum DialogKind { kFileOpenDialog = 0, kFileSaveDialog = 1, kFontDialog = 2, kHelpDialog = 3 };

class CommonDialog {
 public:
  // `owner` is MainWindow: the dialogs are modal to it.
  explicit CommonDialog(HWND owner) : owner_(owner) {}

  // What a command stores stays for the next one; a confirmed dialog stores its choice back.
  std::string Title;
  std::string FileName;
  std::string Filter = "文本文件(*.txt)|*.txt";
  std::string InitialFolder;
  std::string DefaultExtension = "*.txt";
  bool CreatePrompt = false;
  bool FileMustExist = true;
  bool OverwritePrompt = true;
  bool PathMustExist = true;
  bool NoChangeDir = false;

  COLORREF FontColour = RGB(0, 0, 0);
  bool FontBold = false;
  bool FontItalic = false;
  bool FontStrikeOut = false;
  bool FontUnderline = false;
  std::string FontName;
  int FontSize = 0;  // points; 0 when none was chosen

  // Values above 3 store 3, negative ones 0.
  void SetKind(int kind);
  int Kind() const { return kind_; }
  // Counted from 0; a negative value stores 0.
  void SetFilterIndex(int index);
  int FilterIndex() const { return filterIndex_; }

  // Shows the dialog of the current kind and waits until the user closes it. True when it was
  // confirmed; a cancelled dialog changes no setting. The help kind shows nothing.
  bool ShowDialog();

 private:
  bool ShowFileDialog();
  bool ShowFontDialog();

  HWND owner_;
  int kind_ = kFileOpenDialog;
  int filterIndex_ = 0;
};

// The system's file-type list for a filter of descriptions and patterns separated by "|": each
// field ends in a NUL and the list in one more. Empty when the filter is.
std::string FilterList(std::string_view filter);
