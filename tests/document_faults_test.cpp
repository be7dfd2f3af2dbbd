// Saves that fail, through the real program under Wine: a full disk, a read-only target or
// folder, a target held open by another program, a folder gone, a folder in the file's place.
// Each time the old file keeps its bytes, no temporary file is left, the text area keeps its text
// and its modified flag, and the user is told.
#include <gtest/gtest.h>

#include "document_fixture.h"

using namespace document;
using namespace driver;

namespace {

const std::string kOldBytes = "磁盘上原来的内容\r\n不能丢。\r\n";

// Some 200 kB: more than the small disk has left once it is filled.
std::string LongDocument() {
  std::string text;
  while (text.size() < 200000) text += "一行要保存的文字，用来填满磁盘。\r\n";
  return text;
}

std::string SmallDisk() {
  return SessionDrive("QUORVALE_SMALL_DISK");
}
std::string ReadOnlyDisk() {
  return SessionDrive("QUORVALE_READ_ONLY_DISK");
}

// The same file seen through the read-only view of the small disk.
std::string OnReadOnlyView(const std::string& path) {
  return ReadOnlyDisk() + path.substr(SmallDisk().size());
}

// A file that takes all but a few kilobytes of the room left on its disk, until it is removed.
class DiskFiller {
 public:
  explicit DiskFiller(const std::string& disk) : path_(disk + "filler.bin") {
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExA(disk.c_str(), &free, nullptr, nullptr)) return;
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string block(65536, 'f');
    ULONGLONG wanted = free.QuadPart > 16384 ? free.QuadPart - 16384 : 0;
    for (ULONGLONG done = 0; done < wanted;) {
      DWORD chunk = DWORD(std::min<ULONGLONG>(block.size(), wanted - done)), written = 0;
      if (!WriteFile(file, block.data(), chunk, &written, nullptr) || written == 0) break;
      done += written;
    }
    CloseHandle(file);
    GetDiskFreeSpaceExA(disk.c_str(), &free, nullptr, nullptr);
    left_ = free.QuadPart;
  }
  ~DiskFiller() { DeleteFileA(path_.c_str()); }
  DiskFiller(const DiskFiller&) = delete;
  DiskFiller& operator=(const DiskFiller&) = delete;

  ULONGLONG Left() const { return left_; }

 private:
  std::string path_;
  ULONGLONG left_ = ~0ULL;
};

enum class Fault {
  DiskFull,
  ReadOnlyTarget,
  ReadOnlyFolder,
  HeldOpen,
  MissingFolder,
  FolderAsName
};

struct FaultCase {
  const char* name;
  Fault fault;
};

bool OnSmallDisk(Fault fault) {
  return fault == Fault::DiskFull || fault == Fault::ReadOnlyFolder;
}

class SaveFailure : public DocumentProgram, public testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    if (OnSmallDisk(GetParam().fault) && (SmallDisk().empty() || ReadOnlyDisk().empty()))
      GTEST_SKIP() << "the session has no small disk (it needs root)";
    DocumentProgram::SetUp();
    folder_.emplace(OnSmallDisk(GetParam().fault) ? SmallDisk() : TestFolder());
    ASSERT_TRUE(folder_->Created());
  }

  // Where the old file is to be found once the fault is in place.
  std::string checkFolder_;
  std::string checkFile_;
  std::optional<ScratchFolder> folder_;
};

