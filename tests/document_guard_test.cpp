// The unsaved-changes guard through the real program under Wine, for every command that throws
// the document away or ends the program: no question when nothing changed, and Cancel, No and
// Yes with the save dialog confirmed or cancelled.
#include <gtest/gtest.h>

#include <thread>

#include "document_fixture.h"

using namespace document;
using namespace driver;

namespace {

enum class Command { New, Clear, Open, Exit, Close, AltF4, WmClose };

struct CommandCase {
  const char* name;
  Command command;
};

bool EndsTheProgram(Command command) {
  return command == Command::Exit || command == Command::Close || command == Command::AltF4 ||
         command == Command::WmClose;
}

std::string CaseName(const testing::TestParamInfo<CommandCase>& info) {
  return info.param.name;
}

class Guard : public DocumentProgram {
 protected:
  void SetUp() override {
    DocumentProgram::SetUp();
    ASSERT_TRUE(folder_.Created());
  }

  void Run(Command command) {
    switch (command) {
      case Command::New:
        ASSERT_TRUE(Choose(kNew));
        break;
      case Command::Clear:
        ASSERT_TRUE(ChooseClear());
        break;
      case Command::Open:
        ASSERT_TRUE(Choose(kOpen));
        break;
      case Command::Exit:
        ASSERT_TRUE(Choose(kExit));
        break;
      case Command::Close: {
        ASSERT_TRUE(BringToForeground(main_));
        POINT centre = Centre(program_.Control(ControlId::关闭));
        ClickAt(centre.x, centre.y);
        break;
      }
      case Command::AltF4:
        ASSERT_TRUE(BringToForeground(main_));
        PressKeys({VK_MENU}, VK_F4);
        break;
      case Command::WmClose:
        PostMessageA(main_, WM_CLOSE, 0, 0);
        break;
    }
  }

  // A document opened from a file and then changed and changed back: modified, with a CurrentPath.
  void MakeOpenedModifiedDocument() {
    ASSERT_TRUE(PutFile(opened_, kOpenedText));
    OpenFile(opened_);
    ChangeAndChangeBack();
  }

  // After Cancel, or a Yes whose save did not happen: everything as it was, the program running.
  void ExpectNothingChanged() {
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Text(), kOpenedText);
    EXPECT_TRUE(IsModified());
    EXPECT_EQ(CurrentPath(), opened_);
    EXPECT_TRUE(program_.Running());
    EXPECT_EQ(FileBytes(opened_), kOpenedText);
  }

  // After No, or a Yes whose save happened: the command went on.
  void ExpectCommandWentOn(Command command) {
    if (EndsTheProgram(command)) {
      EXPECT_EQ(program_.WaitForExit(), 0u);
      return;
    }
    if (command == Command::Open) {
      HWND dialog = WaitForFileDialog("打开");
      ASSERT_NE(dialog, nullptr) << "Open goes on with its dialog";
      PressButton(dialog, IDCANCEL);
      ASSERT_TRUE(Idle());
      EXPECT_EQ(Text(), kOpenedText) << "a cancelled Open changes nothing";
      return;
    }
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(CurrentPath(), opened_) << "New and Clear keep CurrentPath";
  }

  const std::string kOpenedText = "打开的文件\r\n第二行";
  ScratchFolder folder_;
  std::string opened_ = folder_ / "opened.txt";
};

class GuardOnAnUnmodifiedDocument : public Guard,
                                    public testing::WithParamInterface<CommandCase> {};

