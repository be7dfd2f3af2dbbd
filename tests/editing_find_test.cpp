// Find through the real program and its real input box: the box itself, found and selected, not
// found with its message, the text remembered between Finds, and the ways to cancel.
#include "app/program.h"
#include "editing/editing_commands.h"
#include "editing/input_box.h"
#include "editing_fixture.h"
#include "ui/main_window.h"

using namespace driver;
using namespace editing;

namespace {

constexpr char kDocument[] = "第一行\r\nabc中文Def 中文";

class Find : public EditingProgram {
 protected:
  // Chooses "查找" and waits for its input box.
  HWND OpenFind() {
    if (!Choose(ControlId::超级按钮2, kFind)) return nullptr;
    return program_.WaitForDialog("查找文本");
  }

  static HWND Entry(HWND box) { return GetDlgItem(box, kInputBoxEntryId); }

  // The entry's text and whether all of it is selected.
  static std::pair<std::string, bool> EntryState(HWND box) {
    std::string text = WindowText(Entry(box));
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(Entry(box), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &packed);
    int units = MultiByteToWideChar(936, 0, text.data(), int(text.size()), nullptr, 0);
    return {text, LOWORD(packed) == 0 && HIWORD(packed) == units};
  }

  // Runs one Find that types `sought` over the offered text and confirms with Enter.
  void FindTyped(const std::string& sought) {
    HWND box = OpenFind();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(BringToForeground(box));
    if (sought.empty())
      PressKey(VK_DELETE);
    else
      TypeText(sought);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(Entry(box)) == sought; }));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  bool NoDialogOpen() { return program_.TopLevelWindows("#32770").empty(); }
};