TEST_P(SaveFailure, KeepsTheOldFileTheTextAndTheFlagAndSaysSo) {
  const Fault fault = GetParam().fault;
  const std::string target = *folder_ / "target.txt";
  ASSERT_TRUE(PutFile(target, kOldBytes));
  const std::string path = fault == Fault::ReadOnlyFolder ? OnReadOnlyView(target) : target;
  OpenFile(path);
  PlaceText(LongDocument());
  Type("!");
  ASSERT_TRUE(WaitUntil([&] { return IsModified(); }));
  const std::string text = Text();
  ASSERT_EQ(text, LongDocument() + "!");

  checkFolder_ = folder_->Path();
  checkFile_ = target;
  std::optional<DiskFiller> filler;
  std::optional<FileHolder> holder;
  const std::string moved = folder_->Path() + "-moved";
  switch (fault) {
    case Fault::DiskFull:
      filler.emplace(SmallDisk());
      ASSERT_LT(filler->Left(), text.size());
      break;
    case Fault::ReadOnlyTarget:
      ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
      break;
    case Fault::ReadOnlyFolder:
      ASSERT_FALSE(PutFile(OnReadOnlyView(*folder_ / "probe.txt"), "")) << "the view is writable";
      break;
    case Fault::HeldOpen:
      holder.emplace(target, /*shareRead=*/true);
      ASSERT_TRUE(holder->Holding());
      break;
    case Fault::MissingFolder:
      ASSERT_TRUE(MoveFileA(folder_->Path().c_str(), moved.c_str()));
      checkFolder_ = moved;
      checkFile_ = moved + "\\target.txt";
      break;
    case Fault::FolderAsName:
      ASSERT_TRUE(DeleteFileA(target.c_str()));
      ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
      checkFile_ = target + "\\inside.txt";
      ASSERT_TRUE(PutFile(checkFile_, kOldBytes));
      break;
  }
  const std::vector<std::string> entries = FolderEntries(checkFolder_);

  ASSERT_TRUE(Choose(kSave));
  HWND message = WaitForMessage("信息：", "文件保存失败：" + path);
  ASSERT_NE(message, nullptr) << "a failed save is never silent";
  PressButton(message, IDOK);
  ASSERT_TRUE(Idle());

  EXPECT_EQ(FileBytes(checkFile_), kOldBytes);
  EXPECT_EQ(FolderEntries(checkFolder_), entries) << "no temporary file is left";
  EXPECT_EQ(Text(), text);
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(CurrentPath(), path);
  EXPECT_TRUE(program_.Running());
  if (fault == Fault::MissingFolder) {
    EXPECT_EQ(GetFileAttributesA(folder_->Path().c_str()), INVALID_FILE_ATTRIBUTES);
    MoveFileA(moved.c_str(), folder_->Path().c_str());
  }
  if (fault == Fault::FolderAsName) {
    EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  }
}

INSTANTIATE_TEST_SUITE_P(Document, SaveFailure,
                         testing::Values(FaultCase{"DiskFull", Fault::DiskFull},
                                         FaultCase{"ReadOnlyTarget", Fault::ReadOnlyTarget},
                                         FaultCase{"ReadOnlyFolder", Fault::ReadOnlyFolder},
                                         FaultCase{"HeldOpen", Fault::HeldOpen},
                                         FaultCase{"MissingFolder", Fault::MissingFolder},
                                         FaultCase{"FolderAsName", Fault::FolderAsName}),
                         [](const auto& info) { return info.param.name; });

// The commands that save into a file chosen in the save dialog.
enum class Saver { ExitThroughGuard, NewThroughGuard, Save, SaveAs };

struct SaverCase {
  const char* name;
  Saver saver;
};

class ChosenFileFailure : public DocumentProgram, public testing::WithParamInterface<SaverCase> {
 protected:
  void SetUp() override {
    DocumentProgram::SetUp();
    ASSERT_TRUE(folder_.Created());
  }
  ScratchFolder folder_;
};

TEST_P(ChosenFileFailure, KeepsTheProgramTheTextAndTheChosenFile) {
  const Saver saver = GetParam().saver;
  const std::string chosen = folder_ / "read-only.txt";
  ASSERT_TRUE(PutFile(chosen, kOldBytes));
  ASSERT_TRUE(SetFileAttributesA(chosen.c_str(), FILE_ATTRIBUTE_READONLY));
  PlaceText("要保住的文字");
  Type("!");
  ASSERT_TRUE(WaitUntil([&] { return IsModified(); }));

  switch (saver) {
    case Saver::ExitThroughGuard:
    case Saver::NewThroughGuard: {
      ASSERT_TRUE(Choose(saver == Saver::ExitThroughGuard ? kExit : kNew));
      HWND question = WaitForQuestion();
      ASSERT_NE(question, nullptr);
      PressButton(question, IDYES);
      break;
    }
    case Saver::Save:
      ASSERT_TRUE(Choose(kSave));
      break;
    case Saver::SaveAs:
      ASSERT_TRUE(Choose(kSaveAs));
      break;
  }
  HWND dialog = WaitForFileDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  ConfirmFileDialog(dialog, chosen);
  ASSERT_TRUE(ReplaceExistingFile());
  HWND message = WaitForMessage("信息：", "文件保存失败：" + chosen);
  ASSERT_NE(message, nullptr);
  PressButton(message, IDOK);
  ASSERT_TRUE(Idle());

  EXPECT_TRUE(program_.Running()) << "the program does not end over text it could not save";
  EXPECT_EQ(Text(), "要保住的文字!");
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(FileBytes(chosen), kOldBytes);
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"read-only.txt"});
}

INSTANTIATE_TEST_SUITE_P(Document, ChosenFileFailure,
                         testing::Values(SaverCase{"ExitThroughGuard", Saver::ExitThroughGuard},
                                         SaverCase{"NewThroughGuard", Saver::NewThroughGuard},
                                         SaverCase{"Save", Saver::Save},
                                         SaverCase{"SaveAs", Saver::SaveAs}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
