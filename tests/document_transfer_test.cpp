// The whole-file service and the text/bytes conversions in the test process: what reading tells
// apart, what a save carries over, and the bytes that go through unchanged.
#include <gtest/gtest.h>

#include <thread>

#include "document/common_dialog.h"
#include "document/text_bytes.h"
#include "document_fixture.h"
#include "platform/files.h"

using namespace document;
using namespace std::string_literals;

namespace {

struct Conversion {
  const char* name;
  std::string bytes;
  std::string text;
};

class BytesAndText : public testing::TestWithParam<Conversion> {};

TEST_P(BytesAndText, TextIsTheBytesBeforeTheFirstNul) {
  EXPECT_EQ(BytesToText(GetParam().bytes), GetParam().text);
  EXPECT_EQ(TextToBytes(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Transfer, BytesAndText,
    testing::Values(Conversion{"Empty", "", ""},
                    Conversion{"GbkWithCrLf", "第一行\r\n第二行\r\n", "第一行\r\n第二行\r\n"},
                    Conversion{"LfOnly", "一\n二\n", "一\n二\n"},
                    Conversion{"NulInside", "前\0后"s, "前"},
                    Conversion{"StartsWithNul", "\0after"s, ""},
                    Conversion{"TrailByteLikeAscii", "\x81\x7C|\x81\x40", "\x81\x7C|\x81\x40"}),
    [](const auto& info) { return info.param.name; });

struct FilterCase {
  const char* name;
  std::string filter;
  std::string list;
};

class FileTypeList : public testing::TestWithParam<FilterCase> {};

TEST_P(FileTypeList, SeparatorsBecomeNulsAndTheListEndsInAnExtraNul) {
  EXPECT_EQ(FilterList(GetParam().filter), GetParam().list);
}

INSTANTIATE_TEST_SUITE_P(
    Transfer, FileTypeList,
    testing::Values(
        FilterCase{"TheProgramsFilter", "文本文件(*.txt)|*.txt", "文本文件(*.txt)\0*.txt\0\0"s},
        FilterCase{"TwoTypesAndTrailingBlanks", "A|*.a|B|*.b \t\r\n", "A\0*.a\0B\0*.b\0\0"s},
        FilterCase{"AlreadyEndedByTwoBars", "A|*.a||", "A\0*.a\0\0"s},
        FilterCase{"EndedByOneBar", "A|*.a|", "A\0*.a\0\0\0"s}, FilterCase{"Empty", "", ""},
        FilterCase{"OnlyBlanks", " \t ", ""},
        // 0x81 0x7C is one character whose second byte has the value of "|".
        FilterCase{"BarAsTrailByte", "\x81\x7C|*.x", "\x81\x7C\0*.x\0\0"s}),
    [](const auto& info) { return info.param.name; });

class FileService : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.Created()); }
  ScratchFolder folder_;
};

TEST_F(FileService, ReadingTellsAnEmptyFileFromOneThatCannotBeRead) {
  ASSERT_TRUE(PutFile(folder_ / "empty.txt", ""));
  std::optional<Bytes> empty = ReadWholeFile(folder_ / "empty.txt");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(*empty, "");

  EXPECT_FALSE(ReadWholeFile("").has_value());
  EXPECT_FALSE(ReadWholeFile(folder_ / "missing.txt").has_value());
  EXPECT_FALSE(ReadWholeFile(folder_.Path()).has_value()) << "a folder";
}

TEST_F(FileService, ReadingGivesEveryByteIncludingNuls) {
  const std::string bytes = "\0前\r\n后\n\0\xFF"s;
  ASSERT_TRUE(PutFile(folder_ / "zeros.txt", bytes));
  EXPECT_EQ(ReadWholeFile(folder_ / "zeros.txt"), bytes);
}

TEST_F(FileService, AFileLockedByAnotherProgramCannotBeRead) {
  const std::string path = folder_ / "locked.txt";
  ASSERT_TRUE(PutFile(path, "locked"));
  FileHolder holder(path, /*shareRead=*/false);
  ASSERT_TRUE(holder.Holding());
  EXPECT_FALSE(ReadWholeFile(path).has_value());
}

TEST_F(FileService, AFileTooLargeToHoldIsRefusedWithoutStoppingTheProgram) {
  // Sparse: three gigabytes that take no room on disk.
  const std::string path = folder_ / "huge.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size{};
  size.QuadPart = 3LL << 30;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_FALSE(ReadWholeFile(path).has_value());
}

TEST_F(FileService, WritingAnEmptyNameTouchesNothing) {
  EXPECT_FALSE(WriteWholeFile("", "data"));
  EXPECT_TRUE(FolderEntries(folder_.Path()).empty());
}

TEST_F(FileService, ASaveReplacesTheFileAndLeavesNoTemporaryFile) {
  const std::string path = folder_ / "doc.txt";
  ASSERT_TRUE(WriteWholeFile(path, "first"));
  EXPECT_EQ(FileBytes(path), "first");
  ASSERT_TRUE(WriteWholeFile(path, "second, longer"));
  EXPECT_EQ(FileBytes(path), "second, longer");
  ASSERT_TRUE(WriteWholeFile(path, ""));
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"doc.txt"});
}

TEST_F(FileService, ATargetThatAnotherProgramLooksAtForAMomentIsStillReplaced) {
  const std::string path = folder_ / "scanned.txt";
  ASSERT_TRUE(PutFile(path, "old"));
  HANDLE scanner = CreateFileA(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  std::thread scanned([&] {
    Sleep(200);
    CloseHandle(scanner);
  });
  bool written = WriteWholeFile(path, "new");
  scanned.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(FileBytes(path), "new");
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"scanned.txt"});
}

TEST_F(FileService, ASaveKeepsTheTargetHiddenAndSystem) {
  const std::string path = folder_ / "hidden.txt";
  ASSERT_TRUE(PutFile(path, "old"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(WriteWholeFile(path, "new"));
  EXPECT_EQ(FileBytes(path), "new");
  DWORD attributes = GetFileAttributesA(path.c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM);
}

TEST_F(FileService, ASaveWritesARelativeNameIntoTheCurrentFolder) {
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
  bool written = WriteWholeFile("relative.txt", "here");
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(written);
  EXPECT_EQ(FileBytes(folder_ / "relative.txt"), "here");
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"relative.txt"});
}

}  // namespace
