// Open, Save and Save As through the real program under Wine with its real file dialogs: what the
// dialogs show, where the text goes, what CurrentPath becomes and when the document is clean.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include "document_fixture.h"

using namespace document;
using namespace driver;

namespace {

class FileCommands : public DocumentProgram {
 protected:
  void SetUp() override {
    DocumentProgram::SetUp();
    ASSERT_TRUE(folder_.Created());
  }

  // Saves through 保存 when no dialog is expected.
  void SaveWithoutDialog() {
    ASSERT_TRUE(Choose(kSave));
    EXPECT_EQ(WaitForFileDialog(nullptr, 700ms), nullptr);
    ASSERT_TRUE(Idle());
  }

  GUITHREADINFO ProgramThread() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui);
    return gui;
  }

  ScratchFolder folder_;
};

TEST_F(FileCommands, OpenShowsTheChosenFileAndMakesItCurrent) {
  const std::string path = folder_ / "第一个.txt";
  ASSERT_TRUE(PutFile(path, "第一行\r\n第二行"));

  ASSERT_TRUE(Choose(kOpen));
  HWND dialog = WaitForFileDialog("打开");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, IDOK), "打开(&O)") << "a file-open dialog";
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "") << "no file was confirmed yet";
  HWND types = GetDlgItem(dialog, cmb1);
  EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(WindowText(types), "文本文件(*.txt)");
  ConfirmFileDialog(dialog, path);

  ASSERT_TRUE(WaitUntil([&] { return CurrentPath() == path; }));
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), "第一行\r\n第二行");
  EXPECT_FALSE(IsModified());
}

TEST_F(FileCommands, SaveOfAnUnmodifiedDocumentDoesNothing) {
  SaveWithoutDialog();

  const std::string path = folder_ / "a.txt";
  ASSERT_TRUE(PutFile(path, "as opened"));
  OpenFile(path);
  ASSERT_TRUE(PutFile(path, "changed by another program"));
  SaveWithoutDialog();
  EXPECT_EQ(FileBytes(path), "changed by another program");
  EXPECT_EQ(Text(), "as opened");
}

TEST_F(FileCommands, ACancelledOpenChangesNothing) {
  const std::string path = folder_ / "a.txt";
  ASSERT_TRUE(PutFile(path, "opened first"));
  OpenFile(path);
  Type(", then changed");
  ASSERT_TRUE(WaitUntil([&] { return IsModified(); }));
  const std::string typed = Text();

  ASSERT_TRUE(Choose(kOpen));
  HWND question = WaitForQuestion();
  ASSERT_NE(question, nullptr);
  PressButton(question, IDNO);
  HWND dialog = WaitForFileDialog("打开");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "a.txt");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), typed);
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(CurrentPath(), path);
}

TEST_F(FileCommands, ACancelledOpenBeforeAnyFileLeavesTheDocument) {
  PlaceText("放进来的文字");
  ASSERT_TRUE(Choose(kOpen));
  HWND dialog = WaitForFileDialog("打开");
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), "放进来的文字");
  EXPECT_EQ(CurrentPath(), "");
}

enum class Unreadable { Locked, TooLarge };

struct UnreadableCase {
  const char* name;
  Unreadable kind;
};

class OpenOfAnUnreadableFile : public FileCommands,
                               public testing::WithParamInterface<UnreadableCase> {};

TEST_P(OpenOfAnUnreadableFile, SaysSoAndChangesNothing) {
  const std::string current = folder_ / "current.txt";
  ASSERT_TRUE(PutFile(current, "the current file"));
  OpenFile(current);

  const std::string path = folder_ / "unreadable.txt";
  std::optional<FileHolder> holder;
  if (GetParam().kind == Unreadable::Locked) {
    ASSERT_TRUE(PutFile(path, "locked away"));
    holder.emplace(path, /*shareRead=*/false);
    ASSERT_TRUE(holder->Holding());
  } else {
    // Three gigabytes, sparse: more than the program can hold, and no room taken on disk.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 3LL << 30;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
  }

  ASSERT_TRUE(Choose(kOpen));
  HWND dialog = WaitForFileDialog("打开");
  ASSERT_NE(dialog, nullptr);
  ConfirmFileDialog(dialog, path);
  HWND message = WaitForMessage("信息：", "文件打开失败：" + path);
  ASSERT_NE(message, nullptr);
  PressButton(message, IDOK);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), "the current file");
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(CurrentPath(), current);
}

INSTANTIATE_TEST_SUITE_P(Document, OpenOfAnUnreadableFile,
                         testing::Values(UnreadableCase{"Locked", Unreadable::Locked},
                                         UnreadableCase{"TooLarge", Unreadable::TooLarge}),
                         [](const auto& info) { return info.param.name; });

TEST_F(FileCommands, OpenOfAnEmptyFileGivesAnEmptyDocument) {
  const std::string path = folder_ / "empty.txt";
  ASSERT_TRUE(PutFile(path, ""));
  PlaceText("before");
  OpenFile(path);
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(program_.WaitForDialog("信息：", 300ms), nullptr);
}