TEST_P(GuardOnAnUnmodifiedDocument, LetsTheCommandGoOnWithoutAQuestion) {
  PlaceText("别人放进来的文字");
  ASSERT_FALSE(IsModified());
  Run(GetParam().command);
  if (EndsTheProgram(GetParam().command)) {
    EXPECT_EQ(program_.WaitForExit(), 0u);
  } else {
    EXPECT_TRUE(WaitUntil([&] { return Text().empty(); }));
  }
  EXPECT_EQ(program_.WaitForDialog("询问", 300ms), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Document, GuardOnAnUnmodifiedDocument,
    testing::Values(CommandCase{"New", Command::New}, CommandCase{"Clear", Command::Clear},
                    CommandCase{"Exit", Command::Exit}, CommandCase{"Close", Command::Close},
                    CommandCase{"AltF4", Command::AltF4}, CommandCase{"WmClose", Command::WmClose}),
    CaseName);

class GuardAnswers : public Guard, public testing::WithParamInterface<CommandCase> {
 protected:
  // Modifies the opened document, runs the case's command and answers the guard's question.
  void RunAndAnswer(int button) {
    MakeOpenedModifiedDocument();
    Run(GetParam().command);
    HWND question = WaitForQuestion();
    ASSERT_NE(question, nullptr) << "changed and changed back is still modified";
    PressButton(question, button);
  }
};

TEST_P(GuardAnswers, CancelLeavesEverythingAsItWas) {
  ASSERT_NO_FATAL_FAILURE(RunAndAnswer(IDCANCEL));
  ExpectNothingChanged();
  EXPECT_EQ(WaitForFileDialog(nullptr, 300ms), nullptr);
}

TEST_P(GuardAnswers, NoThrowsTheChangesAwayWithoutADialog) {
  ASSERT_NO_FATAL_FAILURE(RunAndAnswer(IDNO));
  if (GetParam().command != Command::Open) {
    EXPECT_EQ(WaitForFileDialog(nullptr, 500ms), nullptr) << "no save dialog after No";
  }
  ExpectCommandWentOn(GetParam().command);
  EXPECT_EQ(FileBytes(opened_), kOpenedText);
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"opened.txt"});
}

TEST_P(GuardAnswers, YesWritesTheTextIntoTheChosenFileFirst) {
  ASSERT_NO_FATAL_FAILURE(RunAndAnswer(IDYES));
  HWND dialog = WaitForFileDialog("保存");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "opened.txt") << "the last confirmed path";
  const std::string saved = folder_ / "saved.txt";
  ConfirmFileDialog(dialog, saved);
  ExpectCommandWentOn(GetParam().command);
  EXPECT_EQ(FileBytes(saved), kOpenedText);
  EXPECT_EQ(FileBytes(opened_), kOpenedText);
}

TEST_P(GuardAnswers, YesWithTheSaveDialogCancelledStopsTheCommand) {
  ASSERT_NO_FATAL_FAILURE(RunAndAnswer(IDYES));
  HWND dialog = WaitForFileDialog("保存");
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ExpectNothingChanged();
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"opened.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Document, GuardAnswers,
    testing::Values(CommandCase{"New", Command::New}, CommandCase{"Clear", Command::Clear},
                    CommandCase{"Open", Command::Open}, CommandCase{"Exit", Command::Exit},
                    CommandCase{"Close", Command::Close}, CommandCase{"AltF4", Command::AltF4},
                    CommandCase{"WmClose", Command::WmClose}),
    CaseName);

TEST_F(Guard, AnEmptyModifiedDocumentSavedThroughYesEmptiesTheChosenFile) {
  const std::string chosen = folder_ / "chosen.txt";
  ASSERT_TRUE(PutFile(chosen, "这些内容会被清掉"));
  ChangeAndChangeBack();
  ASSERT_EQ(Text(), "");
  Run(Command::New);
  HWND question = WaitForQuestion();
  ASSERT_NE(question, nullptr);
  PressButton(question, IDYES);
  HWND dialog = WaitForFileDialog("保存");
  ASSERT_NE(dialog, nullptr);
  ConfirmFileDialog(dialog, chosen);
  ASSERT_TRUE(ReplaceExistingFile());
  ASSERT_TRUE(Idle());
  EXPECT_EQ(FileBytes(chosen), "");
  EXPECT_FALSE(IsModified());
}

TEST_F(Guard, TheEndOfTheSessionAsksAndACancelKeepsTheProgram) {
  auto queryEndSession = [&] {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 15000, &answer);
    return answer;
  };
  EXPECT_EQ(queryEndSession(), DWORD_PTR(TRUE)) << "nothing to lose";
  EXPECT_EQ(program_.WaitForDialog("询问", 300ms), nullptr);

  MakeOpenedModifiedDocument();
  DWORD_PTR answer = TRUE;
  std::thread asking([&] { answer = queryEndSession(); });
  HWND question = WaitForQuestion();
  if (question) PressButton(question, IDCANCEL);
  asking.join();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(answer, DWORD_PTR(FALSE));
  ExpectNothingChanged();
}

}  // namespace
