// The Edit menu's selection, clipboard and case commands and the scroll-bar rule, through the real
// program: menus opened from 超级按钮2 and by a right click, real typing, the session's clipboard.
#include "editing_fixture.h"

using namespace driver;
using namespace editing;

namespace {

constexpr char kDocument[] = "第一行 line\r\nabc中文Def";

class EditCommands : public EditingProgram {};

class FromEitherMenu : public EditingProgram, public testing::WithParamInterface<ControlId> {};

TEST_P(FromEitherMenu, SelectAllThenCutThenPasteRoundTrips) {
  PlaceText(kDocument);
  SetClipboardText("earlier");

  ASSERT_TRUE(Choose(GetParam(), kSelectAll));
  EXPECT_EQ(GetSelection(), (Selection{0, int(sizeof kDocument) - 1}));
  EXPECT_EQ(Focus(), TextArea());

  ASSERT_TRUE(Choose(GetParam(), kCut));
  EXPECT_TRUE(WaitUntil([&] { return Text().empty(); })) << Text();
  EXPECT_EQ(ClipboardText(), kDocument);
  EXPECT_TRUE(IsModified());
  DWORD_PTR canUndo = 0;
  SendMessageTimeoutA(TextArea(), EM_CANUNDO, 0, 0, SMTO_ABORTIFHUNG, 5000, &canUndo);
  EXPECT_TRUE(canUndo) << "the cut is an ordinary edit that can be undone";

  ASSERT_TRUE(Choose(GetParam(), kPaste));
  EXPECT_TRUE(WaitUntil([&] { return Text() == kDocument; })) << Text();
  EXPECT_EQ(GetSelection(), (Selection{int(sizeof kDocument) - 1, int(sizeof kDocument) - 1}));
}

INSTANTIATE_TEST_SUITE_P(EditMenu, FromEitherMenu,
                         testing::Values(ControlId::超级按钮2, ControlId::编辑框1),
                         [](const auto& info) {
                           return info.param == ControlId::超级按钮2 ? "ImageButton" : "RightClick";
                         });

TEST_F(EditCommands, SelectAllOnAnEmptyTextLeavesTheCaretAtZeroAndFocusesTheTextArea) {
  ASSERT_TRUE(Choose(ControlId::超级按钮2, kSelectAll));
  EXPECT_EQ(GetSelection(), (Selection{0, 0}));
  EXPECT_EQ(Focus(), TextArea());
}

TEST_F(EditCommands, CopyPutsTheSelectionOnTheClipboardAndChangesNothingElse) {
  PlaceText(kDocument);
  Select(16, 20);  // 中文
  SetClipboardText("earlier");
  ASSERT_TRUE(Choose(ControlId::超级按钮2, kCopy));
  EXPECT_EQ(ClipboardText(), "中文");
  EXPECT_EQ(Text(), kDocument);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(GetSelection(), (Selection{16, 20}));
}

struct NothingSelectedCase {
  const char* name;
  EditMenuItem item;
  const char* clipboard;
};

class NothingSelected : public EditingProgram,
                        public testing::WithParamInterface<NothingSelectedCase> {};

// With nothing selected Cut cuts nothing: a Delete key press would remove the character after the
// caret here, as the menu is opened by a right click and the text area keeps the focus.
TEST_P(NothingSelected, LeavesTextAndClipboardAsTheyWere) {
  PlaceText("abc");
  Select(1, 1);
  SetClipboardText(GetParam().clipboard);
  ASSERT_TRUE(Choose(ControlId::编辑框1, GetParam().item));
  Sleep(200);  // anything that would still arrive through the input queue
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(ClipboardText(), GetParam().clipboard);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(GetSelection(), (Selection{1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Commands, NothingSelected,
                         testing::Values(NothingSelectedCase{"Cut", kCut, "keep"},
                                         NothingSelectedCase{"Copy", kCopy, "keep"},
                                         NothingSelectedCase{"PasteWithoutText", kPaste, "<none>"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CaseCommand {
  const char* name;
  EditMenuItem item;
  const char* text;
  int start, end;
  const char* expected;
};

class CaseCommands : public EditingProgram, public testing::WithParamInterface<CaseCommand> {};

TEST_P(CaseCommands, ReplaceTheSelectionByItsConvertedForm) {
  const CaseCommand& c = GetParam();
  PlaceText(c.text);
  Select(c.start, c.end);
  ASSERT_TRUE(Choose(ControlId::超级按钮2, c.item));
  EXPECT_TRUE(WaitUntil([&] { return Text() == c.expected; })) << Text();
  EXPECT_TRUE(IsModified()) << "set also when no letter changed";
  EXPECT_EQ(GetSelection(), (Selection{c.end, c.end}));
  EXPECT_EQ(Focus(), TextArea());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaseCommands,
    testing::Values(CaseCommand{"UpperAll", kToUpper, "abc中文Def", 0, 10, "ABC中文DEF"},
                    CaseCommand{"UpperKeepsLuan", kToUpper, "\x81\x79y", 0, 3, "\x81\x79Y"},
                    CaseCommand{"UpperPart", kToUpper, "abcdef", 2, 4, "abCDef"},
                    CaseCommand{"LowerAll", kToLower, "ABC中文dEF", 0, 10, "abc中文def"},
                    CaseCommand{"LowerKeepsTrailZ", kToLower,
                                "\x81Z"
                                "Z",
                                0, 3,
                                "\x81Z"
                                "z"},
                    CaseCommand{"NoLetters", kToUpper, "中文 123", 0, 8, "中文 123"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditCommands, CaseCommandWithNothingSelectedOnlyFocusesTheTextArea) {
  PlaceText("abc");
  Select(1, 1);
  ASSERT_TRUE(Choose(ControlId::超级按钮2, kToUpper));
  EXPECT_EQ(Focus(), TextArea());
  EXPECT_EQ(Text(), "abc");
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(GetSelection(), (Selection{1, 1}));
}

// ---- The scroll-bar rule -----------------------------------------------------------------------

class ScrollBarRule : public EditingProgram {};

TEST_F(ScrollBarRule, TypingAcrossTheThresholdShowsAndRemovesTheVerticalBar) {
  PlaceText(std::string(2155, 'a'));
  FocusTextAreaAtEnd();
  TypeText("b");
  ASSERT_TRUE(WaitUntil([&] { return Text().size() == 2156; }));
  EXPECT_TRUE(WaitUntil([&] { return HasVerticalScrollBar(); })) << "2156 bytes";
  EXPECT_FALSE(GetWindowLongA(TextArea(), GWL_STYLE) & WS_HSCROLL);

  PressKey(VK_BACK);
  ASSERT_TRUE(WaitUntil([&] { return Text().size() == 2155; }));
  EXPECT_TRUE(WaitUntil([&] { return !HasVerticalScrollBar(); })) << "2155 bytes";
}

TEST_F(ScrollBarRule, ALineBreakCountsTwoBytes) {
  PlaceText(std::string(2153, 'a'));
  FocusTextAreaAtEnd();
  TypeText("b");
  ASSERT_TRUE(WaitUntil([&] { return Text().size() == 2154; }));
  EXPECT_FALSE(HasVerticalScrollBar());
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return Text().size() == 2156; }));
  EXPECT_TRUE(WaitUntil([&] { return HasVerticalScrollBar(); }));
}

// 1078 double-byte characters are 2156 bytes: the rule counts bytes, not characters.
TEST_F(ScrollBarRule, ADoubleByteCharacterCountsTwoBytes) {
  std::string wide;
  for (int i = 0; i < 1078; ++i) wide += "中";
  SetClipboardText(wide);
  ASSERT_TRUE(Choose(ControlId::超级按钮2, kPaste));
  ASSERT_TRUE(WaitUntil([&] { return Text() == wide; }));
  EXPECT_TRUE(WaitUntil([&] { return HasVerticalScrollBar(); }));

  ASSERT_TRUE(Choose(ControlId::超级按钮2, kSelectAll));
  ASSERT_TRUE(Choose(ControlId::超级按钮2, kCut));
  ASSERT_TRUE(WaitUntil([&] { return Text().empty(); }));
  EXPECT_TRUE(WaitUntil([&] { return !HasVerticalScrollBar(); }));
}

TEST_F(ScrollBarRule, ManyShortLinesBelowTheThresholdShowNoBar) {
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += "a\r\n";
  PlaceText(lines);
  FocusTextAreaAtEnd();
  TypeText("b");
  ASSERT_TRUE(WaitUntil([&] { return Text().size() == lines.size() + 1; }));
  Sleep(200);
  EXPECT_FALSE(HasVerticalScrollBar());
}

}  // namespace
