// The pure text functions of the Edit menu and Find: GBK case conversion and the search, on
// tables of cases that include double-byte characters whose trail byte looks like ASCII.
#include <gtest/gtest.h>

#include "editing/find_text.h"
#include "editing/gbk_case.h"

namespace {

// 亂 is 0x81 0x79: its trail byte has the value of the letter y.
#define LUAN "\x81\x79"
// 乑 is 0x81 0x5A: its trail byte has the value of the letter Z.
#define TRAIL_Z "\x81\x5A"

struct CaseCase {
  const char* text;
  const char* upper;
  const char* lower;
};

class GbkCase : public testing::TestWithParam<CaseCase> {};

TEST_P(GbkCase, ConvertsOnlyAsciiLettersAndKeepsTheLength) {
  const CaseCase& c = GetParam();
  std::string text = c.text;
  EXPECT_EQ(ToUpper(text), c.upper);
  EXPECT_EQ(ToLower(text), c.lower);
  EXPECT_EQ(ToUpper(text).size(), text.size());
  EXPECT_EQ(text, c.text) << "the input stays as it was";
}

INSTANTIATE_TEST_SUITE_P(Table, GbkCase,
                         testing::Values(CaseCase{"", "", ""},
                                         CaseCase{"abc中文Def", "ABC中文DEF", "abc中文def"},
                                         CaseCase{LUAN, LUAN, LUAN},
                                         CaseCase{"y" LUAN "y", "Y" LUAN "Y", "y" LUAN "y"},
                                         CaseCase{TRAIL_Z "Z", TRAIL_Z "Z", TRAIL_Z "z"},
                                         CaseCase{"\x81"
                                                  "a"
                                                  "a",
                                                  "\x81"
                                                  "a"
                                                  "A",
                                                  "\x81"
                                                  "a"
                                                  "a"},
                                         CaseCase{"ＡＢｃｄ", "ＡＢｃｄ", "ＡＢｃｄ"},
                                         CaseCase{"`az{@AZ[", "`AZ{@AZ[", "`az{@az["},
                                         CaseCase{"1+2=x\r\n", "1+2=X\r\n", "1+2=x\r\n"},
                                         CaseCase{"ab\x81", "AB\x81", "ab\x81"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GbkCase, TheBytesOfThisTableAreGbk) {
  EXPECT_EQ(std::string("亂"), LUAN);
  EXPECT_EQ(std::string("中文"), "\xD6\xD0\xCE\xC4");
}

struct FindCase {
  const char* text;
  const char* sought;
  int position;
};

class FindTextTable : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTable, GivesTheFirstOneBasedBytePositionOrMinusOne) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindText(c.text, c.sought), c.position) << c.text << " / " << c.sought;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindTextTable,
    testing::Values(FindCase{"abc中文Def", "中文", 4}, FindCase{"abc中文Def", "Def", 8},
                    FindCase{"abc", "abc", 1}, FindCase{"xabcabc", "abc", 2},
                    FindCase{"aab", "ab", 2},
                    // with case
                    FindCase{"abc", "ABC", -1}, FindCase{"ABC abc", "abc", 5},
                    // the empty sought text
                    FindCase{"a", "", 1}, FindCase{"", "", -1}, FindCase{"", "a", -1},
                    // longer than the text
                    FindCase{"ab", "abc", -1},
                    // never on a trail byte
                    FindCase{LUAN, "y", -1}, FindCase{LUAN "y", "y", 3},
                    FindCase{"\x81\x81\x82", "\x81\x82", -1},
                    FindCase{"\x81\x81\x81\x82", "\x81\x82", 3}, FindCase{"中文", "\xD0\xCE", -1},
                    // a lead byte without its trail byte at the end
                    FindCase{"a\x81", "b", -1}, FindCase{"a\x81", "\x81", 2},
                    FindCase{"\r\nx", "\r\nx", 1}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