TEST_F(FileCommands, SaveWithoutCurrentPathAsksEveryTimeAndTheDocumentStaysModified) {
  Type("new document");
  const std::string path = folder_ / "new.txt";

  ASSERT_TRUE(Choose(kSave));
  HWND dialog = WaitForFileDialog("保存");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, IDOK), "保存(&S)") << "a file-save dialog";
  ConfirmFileDialog(dialog, path);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(FileBytes(path), "new document");
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(CurrentPath(), "");

  ASSERT_TRUE(Choose(kSave));
  dialog = WaitForFileDialog("保存");
  ASSERT_NE(dialog, nullptr) << "the chosen path was not remembered";
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "new.txt");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(Idle());

  ASSERT_TRUE(Choose(kExit));
  HWND question = WaitForQuestion();
  ASSERT_NE(question, nullptr) << "still modified";
  PressButton(question, IDCANCEL);
  EXPECT_TRUE(Idle());
}

TEST_F(FileCommands, SaveWithCurrentPathWritesThereAndShowsTheEndOfTheCleanText) {
  std::string lines;
  for (int i = 1; i <= 80; ++i) lines += "第" + std::to_string(i) + "行\r\n";
  const std::string path = folder_ / "long.txt";
  ASSERT_TRUE(PutFile(path, lines));
  OpenFile(path);
  Type("the end");
  PressKeys({VK_CONTROL}, VK_HOME);
  ASSERT_TRUE(
      WaitUntil([&] { return SendMessageA(TextArea(), EM_GETFIRSTVISIBLELINE, 0, 0) == 0; }));

  SaveWithoutDialog();
  EXPECT_EQ(FileBytes(path), lines + "the end");
  EXPECT_EQ(Text(), lines + "the end");
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(CurrentPath(), path);

  // The control counts in UTF-16 units under Wine; the text is short enough for the packed form.
  DWORD selection = DWORD(SendMessageA(TextArea(), EM_GETSEL, 0, 0));
  EXPECT_EQ(LOWORD(selection), HIWORD(selection)) << "nothing selected";
  std::string text = Text();
  int units = MultiByteToWideChar(936, 0, text.data(), int(text.size()), nullptr, 0);
  EXPECT_EQ(HIWORD(selection), units) << "the caret after the last character";
  EXPECT_GT(SendMessageA(TextArea(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the end is in view";
  EXPECT_EQ(ProgramThread().hwndFocus, TextArea());
}

TEST_F(FileCommands, SaveAsWritesTheChosenFileAndCurrentPathStays) {
  const std::string first = folder_ / "first.txt";
  const std::string second = folder_ / "second.txt";
  ASSERT_TRUE(PutFile(first, "原来的"));
  OpenFile(first);
  Type(" and more");

  ASSERT_TRUE(Choose(kSaveAs));
  HWND dialog = WaitForFileDialog("打开");
  ASSERT_NE(dialog, nullptr) << "the caption Open stored last";
  EXPECT_EQ(ItemText(dialog, IDOK), "保存(&S)") << "a file-save dialog";
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "first.txt");
  ConfirmFileDialog(dialog, second);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(FileBytes(second), "原来的 and more");
  EXPECT_EQ(FileBytes(first), "原来的");
  EXPECT_EQ(CurrentPath(), first);
  EXPECT_TRUE(IsModified());

  SaveWithoutDialog();
  EXPECT_EQ(FileBytes(first), "原来的 and more") << "the next Save still goes to the opened file";
  EXPECT_FALSE(IsModified());
}

TEST_F(FileCommands, SaveAsBeforeAnyCaptionWasStoredShowsTheSystemsOwn) {
  PlaceText("不会写出去");
  ASSERT_TRUE(Choose(kSaveAs));
  HWND dialog = WaitForFileDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  std::string caption = WindowText(dialog);
  EXPECT_FALSE(caption.empty());
  EXPECT_NE(caption, "打开");
  EXPECT_NE(caption, "保存");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), "不会写出去");
  EXPECT_TRUE(FolderEntries(folder_.Path()).empty());
}

TEST_F(FileCommands, AFileHoldingANulOpensCutAndIsWrittenBackShorter) {
  const std::string path = folder_ / "with-zero.txt";
  ASSERT_TRUE(PutFile(path, std::string("前半\r\n\0后半", 9)));
  OpenFile(path);
  EXPECT_EQ(Text(), "前半\r\n");
  ChangeAndChangeBack();
  SaveWithoutDialog();
  EXPECT_EQ(FileBytes(path), "前半\r\n");
  EXPECT_FALSE(IsModified());
}

TEST_F(FileCommands, AfterNewAModifiedEmptyDocumentIsSavedIntoCurrentPathWithoutADialog) {
  const std::string path = folder_ / "emptied.txt";
  ASSERT_TRUE(PutFile(path, "会被清空"));
  OpenFile(path);
  ASSERT_TRUE(Choose(kNew));
  ASSERT_TRUE(Idle());
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(CurrentPath(), path);

  ChangeAndChangeBack();
  SaveWithoutDialog();
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_FALSE(IsModified());
}

}  // namespace
