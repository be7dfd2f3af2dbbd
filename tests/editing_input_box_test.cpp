// InputBox on its own, shown in the test process and answered from a second thread: what it looks
// like, and what confirming, cancelling and closing do to the text.
#include <gtest/gtest.h>

#include "editing/input_box.h"
#include "editing_fixture.h"

using namespace driver;

namespace {

bool Ask(std::string_view prompt, std::string_view caption, std::string& text,
         const std::function<void(HWND box)>& answer) {
  bool confirmed = false;
  editing::AnswerModalDialog([&] { confirmed = InputBox(nullptr, prompt, caption, text); }, answer);
  return confirmed;
}

TEST(InputBox, LooksAsAskedWithAPromptInASunkenFrameAndTheInitialTextSelected) {
  std::string text = "起始 text";
  bool confirmed = Ask("请输入欲查找的文本", "查找文本", text, [](HWND box) {
    EXPECT_EQ(WindowText(box), "查找文本");
    HWND prompt = GetDlgItem(box, kInputBoxPromptId);
    EXPECT_EQ(WindowText(prompt), "请输入欲查找的文本");
    LONG promptStyle = GetWindowLongA(prompt, GWL_STYLE);
    EXPECT_EQ(promptStyle & SS_TYPEMASK, SS_LEFT) << "left-aligned and wrapping";
    EXPECT_TRUE(promptStyle & SS_SUNKEN);

    HWND entry = GetDlgItem(box, kInputBoxEntryId);
    EXPECT_EQ(WindowText(entry), "起始 text");
    DWORD start = 0, end = 0;
    SendMessageA(entry, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, DWORD(GetWindowTextLengthW(entry)));

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "宋体");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    PressButton(box, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
}

TEST(InputBox, WithoutCaptionOrPromptShowsTheDefaultCaptionAndNoFrame) {
  std::string text;
  Ask("", "", text, [](HWND box) {
    EXPECT_EQ(WindowText(box), "请输入：");
    EXPECT_EQ(GetDlgItem(box, kInputBoxPromptId), nullptr);
    EXPECT_NE(GetDlgItem(box, kInputBoxEntryId), nullptr);
    PressButton(box, IDCANCEL);
  });
}

enum class Answer { Confirm, Cancel, CloseBox };

struct AnswerCase {
  const char* name;
  const char* typed;  // null: the entry is left as it starts
  Answer answer;
  bool confirmed;
  const char* text;
};

class InputBoxAnswers : public testing::TestWithParam<AnswerCase> {};

TEST_P(InputBoxAnswers, DecideWhatTheTextBecomes) {
  const AnswerCase& c = GetParam();
  std::string text = "旧的";
  bool confirmed = Ask("提示", "标题", text, [&](HWND box) {
    if (c.typed) SetWindowTextA(GetDlgItem(box, kInputBoxEntryId), c.typed);
    switch (c.answer) {
      case Answer::Confirm:
        PressButton(box, IDOK);
        break;
      case Answer::Cancel:
        PressButton(box, IDCANCEL);
        break;
      case Answer::CloseBox:
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
  });
  EXPECT_EQ(confirmed, c.confirmed);
  EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputBoxAnswers,
    testing::Values(AnswerCase{"ConfirmTyped", "新的 text", Answer::Confirm, true, "新的 text"},
                    AnswerCase{"ConfirmAsOffered", nullptr, Answer::Confirm, true, "旧的"},
                    AnswerCase{"ConfirmEmpty", "", Answer::Confirm, true, ""},
                    AnswerCase{"Cancel", "新的", Answer::Cancel, false, "旧的"},
                    AnswerCase{"CloseBox", "新的", Answer::CloseBox, false, "旧的"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
