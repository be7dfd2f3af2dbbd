// The common-dialog object on a real MainWindow in the test process: the system's file and font
// dialogs it shows, looked at and answered from another thread while ShowDialog waits.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

#include "document/common_dialog.h"
#include "document_fixture.h"
#include "ui/main_window.h"

using namespace document;
using namespace driver;

namespace {

BOOL CALLBACK KeepOwnDialog(HWND hwnd, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassName(hwnd) == "#32770")
    *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

// A visible dialog of this process, or null when none comes in time.
HWND WaitForOwnDialog(Duration timeout = 5000ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        EnumWindows(KeepOwnDialog, reinterpret_cast<LPARAM>(&found));
        return found != nullptr;
      },
      timeout);
  return found;
}

// Selects a combo box item as the user would, so that the dialog hears of it.
void SelectComboItem(HWND dialog, int id, int index) {
  HWND combo = GetDlgItem(dialog, id);
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool IsChecked(HWND dialog, int id) {
  return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class CommonDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    window_ = MainWindow::Create(GetModuleHandle(nullptr), nullptr);
    ASSERT_TRUE(window_);
    ASSERT_TRUE(folder_.Created());
  }

  CommonDialog& Dialog() { return window_->Dialog(); }

  // The dialog object set to the font kind with 宋体 of 12 points, bold and underlined.
  CommonDialog& BoldUnderlinedFontDialog() {
    CommonDialog& dialog = Dialog();
    dialog.SetKind(kFontDialog);
    dialog.FontName = "宋体";
    dialog.FontSize = 12;
    dialog.FontBold = true;
    dialog.FontUnderline = true;
    return dialog;
  }

  // Runs ShowDialog while another thread waits for the dialog and hands it to `answer`, which
  // looks at it and presses a button. A dialog still open after that is cancelled.
  bool ShowAnswered(const std::function<void(HWND)>& answer) {
    bool appeared = false;
    std::thread watcher([&] {
      HWND dialog = WaitForOwnDialog();
      appeared = dialog != nullptr;
      if (!dialog) return;
      Sleep(200);
      answer(dialog);
      if (!WaitUntil([&] { return !IsWindow(dialog); })) PressButton(dialog, IDCANCEL);
    });
    bool confirmed = Dialog().ShowDialog();
    watcher.join();
    EXPECT_TRUE(appeared) << "no dialog was shown";
    return confirmed;
  }

  std::unique_ptr<MainWindow> window_;
  ScratchFolder folder_;
};

TEST_F(CommonDialogTest, KindAndFilterIndexStoreOnlyValuesInRange) {
  CommonDialog& dialog = Dialog();
  EXPECT_EQ(dialog.Kind(), kFileOpenDialog);
  dialog.SetKind(7);
  EXPECT_EQ(dialog.Kind(), kHelpDialog);
  dialog.SetKind(-2);
  EXPECT_EQ(dialog.Kind(), kFileOpenDialog);
  dialog.SetKind(kFontDialog);
  EXPECT_EQ(dialog.Kind(), kFontDialog);
  dialog.SetFilterIndex(-3);
  EXPECT_EQ(dialog.FilterIndex(), 0);
  dialog.SetFilterIndex(2);
  EXPECT_EQ(dialog.FilterIndex(), 2);
}

TEST_F(CommonDialogTest, TheHelpKindShowsNothing) {
  Dialog().SetKind(kHelpDialog);
  EXPECT_FALSE(Dialog().ShowDialog());
  EXPECT_EQ(WaitForOwnDialog(300ms), nullptr);
}

