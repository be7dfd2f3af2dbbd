// The scroll-bar rule after the document commands that put a whole text in place: Open of a long
// and of a short file, New and Clear, through the real program and its file dialog.
#include "document_fixture.h"

using namespace driver;

namespace {

class ScrollBarAfterDocumentCommands : public document::DocumentProgram {
 protected:
  void SetUp() override {
    DocumentProgram::SetUp();
    ASSERT_TRUE(folder_.Created());
    ASSERT_TRUE(document::PutFile(longFile_, std::string(2154, 'a') + "\r\n"));
    ASSERT_TRUE(document::PutFile(shortFile_, std::string(2153, 'b') + "\r\n"));
  }

  bool HasVerticalScrollBar() { return (GetWindowLongA(TextArea(), GWL_STYLE) & WS_VSCROLL) != 0; }

  document::ScratchFolder folder_;
  std::string longFile_ = folder_ / "2156 bytes.txt";
  std::string shortFile_ = folder_ / "2155 bytes.txt";
};

TEST_F(ScrollBarAfterDocumentCommands, OpenShowsOrRemovesTheBarByTheFilesLength) {
  OpenFile(longFile_);
  EXPECT_EQ(Text().size(), 2156u);
  EXPECT_TRUE(HasVerticalScrollBar());

  OpenFile(shortFile_);
  EXPECT_EQ(Text().size(), 2155u);
  EXPECT_FALSE(HasVerticalScrollBar());
}

TEST_F(ScrollBarAfterDocumentCommands, NewRemovesTheBar) {
  OpenFile(longFile_);
  ASSERT_TRUE(HasVerticalScrollBar());
  ASSERT_TRUE(Choose(document::kNew));
  ASSERT_TRUE(WaitUntil([&] { return Text().empty(); }));
  EXPECT_TRUE(WaitUntil([&] { return !HasVerticalScrollBar(); }));
}

TEST_F(ScrollBarAfterDocumentCommands, ClearRemovesTheBar) {
  OpenFile(longFile_);
  ASSERT_TRUE(HasVerticalScrollBar());
  ASSERT_TRUE(ChooseClear());
  ASSERT_TRUE(WaitUntil([&] { return Text().empty(); }));
  EXPECT_TRUE(WaitUntil([&] { return !HasVerticalScrollBar(); }));
}

}  // namespace
