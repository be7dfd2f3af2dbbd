// "字体" with the system's real font dialog, answered from a second thread while the command waits
// in a real MainWindow of this process: what reaches the text area after OK and after Cancel, and
// what the next dialog starts from. One case goes through the real program and its menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include "document/common_dialog.h"
#include "driver/ui_driver.h"
#include "editing/editing_commands.h"
#include "editing_fixture.h"
#include "ui/main_window.h"

using namespace driver;

namespace {

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// ---- Working the font dialog, as a user choosing from its lists would --------------------------

void Notify(HWND dialog, int id, WORD code) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Selects the first item of a list whose data passes the test; false when there is none.
bool SelectByData(HWND dialog, int id, const std::function<bool(LRESULT)>& wanted) {
  int count = int(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (!wanted(SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, i, 0))) continue;
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, i, 0);
    Notify(dialog, id, CBN_SELCHANGE);
    return true;
  }
  return false;
}

bool SelectByText(HWND dialog, int id, const char* text) {
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, WPARAM(-1),
                                      reinterpret_cast<LPARAM>(text));
  if (index == CB_ERR) return false;
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
  Notify(dialog, id, CBN_SELCHANGE);
  return true;
}

bool IsBold(LRESULT style) {
  return LOWORD(style) >= FW_BOLD && HIWORD(style) == 0;
}

std::string SelectedText(HWND dialog, int id) {
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return WindowText(GetDlgItem(dialog, id));
  char text[256] = {};
  SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

LRESULT SelectedData(HWND dialog, int id) {
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, index, 0);
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// Face 宋体, 12 points, bold, red.
void ChooseSongBoldTwelveRed(HWND dialog) {
  EXPECT_TRUE(SelectByText(dialog, cmb1, "宋体"));
  EXPECT_TRUE(SelectByData(dialog, cmb2, IsBold));
  EXPECT_TRUE(SelectByText(dialog, cmb3, "12"));
  EXPECT_TRUE(SelectByData(dialog, cmb4, [](LRESULT colour) { return colour == kRed; }));
}

class FontCommand : public testing::Test {
 protected:
  void SetUp() override {
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_->Handle(), SW_SHOW);
    window_->Text().SetText("字体 Font");
  }

  // Runs "字体" while `answer` works the dialog from another thread and closes it with `button`.
  void RunCommand(const std::function<void(HWND dialog)>& answer, int button) {
    editing::AnswerModalDialog([&] { ChangeTextFont(*window_); },
                               [&](HWND dialog) {
                                 answer(dialog);
                                 PressButton(dialog, button);
                               });
  }

  LOGFONTA TextFont() {
    LOGFONTA font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(window_->Text().Handle(), WM_GETFONT, 0, 0));
    GetObjectA(handle, sizeof font, &font);
    return font;
  }

  std::unique_ptr<MainWindow> window_;
};

TEST_F(FontCommand, OkGivesTheTextTheChosenFontAndColourAndTheNextDialogStartsThere) {
  RunCommand(ChooseSongBoldTwelveRed, IDOK);
  LOGFONTA font = TextFont();
  EXPECT_STREQ(font.lfFaceName, "宋体");
  EXPECT_EQ(font.lfHeight, -MulDiv(12, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_EQ(window_->Text().TextColour(), kRed);
  EXPECT_EQ(window_->Dialog().Kind(), kFontDialog);

  RunCommand(
      [](HWND dialog) {
        EXPECT_EQ(SelectedText(dialog, cmb1), "宋体");
        EXPECT_TRUE(IsBold(SelectedData(dialog, cmb2)));
        EXPECT_EQ(SelectedText(dialog, cmb3), "12");
        EXPECT_EQ(COLORREF(SelectedData(dialog, cmb4)), kRed);
      },
      IDCANCEL);
}

TEST_F(FontCommand, EffectsReachTheText) {
  RunCommand(
      [](HWND dialog) {
        ChooseSongBoldTwelveRed(dialog);
        CheckDlgButton(dialog, chx1, BST_CHECKED);
        Notify(dialog, chx1, BN_CLICKED);
        CheckDlgButton(dialog, chx2, BST_CHECKED);
        Notify(dialog, chx2, BN_CLICKED);
      },
      IDOK);
  LOGFONTA font = TextFont();
  EXPECT_TRUE(font.lfStrikeOut);
  EXPECT_TRUE(font.lfUnderline);
}

// The old editor applied the untouched settings after a Cancel: black text on black.
TEST_F(FontCommand, CancelKeepsTheLookOnFirstUseAndAfterAChoice) {
  LOGFONTA before = TextFont();
  RunCommand(ChooseSongBoldTwelveRed, IDCANCEL);
  LOGFONTA after = TextFont();
  EXPECT_STREQ(after.lfFaceName, before.lfFaceName);
  EXPECT_EQ(after.lfHeight, before.lfHeight);
  EXPECT_EQ(window_->Text().TextColour(), kGreen);
  EXPECT_EQ(window_->Dialog().Kind(), kFontDialog);

  RunCommand(ChooseSongBoldTwelveRed, IDOK);
  before = TextFont();
  RunCommand([](HWND dialog) { SelectByText(dialog, cmb3, "20"); }, IDCANCEL);
  after = TextFont();
  EXPECT_EQ(after.lfHeight, before.lfHeight);
  EXPECT_EQ(window_->Text().TextColour(), kRed);
}

TEST_F(FontCommand, AChosenScriptNeverReachesTheFont) {
  RunCommand(
      [](HWND dialog) {
        ChooseSongBoldTwelveRed(dialog);
        EXPECT_TRUE(SelectByData(dialog, cmb5, [](LRESULT charset) { return charset != 0; }));
      },
      IDOK);
  EXPECT_EQ(TextFont().lfCharSet, 0);
}

TEST_F(FontCommand, AFractionalSizeComesBackInWholePoints) {
  RunCommand(
      [](HWND dialog) {
        ChooseSongBoldTwelveRed(dialog);
        SendDlgItemMessageA(dialog, cmb3, CB_SETCURSEL, WPARAM(-1), 0);
        SetDlgItemTextA(dialog, cmb3, "10.5");
        Notify(dialog, cmb3, CBN_EDITCHANGE);
      },
      IDOK);
  int size = window_->Dialog().FontSize;
  EXPECT_TRUE(size == 10 || size == 11) << size;
  EXPECT_EQ(TextFont().lfHeight, -MulDiv(size, ScreenPixelsPerInch(), 72));
}

// Through the real program: the Edit menu opens the font dialog modal to the window; Esc closes it.
class FontFromTheMenu : public editing::EditingProgram {};

TEST_F(FontFromTheMenu, OpensTheSystemFontDialogModalToTheWindow) {
  size_t before = program_.TopLevelWindows("#32770").size();
  ASSERT_TRUE(Choose(ControlId::超级按钮2, editing::kFont));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    auto dialogs = program_.TopLevelWindows("#32770");
    dialog = dialogs.size() > before ? dialogs.back() : nullptr;
    return dialog != nullptr;
  }));
  EXPECT_NE(GetDlgItem(dialog, cmb1), nullptr) << "the face list of the font dialog";
  EXPECT_NE(GetDlgItem(dialog, cmb4), nullptr) << "the colour box";
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
  EXPECT_FALSE(IsWindowEnabled(main_));
  ASSERT_TRUE(BringToForeground(dialog));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(IsWindowEnabled(main_));
}

}  // namespace
