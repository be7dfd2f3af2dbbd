// The text area's operations on the real EDIT control, in a parent window of the test's own that
// forwards EN_CHANGE and WM_CTLCOLOREDIT as MainWindow does: content, byte offsets of GBK text,
// the selection, clipboard, font, colour, focus and the scroll bars with their upkeep.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/ui_driver.h"
#include "ui/text_area.h"

namespace {

using namespace std::chrono_literals;

constexpr int kThreshold = 2156;
constexpr char kParentClass[] = "TextAreaTestParent";
constexpr UINT_PTR kWatchId = 77;

int ScrollBarRule(int length) {
  return length < kThreshold ? 0 : 2;
}

// Lines of Chinese and ASCII text, CR LF after each, exactly `bytes` long.
std::string GbkText(int bytes) {
  static const char* const kLines[] = {"春眠不觉晓，处处闻啼鸟。", "abc Def 123",
                                       "夜来风雨声，花落知多少。床前明月光，疑是地上霜。", ""};
  std::string text;
  for (int i = 0; static_cast<int>(text.size()) < bytes; ++i) {
    text += kLines[i % 4];
    text += "\r\n";
  }
  text.resize(bytes - 1);
  if (static_cast<unsigned char>(text.back()) >= 0x80 || text.back() == '\r') text.back() = 'x';
  return text + "y";
}

class TextAreaTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kParentClass;
    RegisterClassA(&wc);
    parent_ = CreateWindowExA(0, kParentClass, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 182,
                              142, 660, 483, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    ASSERT_NE(parent_, nullptr);
    SetWindowLongPtrA(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    const ControlData& data = ControlById(ControlId::编辑框1);
    LOGFONTA logFont{};
    logFont.lfHeight = -data.font.height;
    logFont.lfCharSet = data.font.charset;
    logFont.lfPitchAndFamily = data.font.pitchAndFamily;
    lstrcpynA(logFont.lfFaceName, data.font.face, LF_FACESIZE);
    font_ = CreateFontIndirectA(&logFont);
    area_ = std::make_unique<TextArea>(parent_, data, font_, Events());
    ASSERT_NE(area_->Handle(), nullptr);
  }

  void TearDown() override {
    area_.reset();
    DestroyWindow(parent_);
    DeleteObject(font_);
    Pump();
  }

  // The area's events: each TextChanged is counted with the length the handler saw, and runs
  // the scroll-bar rule when the test asks for it.
  TextArea::Events Events() {
    return {[this] {
              seenLengths_.push_back(area_->TextLength());
              if (ruleRuns_) area_->SetScrollBars(ScrollBarRule(area_->TextLength()));
            },
            [this] { ++rightButtonPresses_; }, nullptr};
  }

  // A text area whose SetText knows the rule beforehand, as MainWindow's is meant to.
  void UseRuleAhead() {
    area_.reset();
    TextArea::Events events = Events();
    events.scrollBarsFor = ScrollBarRule;
    area_ = std::make_unique<TextArea>(parent_, ControlById(ControlId::编辑框1), font_, events);
    ruleRuns_ = true;
  }

  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* test = reinterpret_cast<TextAreaTest*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    TextArea* area = test ? test->area_.get() : nullptr;
    if (area && message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE &&
        reinterpret_cast<HWND>(lParam) == area->Handle())
      area->OnContentChanged();
    if (area && message == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lParam) == area->Handle())
      return reinterpret_cast<LRESULT>(area->Colours(reinterpret_cast<HDC>(wParam)));
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // Real input arrives through the message queue, so the test pumps while it waits.
  template <typename Condition>
  bool PumpUntil(Condition condition, std::chrono::milliseconds timeout = 5000ms) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      Pump();
      if (condition()) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      Sleep(10);
    }
  }

  HWND Edit() const { return area_->Handle(); }
  LONG Style() const { return GetWindowLongA(Edit(), GWL_STYLE); }
  bool HasVerticalBar() const { return Style() & WS_VSCROLL; }
  int Lines() const { return static_cast<int>(SendMessageA(Edit(), EM_GETLINECOUNT, 0, 0)); }
  int FirstVisibleLine() const {
    return static_cast<int>(SendMessageA(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  int ClientWidth() const {
    RECT client;
    GetClientRect(Edit(), &client);
    return client.right;
  }
  SCROLLINFO VerticalBar() const {
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(Edit(), SB_VERT, &bar);
    return bar;
  }
  SCROLLBARINFO VerticalBarLook() const {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    GetScrollBarInfo(Edit(), OBJID_VSCROLL, &info);
    return info;
  }
  bool CanUndo() const { return SendMessageA(Edit(), EM_CANUNDO, 0, 0) != 0; }
  LOGFONTA CurrentFont() const {
    LOGFONTA logFont{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Edit(), WM_GETFONT, 0, 0)), sizeof logFont,
               &logFont);
    return logFont;
  }
  int VisibleLines() const {
    RECT format{};
    SendMessageA(Edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(Edit());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Edit(), WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Edit(), dc);
    return (format.bottom - format.top) / metrics.tmHeight;
  }
  // The selection as the control holds it, in the bytes of the text.
  std::string Selected() const { return area_->GetSelectedText(); }

  static std::string ClipboardText() {
    std::string text = "(none)";
    if (!OpenClipboard(nullptr)) return "(closed)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  static void SetClipboard(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (text) {
      HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
      std::strcpy(static_cast<char*>(GlobalLock(data)), text);
      GlobalUnlock(data);
      SetClipboardData(CF_TEXT, data);
    }
    CloseClipboard();
  }

  HWND parent_ = nullptr;
  HFONT font_ = nullptr;
  std::unique_ptr<TextArea> area_;
  std::vector<int> seenLengths_;
  int rightButtonPresses_ = 0;
  bool ruleRuns_ = false;
};

