// Line breaking and wrapping of GBK text for printing.
#include "document/page_layout.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// The bytes of the line end at `at`: CR LF counts as one line end.
std::size_t LineEndLength(std::string_view text, std::size_t at) {
  return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

// Splits one paragraph (text without line ends) into lines of at most `width`, except that a line
// always takes at least one character and keeps the blanks that end it.
void WrapParagraph(std::string_view paragraph, int width, int tabWidth, const CharWidth& charWidth,
                   std::vector<std::string_view>& lines) {
  std::size_t start = 0;
  do {
    int x = 0;
    std::size_t at = start;
    std::size_t afterBlanks = 0;  // just after the last blank that fitted; 0: none yet
    while (at < paragraph.size()) {
      char c = paragraph[at];
      std::size_t length = c == '\t' ? 1 : CharLength(paragraph.substr(at));
      int advance = c == '\t' ? tabWidth - x % tabWidth : charWidth(paragraph.substr(at, length));
      if (x + advance > width && at > start) {
        if (IsBlank(c)) {
          while (at < paragraph.size() && IsBlank(paragraph[at])) ++at;
        } else if (afterBlanks != 0) {
          at = afterBlanks;
        }
        break;
      }
      x += advance;
      at += length;
      if (IsBlank(c)) afterBlanks = at;
    }
    lines.push_back(paragraph.substr(start, at - start));
    start = at;
  } while (start < paragraph.size());
}

}  // namespace

std::size_t CharLength(std::string_view text) {
  if (text.size() < 2) return text.size();
  auto lead = static_cast<unsigned char>(text[0]);
  return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
}

std::vector<std::string_view> WrapLines(std::string_view text, int width, int tabWidth,
                                        const CharWidth& charWidth) {
  if (tabWidth < 1) tabWidth = 1;
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = start;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    WrapParagraph(text.substr(start, end - start), width, tabWidth, charWidth, lines);
    if (end == text.size()) return lines;
    start = end + LineEndLength(text, end);
    // A line end closes its line; nothing after the last one is no further line.
    if (start == text.size()) return lines;
  }
}
