// The line layout of printing: line ends, wrapping as the EDIT control wraps, tabs, and GBK
// double-byte characters that must never be split.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/page_layout.h"

namespace {

// A simple face: every single-byte character is 1 unit wide, every double-byte character 2.
int Width(std::string_view character) {
  return static_cast<int>(character.size());
}

std::vector<std::string> Wrap(std::string_view text, int width, int tabWidth = 4) {
  std::vector<std::string> lines;
  for (std::string_view line : WrapLines(text, width, tabWidth, Width)) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

struct LayoutCase {
  const char* name;
  std::string text;
  int width;
  Lines lines;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.name;
}

class LayoutCases : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutCases, GivesTheExpectedLines) {
  const LayoutCase& c = GetParam();
  EXPECT_EQ(Wrap(c.text, c.width), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    PrintLayout, LayoutCases,
    testing::Values(
        LayoutCase{"EmptyTextIsOneEmptyLine", "", 10, {""}},
        LayoutCase{"ShortLineStaysWhole", "abc", 10, {"abc"}},
        LayoutCase{"LineThatFitsExactlyStaysWhole", "abcde", 5, {"abcde"}},
        LayoutCase{"CrLfBreaksLines", "one\r\ntwo", 10, {"one", "two"}},
        LayoutCase{"LoneLfAndCrBreakLines", "one\ntwo\rthree", 10, {"one", "two", "three"}},
        LayoutCase{"EmptyLinesBetweenAreKept", "a\r\n\r\nb", 10, {"a", "", "b"}},
        LayoutCase{"FinalLineEndAddsNoLine", "a\r\n", 10, {"a"}},
        LayoutCase{"LineEndsAloneGiveEmptyLines", "\r\n\r\n", 10, {"", ""}},
        LayoutCase{"WrapsAfterTheLastBlankThatFits", "aaa bbb ccc", 9, {"aaa bbb ", "ccc"}},
        LayoutCase{"WordLongerThanALineBreaksWhereItMust", "abcdefgh", 3, {"abc", "def", "gh"}},
        LayoutCase{"BlanksAtTheEdgeHangOnTheirLine", "abc   def", 3, {"abc   ", "def"}},
        LayoutCase{"DoubleByteCharactersStayWhole", "中文字", 3, {"中", "文", "字"}},
        LayoutCase{"DoubleByteCharacterMovesWholeToTheNextLine", "a中b", 2, {"a", "中", "b"}},
        LayoutCase{"CharacterWiderThanTheLineStillPrints", "中中", 1, {"中", "中"}},
        LayoutCase{"TabAdvancesToTheNextTabStop", "a\tb", 4, {"a\t", "b"}},
        LayoutCase{"TabPastTheEdgeHangsOnItsLine", "abcd\te", 4, {"abcd\t", "e"}},
        LayoutCase{
            "ChineseRunWrapsBetweenCharacters", "汉字排版测试", 5, {"汉字", "排版", "测试"}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

// What lies between the lines, before the first and after the last, in order.
std::vector<std::string> Gaps(std::string_view text, const std::vector<std::string_view>& lines) {
  std::vector<std::string> gaps;
  size_t at = 0;
  for (std::string_view line : lines) {
    size_t start = static_cast<size_t>(line.data() - text.data());
    if (start < at) return {"overlap"};
    gaps.emplace_back(text.substr(at, start - at));
    at = start + line.size();
  }
  gaps.emplace_back(text.substr(at));
  return gaps;
}

bool IsOneLineEnd(const std::string& gap) {
  return gap == "\r\n" || gap == "\n" || gap == "\r";
}

TEST(PrintLayout, RandomTextsKeepEveryByteOnceAndEveryLineWithinTheWidth) {
  const std::vector<std::string> pieces = {"a",  "word", " ",  "  ",   "\t",       "\r\n",
                                           "\n", "\r",   "中", "文字", "\xA1\xA1", "x\xB0\xA1"};
  std::mt19937 random(20240607);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    int count = std::uniform_int_distribution<int>(0, 40)(random);
    for (int i = 0; i < count; ++i)
      text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
    int width = std::uniform_int_distribution<int>(1, 12)(random);
    std::vector<std::string_view> lines = WrapLines(text, width, 4, Width);
    SCOPED_TRACE(testing::Message() << "text \"" << text << "\" width " << width);

    // Nothing but one line end between two lines, or nothing where a line wraps; nothing before
    // the first line and at most the final line end after the last.
    std::vector<std::string> gaps = Gaps(text, lines);
    ASSERT_EQ(gaps.size(), lines.size() + 1);
    EXPECT_EQ(gaps.front(), "");
    for (size_t i = 1; i + 1 < gaps.size(); ++i)
      EXPECT_TRUE(gaps[i].empty() || IsOneLineEnd(gaps[i])) << "gap " << i;
    EXPECT_TRUE(gaps.back().empty() || IsOneLineEnd(gaps.back()));
    for (std::string_view line : lines) {
      EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
      // Within the width, except a single character too wide for any line and the blanks that
      // hang past the edge.
      int x = 0;
      size_t ink = 0;
      for (size_t at = 0; at < line.size();) {
        size_t length = line[at] == '\t' ? 1 : CharLength(line.substr(at));
        x += line[at] == '\t' ? 4 - x % 4 : Width(line.substr(at, length));
        at += length;
        if (line[at - 1] != ' ' && line[at - 1] != '\t') ink = at;
        if (ink == at && x > width) {
          EXPECT_EQ(at, length) << "line \"" << line << "\"";
        }
      }
    }
  }
}

TEST(PrintLayout, CharLengthFollowsGbkLeadBytes) {
  EXPECT_EQ(CharLength("a"), 1u);
  EXPECT_EQ(CharLength("\x81\x40"), 2u);
  EXPECT_EQ(CharLength("\xFE\xFE"), 2u);
  EXPECT_EQ(CharLength("\x80"
                       "a"),
            1u);
  EXPECT_EQ(CharLength("\xFF"
                       "a"),
            1u);
  EXPECT_EQ(CharLength("\xB0"), 1u) << "a lead byte at the very end stands alone";
  EXPECT_EQ(CharLength(""), 0u);
}

}  // namespace