TEST_F(CommonDialogTest, AFileDialogStartsFromTheSettingsAndACancelChangesNothing) {
  CommonDialog& dialog = Dialog();
  dialog.Title = "挑一个文件";
  dialog.Filter = "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*  ";
  dialog.SetFilterIndex(1);
  dialog.FileName = "起点.txt";
  dialog.InitialFolder = folder_.Path();
  std::string caption, name, folderShown;
  std::vector<std::string> types;
  int selectedType = -1;
  bool confirmed = ShowAnswered([&](HWND shown) {
    caption = WindowText(shown);
    name = WindowText(FileNameBox(shown));
    HWND typeBox = GetDlgItem(shown, cmb1);
    for (int i = 0; i < SendMessageA(typeBox, CB_GETCOUNT, 0, 0); ++i)
      types.push_back(ComboItem(typeBox, i));
    selectedType = int(SendMessageA(typeBox, CB_GETCURSEL, 0, 0));
    folderShown = WindowText(GetDlgItem(shown, cmb2));
    PressButton(shown, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(caption, "挑一个文件");
  EXPECT_EQ(name, "起点.txt");
  EXPECT_EQ(types, (std::vector<std::string>{"文本文件(*.txt)", "所有文件(*.*)"}));
  EXPECT_EQ(selectedType, 1) << "FilterIndex counts from 0, the dialog from 1";
  EXPECT_EQ(folderShown, folder_.Path().substr(folder_.Path().rfind('\\') + 1));
  EXPECT_EQ(dialog.FileName, "起点.txt");
}

TEST_F(CommonDialogTest, AnEmptyFilterGivesNoFileTypes) {
  Dialog().Filter = " \t";
  int types = -1;
  ShowAnswered([&](HWND shown) {
    types = int(SendMessageA(GetDlgItem(shown, cmb1), CB_GETCOUNT, 0, 0));
    PressButton(shown, IDCANCEL);
  });
  EXPECT_EQ(types, 0);
}

TEST_F(CommonDialogTest, AConfirmedSaveDialogStoresTheFullPathAndTheNextStartsWithIt) {
  CommonDialog& dialog = Dialog();
  dialog.SetKind(kFileSaveDialog);
  dialog.InitialFolder = folder_.Path();
  std::string caption;
  EXPECT_TRUE(ShowAnswered([&](HWND shown) {
    caption = WindowText(shown);
    ConfirmFileDialog(shown, "新文件.txt");
  }));
  EXPECT_NE(caption, "") << "without a Title the system's own caption";
  EXPECT_EQ(dialog.FileName, folder_ / "新文件.txt");
  EXPECT_FALSE(FileBytes(folder_ / "新文件.txt").has_value()) << "the dialog only names the file";

  dialog.InitialFolder.clear();
  std::string name;
  EXPECT_FALSE(ShowAnswered([&](HWND shown) {
    name = WindowText(FileNameBox(shown));
    PressButton(shown, IDCANCEL);
  }));
  EXPECT_EQ(name, "新文件.txt");
  EXPECT_EQ(dialog.FileName, folder_ / "新文件.txt");
}

TEST_F(CommonDialogTest, ALongFileNameIsCutToWholeCharactersOfTheNameBuffer) {
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += "中";
  Dialog().FileName = longName;
  std::string name;
  ShowAnswered([&](HWND shown) {
    name = WindowText(FileNameBox(shown));
    PressButton(shown, IDCANCEL);
  });
  EXPECT_EQ(name, longName.substr(0, 258)) << "259 bytes would split a character";
}

TEST_F(CommonDialogTest, TheFontDialogStartsFromTheSettingsAndACancelChangesNothing) {
  CommonDialog& dialog = BoldUnderlinedFontDialog();
  dialog.FontColour = RGB(255, 0, 0);
  std::string face, style, size;
  bool strikeOut = true, underline = false;
  COLORREF colour = 0;
  bool confirmed = ShowAnswered([&](HWND shown) {
    face = WindowText(GetDlgItem(shown, cmb1));
    style = WindowText(GetDlgItem(shown, cmb2));
    size = WindowText(GetDlgItem(shown, cmb3));
    strikeOut = IsChecked(shown, chx1);
    underline = IsChecked(shown, chx2);
    HWND colours = GetDlgItem(shown, cmb4);
    colour = COLORREF(
        SendMessageA(colours, CB_GETITEMDATA, SendMessageA(colours, CB_GETCURSEL, 0, 0), 0));
    PressButton(shown, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(face, "宋体");
  EXPECT_EQ(style, "粗体");
  EXPECT_EQ(size, "12");
  EXPECT_FALSE(strikeOut);
  EXPECT_TRUE(underline);
  EXPECT_EQ(colour, RGB(255, 0, 0));

  EXPECT_EQ(dialog.FontName, "宋体");
  EXPECT_EQ(dialog.FontSize, 12);
  EXPECT_TRUE(dialog.FontBold);
  EXPECT_FALSE(dialog.FontItalic);
  EXPECT_FALSE(dialog.FontStrikeOut);
  EXPECT_TRUE(dialog.FontUnderline);
  EXPECT_EQ(dialog.FontColour, RGB(255, 0, 0));
  EXPECT_EQ(dialog.Kind(), kFontDialog);
}

TEST_F(CommonDialogTest, AConfirmedFontDialogStoresTheChoiceInWholePoints) {
  CommonDialog& dialog = BoldUnderlinedFontDialog();
  COLORREF chosenColour = 0;
  EXPECT_TRUE(ShowAnswered([&](HWND shown) {
    HWND sizes = GetDlgItem(shown, cmb3);
    SelectComboItem(
        shown, cmb3,
        int(SendMessageA(sizes, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("11"))));
    SelectComboItem(shown, cmb2, 0);  // the regular style comes first
    SendMessageA(GetDlgItem(shown, chx1), BM_CLICK, 0, 0);
    HWND colours = GetDlgItem(shown, cmb4);
    int last = int(SendMessageA(colours, CB_GETCOUNT, 0, 0)) - 1;
    SelectComboItem(shown, cmb4, last);
    chosenColour = COLORREF(SendMessageA(colours, CB_GETITEMDATA, last, 0));
    PressButton(shown, IDOK);
  }));
  EXPECT_EQ(dialog.FontName, "宋体");
  // 11 points are 14.67 pixels at 96 dpi: the dialog's whole pixels come back as whole points.
  EXPECT_EQ(dialog.FontSize, 11);
  EXPECT_FALSE(dialog.FontBold);
  EXPECT_FALSE(dialog.FontItalic);
  EXPECT_TRUE(dialog.FontStrikeOut);
  EXPECT_TRUE(dialog.FontUnderline);
  EXPECT_EQ(dialog.FontColour, chosenColour);
  EXPECT_NE(chosenColour, RGB(0, 0, 0));
}

}  // namespace
