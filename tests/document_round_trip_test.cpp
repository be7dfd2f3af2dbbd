// Bytes through the real program under Wine: a file opened and saved again, with Save As into
// another file and with Save into itself, comes back byte for byte, cut only at its first NUL.
#include <gtest/gtest.h>

#include "document_fixture.h"

using namespace document;
using namespace driver;
using namespace std::string_literals;

namespace {

struct RoundTrip {
  const char* name;
  std::string file;
  std::string text;  // what the document holds, and what every save writes
};

class ByteRoundTrip : public DocumentProgram, public testing::WithParamInterface<RoundTrip> {
 protected:
  void SetUp() override {
    DocumentProgram::SetUp();
    ASSERT_TRUE(folder_.Created());
  }
  ScratchFolder folder_;
};

TEST_P(ByteRoundTrip, OpenedAndSavedTheBytesComeBackUnchanged) {
  const std::string source = folder_ / "source.txt";
  const std::string copy = folder_ / "copy.txt";
  ASSERT_TRUE(PutFile(source, GetParam().file));
  ASSERT_TRUE(PutFile(copy, "旧的内容，要被整个替换\r\n"));
  OpenFile(source);
  EXPECT_EQ(Text(), GetParam().text);
  EXPECT_FALSE(IsModified());

  ASSERT_TRUE(Choose(kSaveAs));
  HWND dialog = WaitForFileDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  ConfirmFileDialog(dialog, copy);
  ASSERT_TRUE(ReplaceExistingFile());
  ASSERT_TRUE(Idle());
  EXPECT_EQ(FileBytes(copy), GetParam().text);

  ChangeAndChangeBack();
  ASSERT_TRUE(Choose(kSave));
  ASSERT_TRUE(Idle());
  EXPECT_EQ(FileBytes(source), GetParam().text);
  EXPECT_EQ(Text(), GetParam().text);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(FolderEntries(folder_.Path()), (std::vector<std::string>{"copy.txt", "source.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Document, ByteRoundTrip,
    testing::Values(RoundTrip{"GbkWithCrLf", "第一行：汉字\r\n第二行，标点。\r\n",
                              "第一行：汉字\r\n第二行，标点。\r\n"},
                    RoundTrip{"LfOnly", "第一行\n第二行\nlast\n", "第一行\n第二行\nlast\n"},
                    RoundTrip{"MixedLineEnds", "一\r\n二\n三\r四\r\n\r\n五",
                              "一\r\n二\n三\r四\r\n\r\n五"},
                    RoundTrip{"StartsWithNul", "\0后面的都不算"s, ""}, RoundTrip{"Empty", "", ""}),
    [](const auto& info) { return info.param.name; });

}  // namespace