// ---- The control and its fixed settings --------------------------------------------------------

TEST_F(TextAreaTest, IsAnAnsiMultiLineEditWithTheFixedSettings) {
  char className[16] = {};
  GetClassNameA(Edit(), className, sizeof className);
  EXPECT_STREQ(className, "Edit");
  EXPECT_FALSE(IsWindowUnicode(Edit()));
  EXPECT_EQ(GetDlgCtrlID(Edit()), static_cast<int>(ControlId::编辑框1));
  LONG style = Style();
  for (LONG bit : {ES_MULTILINE, ES_AUTOVSCROLL, ES_WANTRETURN, ES_NOHIDESEL, WS_TABSTOP})
    EXPECT_TRUE(style & bit) << std::hex << bit;
  for (LONG bit : {WS_VSCROLL, WS_HSCROLL, ES_AUTOHSCROLL, ES_CENTER, ES_RIGHT})
    EXPECT_FALSE(style & bit) << std::hex << bit;
  EXPECT_TRUE(GetWindowLongA(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_GE(static_cast<DWORD>(SendMessageA(Edit(), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
  EXPECT_EQ(area_->GetText(), "");

  LOGFONTA font = CurrentFont();
  EXPECT_STREQ(font.lfFaceName, "宋体-PUA");
  EXPECT_EQ(font.lfHeight, -20);
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(area_->ScrollBars(), 0);
  EXPECT_TRUE(seenLengths_.empty()) << "creating the control is no change of content";
}

TEST_F(TextAreaTest, AcceptsTextBeyondTheDefaultLimitOfThirtyThousandCharacters) {
  std::string text = GbkText(100000);
  area_->SetText(text);
  EXPECT_EQ(area_->TextLength(), 100000);
  SendMessageA(Edit(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
  SendMessageA(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("末"));
  EXPECT_EQ(area_->GetText(), text + "末");
}

// ---- Content ------------------------------------------------------------------------------------

TEST_F(TextAreaTest, LengthsAndTextAreGbkBytes) {
  struct Case {
    std::string text;
    int bytes;
  };
  for (const Case& c : std::vector<Case>{
           {"", 0}, {"abc", 3}, {"中文abc\r\n中", 11}, {"亂y\r\n\r\n", 7}, {GbkText(5000), 5000}}) {
    area_->SetText(c.text);
    EXPECT_EQ(area_->TextLength(), c.bytes) << c.text.substr(0, 20);
    EXPECT_EQ(area_->GetText(), c.text);
  }
}

// The scroll-bar rule asks this on every keystroke: exact below the limit, the limit at or above
// it, whether the text is ASCII (one byte a character) or Chinese (two).
TEST_F(TextAreaTest, LengthUpToALimitIsExactBelowItAndTheLimitFromIt) {
  constexpr int kLimit = 2156;
  const std::string chinese = "中";
  auto repeat = [](const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
  };
  struct Case {
    std::string text;
    int expected;
  };
  for (const Case& c : std::vector<Case>{{"", 0},
                                         {repeat("a", kLimit - 1), kLimit - 1},
                                         {repeat("a", kLimit), kLimit},
                                         {repeat(chinese, kLimit / 2 - 1), kLimit - 2},
                                         {repeat(chinese, kLimit / 2 - 1) + "a", kLimit - 1},
                                         {repeat(chinese, kLimit / 2), kLimit},
                                         {repeat(chinese, kLimit - 1), kLimit},
                                         {repeat(chinese, 2 * kLimit), kLimit},
                                         {repeat("a", 3 * kLimit), kLimit}}) {
    area_->SetText(c.text);
    EXPECT_EQ(area_->TextLengthUpTo(kLimit), c.expected) << c.text.size() << " bytes";
  }
}

TEST_F(TextAreaTest, SetTextClearsFlagAndUndoAndFiresOnceWithTheNewTextInPlace) {
  struct Case {
    std::string before;
    std::string set;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{"abc", "abc", "abc"},
                                         {"abc", "中文", "中文"},
                                         {"中文", "", ""},
                                         {"", std::string("前\0后", 5), "前"}}) {
    area_->SetText(c.before);
    area_->SetSelectionStart(-1);
    area_->ReplaceSelection("x");
    SendMessageA(Edit(), WM_CHAR, 'y', 1);
    ASSERT_TRUE(area_->IsModified());
    ASSERT_TRUE(CanUndo());
    seenLengths_.clear();

    area_->SetText(c.set);
    EXPECT_EQ(area_->GetText(), c.expected);
    EXPECT_FALSE(area_->IsModified()) << c.set;
    EXPECT_FALSE(CanUndo()) << c.set;
    EXPECT_EQ(seenLengths_, std::vector<int>{static_cast<int>(c.expected.size())}) << c.set;
  }
}

TEST_F(TextAreaTest, EditsOfTheControlSetTheModifiedFlagAndFireTextChanged) {
  SetClipboard("粘贴");
  struct Case {
    const char* name;
    void (*edit)(TextArea&);
    const char* expected;
  };
  const Case cases[] = {
      {"typed", [](TextArea& area) { SendMessageA(area.Handle(), WM_CHAR, 'z', 1); }, "zabc"},
      {"replaced", [](TextArea& area) { area.ReplaceSelection("中"); }, "中abc"},
      {"pasted", [](TextArea& area) { area.PasteClipboard(); }, "粘贴abc"},
      {"deleted", [](TextArea& area) { SendMessageA(area.Handle(), WM_KEYDOWN, VK_DELETE, 1); },
       "bc"},
  };
  for (const Case& c : cases) {
    area_->SetText("abc");
    seenLengths_.clear();
    c.edit(*area_);
    EXPECT_EQ(area_->GetText(), c.expected) << c.name;
    EXPECT_TRUE(area_->IsModified()) << c.name;
    EXPECT_EQ(seenLengths_, std::vector<int>{static_cast<int>(std::strlen(c.expected))}) << c.name;
  }
}

TEST_F(TextAreaTest, ReplaceSelectionPutsTheCaretAfterTheTextAndCannotBeUndone) {
  area_->SetText("一二三四");
  area_->SetSelectedCount(4);
  area_->SetSelectionStart(2);
  EXPECT_EQ(Selected(), "二三");
  area_->ReplaceSelection("ab中");
  EXPECT_EQ(area_->GetText(), "一ab中四");
  EXPECT_EQ(area_->GetSelectionStart(), 6);
  EXPECT_EQ(area_->GetSelectedCount(), 0);
  EXPECT_FALSE(CanUndo());

  area_->ReplaceSelection("c");  // at the caret, with nothing selected
  EXPECT_EQ(area_->GetText(), "一ab中c四");
  EXPECT_EQ(area_->GetSelectionStart(), 7);
}

// ---- Selection ----------------------------------------------------------------------------------

TEST_F(TextAreaTest, SelectionOperationsWorkInBytesOfTheGbkText) {
  struct Case {
    const char* text;
    std::vector<std::pair<char, int>> calls;  // 's' SetSelectionStart, 'c' SetSelectedCount
    int start;
    int count;
    const char* selected;
  };
  const Case cases[] = {
      {"中文abc", {{'s', -1}}, 7, 0, ""},
      {"", {{'c', -1}}, 0, 0, ""},
      {"中文abc", {{'c', -1}}, 0, 7, "中文abc"},
      {"abcdefghij", {{'c', 3}, {'s', 5}}, 5, 3, "fgh"},
      {"中文abcdef", {{'c', 4}, {'s', 2}}, 2, 4, "文ab"},
      {"中文abc", {{'s', 2}, {'c', 3}, {'s', -1}}, 7, 0, ""},
      {"中文abc", {{'s', -1}, {'c', 2}}, 7, 0, ""},
      {"中文abc", {{'s', -5}, {'c', -9}}, 0, 0, ""},
      {"中文abc", {{'c', 100}, {'s', 4}}, 4, 3, "abc"},
      {"中文abc", {{'s', 50}}, 7, 0, ""},
      {"中文\r\nab", {{'s', 4}, {'c', 3}}, 4, 3, "\r\na"},
  };
  for (const Case& c : cases) {
    area_ = nullptr;
    area_ = std::make_unique<TextArea>(parent_, ControlById(ControlId::编辑框1), font_, Events());
    area_->SetText(c.text);
    for (auto [operation, value] : c.calls) {
      if (operation == 's')
        area_->SetSelectionStart(value);
      else
        area_->SetSelectedCount(value);
    }
    EXPECT_EQ(area_->GetSelectionStart(), c.start) << c.text;
    EXPECT_EQ(area_->GetSelectedCount(), c.count) << c.text;
    EXPECT_EQ(Selected(), c.selected) << c.text;
  }
}

TEST_F(TextAreaTest, SelectionsMadeByTheUserReadBackInBytes) {
  area_->SetText("中文abc\r\n春眠");
  // The user's selection from 文 to 春, put in place the way the control takes it from the mouse.
  SendMessageA(Edit(), WM_KEYDOWN, VK_HOME, 1);
  SendMessageA(Edit(), WM_KEYDOWN, VK_RIGHT, 1);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  for (int i = 0; i < 6; ++i) SendMessageA(Edit(), WM_KEYDOWN, VK_RIGHT, 1);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(area_->GetSelectionStart(), 2);
  EXPECT_EQ(area_->GetSelectedCount(), 9);
  EXPECT_EQ(Selected(), "文abc\r\n春");
}

TEST_F(TextAreaTest, SelectionsFarIntoALongTextAreCountedInBytes) {
  std::string before = GbkText(30001);
  area_->SetText(before + "目标abc" + GbkText(5000));
  area_->SetSelectedCount(6);
  area_->SetSelectionStart(30001);
  EXPECT_EQ(Selected(), "目标ab");
  EXPECT_EQ(area_->GetSelectionStart(), 30001);
  EXPECT_EQ(area_->GetSelectedCount(), 6);
  area_->ReplaceSelection("中");
  EXPECT_EQ(area_->GetSelectionStart(), 30003);
  EXPECT_EQ(area_->GetText().substr(30001, 3), "中c");
  area_->SetSelectedCount(-1);
  EXPECT_EQ(area_->GetSelectedCount(), area_->TextLength());
  EXPECT_EQ(Selected(), area_->GetText());
}

TEST_F(TextAreaTest, SettingTheSelectionScrollsItIntoView) {
  area_->SetText(GbkText(20000));
  area_->SetSelectionStart(-1);
  EXPECT_GT(FirstVisibleLine(), 0);
  EXPECT_GE(FirstVisibleLine() + VisibleLines(), Lines());
  area_->SetSelectedCount(-1);
  area_->SetSelectionStart(0);
  area_->SetSelectedCount(0);
  EXPECT_EQ(FirstVisibleLine(), 0);
}

// ---- Clipboard, focus, colour, right button ----------------------------------------------------

TEST_F(TextAreaTest, CopyPutsTheSelectionOnTheClipboardAndAnEmptyOneLeavesItAlone) {
  SetClipboard("before");
  area_->SetText("中文abc");
  area_->SetSelectionStart(2);
  area_->CopySelection();
  EXPECT_EQ(ClipboardText(), "before");
  area_->SetSelectedCount(3);
  area_->CopySelection();
  EXPECT_EQ(ClipboardText(), "文a");
  EXPECT_FALSE(area_->IsModified());
}

TEST_F(TextAreaTest, PasteWithoutTextOnTheClipboardChangesNothing) {
  SetClipboard(nullptr);
  area_->SetText("abc");
  seenLengths_.clear();
  area_->PasteClipboard();
  EXPECT_EQ(area_->GetText(), "abc");
  EXPECT_FALSE(area_->IsModified());
  EXPECT_TRUE(seenLengths_.empty());
}

TEST_F(TextAreaTest, FocusGivesTheControlTheKeyboardFocus) {
  SetFocus(parent_);
  area_->Focus();
  EXPECT_EQ(GetFocus(), Edit());
}

TEST_F(TextAreaTest, RightButtonEventFiresAndThePressGoesOnToTheControl) {
  area_->SetText("abc");
  SendMessageA(Edit(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(rightButtonPresses_, 1);
}

// Counts the pixels of the control's client area that are near a colour.
int PixelsNear(HWND edit, COLORREF colour) {
  RECT client;
  GetClientRect(edit, &client);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageA(edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  int count = 0;
  auto* pixel = static_cast<const BYTE*>(bits);
  for (LONG i = 0; i < client.right * client.bottom; ++i, pixel += 4) {
    auto close = [](int a, int b) { return a > b - 60 && a < b + 60; };
    if (close(pixel[2], GetRValue(colour)) && close(pixel[1], GetGValue(colour)) &&
        close(pixel[0], GetBValue(colour)))
      ++count;
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return count;
}

TEST_F(TextAreaTest, TextIsDrawnInItsColourOverTheBlackBackground) {
  area_->SetText("一一一一一一一一\r\n二二二二二二二二\r\n三三三三三三三三");
  EXPECT_GT(PixelsNear(Edit(), RGB(0, 255, 0)), 50);
  EXPECT_GT(PixelsNear(Edit(), RGB(0, 0, 0)), 10000);

  ValidateRect(Edit(), nullptr);
  area_->SetTextColour(RGB(255, 0, 0));
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(Edit(), &update, FALSE)) << "the control is to be repainted";
  EXPECT_EQ(area_->TextColour(), RGB(255, 0, 0));
  EXPECT_GT(PixelsNear(Edit(), RGB(255, 0, 0)), 50);
  EXPECT_EQ(PixelsNear(Edit(), RGB(0, 255, 0)), 0);
  EXPECT_GT(PixelsNear(Edit(), RGB(0, 0, 0)), 10000);
}

// ---- Font ---------------------------------------------------------------------------------------

TEST_F(TextAreaTest, SetFontBuildsTheLogFontFromTheRecord) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  struct Case {
    int angle, bold, italic, strikeOut, underline, size;
    LONG height;
    LONG weight;
    BYTE flags;  // what italic, strike-out and underline each become
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 12, -MulDiv(12, dpi, 72), 0, 0},
      {900, 1, 1, 1, 1, 20, -MulDiv(20, dpi, 72), 700, 1},
      {-450, 7, 2, 3, -4, 9, -MulDiv(9, dpi, 72), 700, 1},
      {3600, 0, 0, 0, 0, -5, 0, 0, 0},
  };
  for (const Case& c : cases) {
    area_->SetFont({c.angle, c.bold, c.italic, c.strikeOut, c.underline, c.size, "Arial"});
    LOGFONTA font = CurrentFont();
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, c.height) << c.size;
    EXPECT_EQ(font.lfWeight, c.weight) << c.bold;
    EXPECT_EQ(font.lfItalic, c.flags) << c.italic;
    EXPECT_EQ(font.lfStrikeOut, c.flags) << c.strikeOut;
    EXPECT_EQ(font.lfUnderline, c.flags) << c.underline;
    EXPECT_EQ(font.lfEscapement, c.angle);
    EXPECT_EQ(font.lfOrientation, c.angle);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfPitchAndFamily, 0);
    EXPECT_EQ(font.lfQuality, 0);
    EXPECT_EQ(font.lfOutPrecision, 0);
  }
}

TEST_F(TextAreaTest, FaceNamesOfOneToThirtyBytesAreKeptAndOthersGiveSongTi) {
  const std::string thirty(30, 'F');
  const std::string thirtyOne(31, 'F');
  struct Case {
    const char* given;
    const char* used;
  };
  const Case cases[] = {
      {"黑体", "黑体"},
      {"A", "A"},
      {"", "宋体"},
      {thirty.c_str(), thirty.c_str()},
      {thirtyOne.c_str(), "宋体"},
      {"一二三四五六七八九十一二三四五", "一二三四五六七八九十一二三四五"},
      {"一二三四五六七八九十一二三四五六", "宋体"},
  };
  for (const Case& c : cases) {
    area_->SetFont({0, 0, 0, 0, 0, 10, c.given});
    EXPECT_STREQ(CurrentFont().lfFaceName, c.used) << c.given;
  }
}

// ---- Scroll bars --------------------------------------------------------------------------------

TEST_F(TextAreaTest, ScrollBarSettingInForceChangesNothing) {
  area_->SetText(GbkText(3000));
  area_->SetSelectedCount(5);
  area_->SetSelectionStart(1000);
  SendMessageA(Edit(), EM_LINESCROLL, 0, 3);
  for (int setting : {0, -1, -50}) {
    HWND before = Edit();
    int first = FirstVisibleLine();
    area_->SetScrollBars(setting);
    EXPECT_EQ(Edit(), before) << setting;
    EXPECT_FALSE(HasVerticalBar()) << setting;
    EXPECT_EQ(FirstVisibleLine(), first) << setting;
    EXPECT_EQ(area_->GetSelectionStart(), 1000) << setting;
    EXPECT_EQ(area_->GetSelectedCount(), 5) << setting;
  }
  area_->SetScrollBars(2);
  for (int setting : {2, 2}) {
    SendMessageA(Edit(), EM_LINESCROLL, 0, -1);
    int first = FirstVisibleLine();
    area_->SetScrollBars(setting);
    EXPECT_EQ(FirstVisibleLine(), first);
    EXPECT_EQ(area_->GetSelectionStart(), 1000);
    EXPECT_EQ(area_->GetSelectedCount(), 5);
  }
  area_->SetScrollBars(9);
  EXPECT_EQ(area_->ScrollBars(), 3);
}

TEST_F(TextAreaTest, VerticalBarComesAndGoesInPlaceKeepingTheDocumentsState) {
  // Offset 117 starts the ASCII line "abc Def 123" of the second verse, 205 that of the third once
  // 改 has replaced six bytes and q is typed after it.
  area_->SetText(GbkText(4000));
  area_->SetSelectedCount(6);
  area_->SetSelectionStart(117);
  area_->ReplaceSelection("改");
  std::string replaced = area_->GetText();
  SendMessageA(Edit(), WM_CHAR, 'q', 1);
  area_->SetSelectedCount(3);
  area_->SetSelectionStart(205);
  area_->SetTextColour(RGB(255, 255, 0));
  area_->Focus();
  seenLengths_.clear();
  HWND control = Edit();
  int narrow = 0;
  int wide = ClientWidth();

  for (int setting : {2, 0, 2}) {
    area_->SetScrollBars(setting);
    EXPECT_EQ(Edit(), control) << setting;
    EXPECT_EQ(HasVerticalBar(), setting == 2);
    EXPECT_FALSE(Style() & (WS_HSCROLL | ES_AUTOHSCROLL));
    if (setting == 2) narrow = ClientWidth();
    EXPECT_EQ(GetFocus(), control);
    EXPECT_TRUE(area_->IsModified()) << "a modified document stays modified";
    EXPECT_TRUE(CanUndo());
    EXPECT_EQ(area_->GetSelectionStart(), 205);
    EXPECT_EQ(area_->GetSelectedCount(), 3);
    EXPECT_EQ(Selected(), "abc");
    EXPECT_STREQ(CurrentFont().lfFaceName, "宋体-PUA");
    EXPECT_EQ(area_->TextColour(), RGB(255, 255, 0));
    EXPECT_EQ(area_->TextLength(), 4000 - 6 + 2 + 1);
  }
  EXPECT_LT(narrow, wide);
  EXPECT_TRUE(seenLengths_.empty()) << "changing the scroll bars is no change of content";

  SendMessageA(Edit(), EM_UNDO, 0, 0);
  EXPECT_EQ(area_->GetText(), replaced);
}

TEST_F(TextAreaTest, LinesWrapAtTheRightEdgeWithAndWithoutTheVerticalBar) {
  std::string paragraph;
  for (int i = 0; i < 40; ++i) paragraph += "春眠不觉晓处处闻啼鸟";
  area_->SetText(paragraph);
  for (int setting : {0, 2, 0}) {
    area_->SetScrollBars(setting);
    EXPECT_GT(Lines(), 5) << setting;
    EXPECT_FALSE(Style() & WS_HSCROLL) << setting;
  }
}

TEST_F(TextAreaTest, VerticalBarIsShownAndItsThumbTracksTheCaret) {
  area_->SetText(GbkText(30000));
  area_->SetScrollBars(2);
  EXPECT_FALSE(VerticalBarLook().rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));

  auto expectInStep = [&](const char* after) {
    SCROLLINFO bar = VerticalBar();
    EXPECT_EQ(bar.nMin, 0) << after;
    EXPECT_EQ(bar.nMax, Lines() - 1) << after;
    EXPECT_EQ(static_cast<int>(bar.nPage), std::min(VisibleLines(), Lines())) << after;
    EXPECT_EQ(bar.nPos, FirstVisibleLine()) << after;
  };
  expectInStep("shown");
  area_->SetSelectionStart(-1);
  EXPECT_GT(FirstVisibleLine(), 100);
  expectInStep("caret at the end");
  area_->SetSelectionStart(15000);
  expectInStep("caret in the middle");
  SendMessageA(Edit(), WM_KEYDOWN, VK_NEXT, 1);
  expectInStep("page down key");
  SendMessageA(Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 2)), 0);
  expectInStep("mouse wheel");
  SendMessageA(Edit(), WM_VSCROLL, SB_PAGEUP, 0);
  expectInStep("page up on the bar");
  SendMessageA(Edit(), WM_VSCROLL, SB_LINEDOWN, 0);
  expectInStep("line down on the bar");
  area_->ReplaceSelection(GbkText(3000));
  expectInStep("a replacement");
  area_->SetFont({0, 1, 0, 0, 0, 30, "Arial"});
  expectInStep("a larger font");
  area_->SetText("short");
  expectInStep("a short text");
  EXPECT_EQ(VerticalBar().nMax, 0);
}

// Counts the ends of scrolling by the bar, the last message of a drag of the thumb.
LRESULT CALLBACK CountScrollEnds(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR count) {
  if (message == WM_VSCROLL && LOWORD(wParam) == SB_ENDSCROLL) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(TextAreaTest, DraggingTheThumbScrollsTheTextThroughTheWholeDocument) {
  area_->SetText(GbkText(60000));
  area_->SetScrollBars(2);
  ASSERT_TRUE(driver::BringToForeground(parent_));
  Pump();
  SCROLLBARINFO info = VerticalBarLook();
  int x = (info.rcScrollBar.left + info.rcScrollBar.right) / 2;
  int thumb = info.rcScrollBar.top + (info.xyThumbTop + info.xyThumbBottom) / 2;
  int trackTop = info.rcScrollBar.top + info.dxyLineButton;
  int trackBottom = info.rcScrollBar.bottom - info.dxyLineButton;
  int lastFirstLine = Lines() - VisibleLines();

  // Where on the track the thumb's middle is dropped. The input is queued before the drag starts,
  // so it must stay over the window: Wine gives queued mouse input to the window under it.
  int drags = 0;
  SetWindowSubclass(Edit(), CountScrollEnds, kWatchId, reinterpret_cast<DWORD_PTR>(&drags));
  for (double fraction : {0.5, 1.0, 0.25, 0.0}) {
    int dragsBefore = drags;
    driver::MoveMouse(x, thumb);
    driver::LeftButtonDown();
    int to = trackTop + static_cast<int>((trackBottom - trackTop) * fraction);
    driver::MoveMouse(x, to);
    driver::LeftButtonUp();
    ASSERT_TRUE(PumpUntil([&] { return drags > dragsBefore; }));
    EXPECT_NEAR(FirstVisibleLine(), lastFirstLine * fraction, lastFirstLine / 20 + 2) << fraction;
    EXPECT_EQ(VerticalBar().nPos, FirstVisibleLine()) << fraction;
    info = VerticalBarLook();
    thumb = info.rcScrollBar.top + (info.xyThumbTop + info.xyThumbBottom) / 2;
  }
  RemoveWindowSubclass(Edit(), CountScrollEnds, kWatchId);
}

TEST_F(TextAreaTest, WithoutTheVerticalSettingATallTextGetsNoBar) {
  std::string lines;
  for (int i = 0; i < 60; ++i) lines += "a\r\n";
  area_->SetText(lines);
  area_->SetScrollBars(2);
  area_->SetScrollBars(0);
  area_->SetSelectionStart(-1);
  area_->ReplaceSelection("b\r\nc");
  EXPECT_GT(FirstVisibleLine(), 0);
  EXPECT_GE(FirstVisibleLine() + VisibleLines(), Lines()) << "the view follows the caret";
  SendMessageA(Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_FALSE(HasVerticalBar());
  EXPECT_TRUE(VerticalBarLook().rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(TextAreaTest, HorizontalSettingsStopWrappingInANewControlInTheOldOnesPlace) {
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent_,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  std::string paragraph;
  for (int i = 0; i < 40; ++i) paragraph += "春眠不觉晓处处闻啼鸟";
  area_->SetText(paragraph + "\r\n" + GbkText(3000));
  area_->SetSelectedCount(4);
  area_->SetSelectionStart(6);
  area_->ReplaceSelection("改");
  area_->SetSelectedCount(2);
  area_->SetSelectionStart(10);
  area_->SetTextColour(RGB(0, 0, 255));
  std::string text = area_->GetText();
  seenLengths_.clear();

  struct Case {
    int setting;
    bool focused;
    bool horizontal;
    bool vertical;
  };
  for (Case c : {Case{1, true, true, false}, Case{3, false, true, true}, Case{2, true, false, true},
                 Case{0, false, false, false}, Case{3, true, true, true}}) {
    SetFocus(c.focused ? Edit() : button);
    HWND old = Edit();
    HWND above = GetWindow(old, GW_HWNDPREV);
    HWND below = GetWindow(old, GW_HWNDNEXT);
    area_->SetScrollBars(c.setting);
    EXPECT_EQ(Style() & WS_HSCROLL ? true : false, c.horizontal) << c.setting;
    EXPECT_EQ(Style() & ES_AUTOHSCROLL ? true : false, c.horizontal) << c.setting;
    EXPECT_EQ(HasVerticalBar(), c.vertical) << c.setting;
    EXPECT_EQ(SendMessageA(Edit(), EM_LINEFROMCHAR, 300, 0) == 0, c.horizontal)
        << "the first paragraph wraps only without the horizontal bar";
    EXPECT_EQ(GetDlgItem(parent_, static_cast<int>(ControlId::编辑框1)), Edit());
    EXPECT_EQ(GetFocus(), c.focused ? Edit() : button) << c.setting;
    EXPECT_EQ(area_->GetText(), text);
    EXPECT_TRUE(area_->IsModified()) << c.setting;
    EXPECT_EQ(area_->GetSelectionStart(), 10);
    EXPECT_EQ(area_->GetSelectedCount(), 2);
    EXPECT_STREQ(CurrentFont().lfFaceName, "宋体-PUA");
    EXPECT_GT(PixelsNear(Edit(), RGB(0, 0, 255)), 50);
    if (Edit() != old) {
      EXPECT_FALSE(IsWindowVisible(old));
      PumpUntil([&] { return !IsWindow(old); });
      EXPECT_FALSE(IsWindow(old));
      EXPECT_EQ(GetWindow(Edit(), GW_HWNDPREV), above)
          << "the new control is in the old one's place";
      EXPECT_EQ(GetWindow(Edit(), GW_HWNDNEXT), below);
    }
  }
  EXPECT_TRUE(seenLengths_.empty());
  DestroyWindow(button);
}

// ---- The scroll-bar rule on the control --------------------------------------------------------

// Watches the control: every WM_SETTEXT with text, and every WM_SIZE while it holds text (each
// lays the whole text out).
struct Watch {
  int textsLoaded = 0;
  int resizesWithText = 0;
};

LRESULT CALLBACK WatchLayouts(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
  auto* seen = reinterpret_cast<Watch*>(data);
  if (message == WM_SETTEXT && lParam && *reinterpret_cast<const char*>(lParam))
    ++seen->textsLoaded;
  if (message == WM_SIZE && GetWindowTextLengthA(hwnd) > 0) ++seen->resizesWithText;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(TextAreaTest, SetTextLaysALongTextOutOnceInTheRightScrollBars) {
  UseRuleAhead();
  Watch watch;
  SUBCLASSPROC watcher = WatchLayouts;

  struct Case {
    int bytes;
    bool vertical;
  };
  for (Case c : {Case{50000, true}, Case{2155, false}, Case{2156, true}, Case{80000, true},
                 Case{10, false}}) {
    SetWindowSubclass(Edit(), watcher, kWatchId, reinterpret_cast<DWORD_PTR>(&watch));
    watch = {};
    seenLengths_.clear();
    area_->SetText(GbkText(c.bytes));
    RemoveWindowSubclass(Edit(), watcher, kWatchId);
    EXPECT_EQ(HasVerticalBar(), c.vertical) << c.bytes;
    EXPECT_EQ(watch.textsLoaded, 1) << c.bytes;
    EXPECT_EQ(watch.resizesWithText, 0) << c.bytes;
    EXPECT_EQ(seenLengths_, std::vector<int>{c.bytes});
    EXPECT_EQ(area_->GetText(), GbkText(c.bytes));
    EXPECT_FALSE(area_->IsModified());
  }

  // Without knowing the rule beforehand the bar comes after the text, which lays it out again.
  area_ = nullptr;
  area_ = std::make_unique<TextArea>(parent_, ControlById(ControlId::编辑框1), font_, Events());
  SetWindowSubclass(Edit(), watcher, kWatchId, reinterpret_cast<DWORD_PTR>(&watch));
  watch = {};
  area_->SetText(GbkText(50000));
  RemoveWindowSubclass(Edit(), watcher, kWatchId);
  EXPECT_TRUE(HasVerticalBar());
  EXPECT_GT(watch.resizesWithText, 0);
}

TEST_F(TextAreaTest, TypingAcrossTheThresholdBringsAndRemovesTheBarAndUndoStillWorks) {
  UseRuleAhead();
  area_->SetText(GbkText(kThreshold - 1));
  area_->SetSelectionStart(-1);
  area_->Focus();
  ASSERT_TRUE(driver::BringToForeground(parent_));
  area_->Focus();
  ASSERT_FALSE(HasVerticalBar());
  HWND control = Edit();

  driver::TypeText("z");
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == kThreshold; }));
  EXPECT_TRUE(HasVerticalBar());
  EXPECT_EQ(Edit(), control);
  EXPECT_TRUE(area_->IsModified());
  EXPECT_EQ(VerticalBar().nMax, Lines() - 1);
  EXPECT_EQ(VerticalBar().nPos, FirstVisibleLine());
  EXPECT_GE(FirstVisibleLine() + VisibleLines(), Lines()) << "the caret stays in view";

  // The typing was recorded before the bar came, and the control that recorded it is still there.
  driver::PressKeys({VK_CONTROL}, 'Z');
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == kThreshold - 1; }));
  EXPECT_EQ(area_->GetText(), GbkText(kThreshold - 1));
  EXPECT_FALSE(HasVerticalBar());
  EXPECT_TRUE(area_->IsModified());

  driver::PressKey(VK_BACK);
  driver::PressKey(VK_RETURN);  // a line break adds two bytes
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == kThreshold; }));
  EXPECT_TRUE(HasVerticalBar());
  EXPECT_TRUE(area_->GetText().ends_with("\r\n"));

  driver::PressKey(VK_BACK);  // takes the whole line break
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == kThreshold - 2; }));
  EXPECT_FALSE(HasVerticalBar());
  EXPECT_EQ(GetFocus(), control);
}

TEST_F(TextAreaTest, TypedAndPastedTextFiresTextChangedForEachChange) {
  area_->SetText("");
  ASSERT_TRUE(driver::BringToForeground(parent_));
  area_->Focus();
  seenLengths_.clear();
  driver::TypeText("ab");
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == 2; }));
  SetClipboard("中文");
  driver::PressKeys({VK_CONTROL}, 'V');
  ASSERT_TRUE(PumpUntil([&] { return area_->TextLength() == 6; }));
  EXPECT_EQ(area_->GetText(), "ab中文");
  EXPECT_EQ(seenLengths_, (std::vector<int>{1, 2, 6}));
}

}  // namespace