TEST_F(Find, TheInputBoxAsksWithCaptionPromptEntryAndButtons) {
  HWND box = OpenFind();
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the box is modal";

  HWND prompt = GetDlgItem(box, kInputBoxPromptId);
  EXPECT_EQ(WindowText(prompt), "请输入欲查找的文本");
  EXPECT_TRUE(GetWindowLongA(prompt, GWL_STYLE) & SS_SUNKEN);
  EXPECT_EQ(EntryState(box), std::make_pair(std::string(), true));
  EXPECT_TRUE(GetWindowLongA(Entry(box), GWL_STYLE) & ES_AUTOHSCROLL);
  // The dialog manager draws a bordered entry with a sunken client edge.
  EXPECT_TRUE((GetWindowLongA(Entry(box), GWL_STYLE) & WS_BORDER) ||
              (GetWindowLongA(Entry(box), GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
  EXPECT_EQ(ItemText(box, IDOK), "确认输入(&O)");
  EXPECT_EQ(GetWindowLongA(GetDlgItem(box, IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_EQ(ItemText(box, IDCANCEL), "取消(&C)");

  RECT rect = WindowRect(box);
  EXPECT_NEAR((rect.left + rect.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((rect.top + rect.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  RECT promptRect = WindowRect(prompt), entryRect = WindowRect(Entry(box));
  RECT okRect = WindowRect(GetDlgItem(box, IDOK)),
       cancelRect = WindowRect(GetDlgItem(box, IDCANCEL));
  EXPECT_LT(promptRect.bottom, entryRect.top) << "prompt above the entry";
  EXPECT_LT(entryRect.bottom, okRect.top) << "entry above the buttons";
  EXPECT_EQ(okRect.top, cancelRect.top) << "buttons side by side";
  EXPECT_LT(okRect.right, cancelRect.left);

  ASSERT_TRUE(BringToForeground(box));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Find, FoundTextIsSelectedWithTheCaretAtItsEndEveryTime) {
  PlaceText(kDocument);
  Select(0, 0);
  FindTyped("中文");
  EXPECT_TRUE(WaitUntil([&] { return GetSelection() == Selection{11, 15}; })) << GetSelection();
  EXPECT_EQ(Focus(), TextArea());
  POINT caret = CaretPosition();
  EXPECT_NEAR(caret.x, PositionOfByte(15).x, 2) << "the caret stands at the end of the selection";
  EXPECT_EQ(caret.y, PositionOfByte(15).y);

  // The second Find offers the first one's text, fully selected; confirmed as it is, it selects
  // the same first occurrence.
  Select(0, 0);
  HWND box = OpenFind();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(EntryState(box), std::make_pair(std::string("中文"), true));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(WaitUntil([&] { return GetSelection() == Selection{11, 15}; })) << GetSelection();
  EXPECT_EQ(Text(), kDocument);
  EXPECT_FALSE(IsModified());
}

struct NotFoundCase {
  const char* name;
  const char* text;
  const char* sought;
};

class NotFound : public Find, public testing::WithParamInterface<NotFoundCase> {};

TEST_P(NotFound, ShowsTheMessageAndKeepsTheSelection) {
  PlaceText(GetParam().text);
  Selection before = GetSelection();
  FindTyped(GetParam().sought);
  HWND message = program_.WaitForDialog("信息：");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(MessageText(message), "没有找到指定文件");
  EXPECT_NE(GetDlgItem(message, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(message, IDCANCEL), nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the message box is task-modal";
  PressButton(message, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
  EXPECT_EQ(GetSelection(), before);
  EXPECT_EQ(Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, NotFound,
                         testing::Values(NotFoundCase{"CaseIsDistinguished", "abc", "ABC"},
                                         NotFoundCase{"NeverOnATrailByte", "\x81\x79", "y"},
                                         NotFoundCase{"LongerThanTheText", "ab", "abc"},
                                         NotFoundCase{"EmptyInEmpty", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Dismissal { CancelButton, Escape, CloseBox };

class Cancelled : public Find, public testing::WithParamInterface<Dismissal> {};

TEST_P(Cancelled, KeepsTheRememberedTextAndChangesNothing) {
  PlaceText(kDocument);
  FindTyped("Def");
  ASSERT_TRUE(WaitUntil([&] { return GetSelection() == Selection{15, 18}; }));
  Select(2, 4);  // 一

  HWND box = OpenFind();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(BringToForeground(box));
  TypeText("第一");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(Entry(box)) == "第一"; }));
  switch (GetParam()) {
    case Dismissal::CancelButton:
      PressButton(box, IDCANCEL);
      break;
    case Dismissal::Escape:
      PressKey(VK_ESCAPE);
      break;
    case Dismissal::CloseBox:
      PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  Sleep(200);
  EXPECT_TRUE(NoDialogOpen());
  EXPECT_EQ(GetSelection(), (Selection{2, 4}));

  box = OpenFind();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(EntryState(box), std::make_pair(std::string("Def"), true));
  PressButton(box, IDCANCEL);
}

std::string DismissalName(const testing::TestParamInfo<Dismissal>& info) {
  switch (info.param) {
    case Dismissal::CancelButton:
      return "CancelButton";
    case Dismissal::Escape:
      return "Escape";
    case Dismissal::CloseBox:
      return "CloseBox";
  }
  return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Ways, Cancelled,
                         testing::Values(Dismissal::CancelButton, Dismissal::Escape,
                                         Dismissal::CloseBox),
                         DismissalName);

TEST_F(Find, AnEmptyEntryIsRememberedAndPutsTheCaretAtTheStart) {
  PlaceText(kDocument);
  FindTyped("abc");
  ASSERT_TRUE(WaitUntil([&] { return GetSelection() == Selection{8, 11}; }));

  FindTyped("");
  EXPECT_TRUE(WaitUntil([&] { return GetSelection() == Selection{0, 0}; })) << GetSelection();
  EXPECT_TRUE(NoDialogOpen());

  HWND box = OpenFind();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(EntryState(box), std::make_pair(std::string(), true));
  PressButton(box, IDCANCEL);
}

// In the test's own process: what the user confirms is the program-wide LastSearchText until the
// exit hook releases it.
TEST(FindInProcess, TheConfirmedTextLivesUntilTheExitHook) {
  std::unique_ptr<MainWindow> window = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  window->Text().SetText("abc中文");
  LastSearchText.reset();
  AnswerModalDialog([&] { FindInDocument(*window); },
                    [](HWND box) {
                      SetDlgItemTextA(box, kInputBoxEntryId, "中文");
                      PressButton(box, IDOK);
                    });
  ASSERT_NE(LastSearchText, nullptr);
  EXPECT_EQ(*LastSearchText, "中文");
  EXPECT_EQ(window->Text().GetSelectedText(), "中文");
  EXPECT_EQ(window->Text().GetSelectionStart(), 3);

  ReleaseGlobals();
  EXPECT_EQ(LastSearchText, nullptr);
}

}  // namespace
