// Lays GBK text out in printed lines: line ends break lines, and a line too wide for the page wraps
// as the EDIT control wraps it, after its last blank or, in a word longer than a line, before the
// character that does not fit. A double-byte character is never split.
#pragma once
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// The byte length of the character at the start of `text`: 2 for a GBK lead byte with a byte after
// it, otherwise 1.
std::size_t CharLength(std::string_view text);

// The advance width of one character (one or two bytes, never a tab or a line end).
using CharWidth = std::function<int(std::string_view character)>;

// The lines of `text` for a line `width` wide, without their line ends (CR LF, or a lone LF or CR).
// Tabs advance to the next multiple of `tabWidth`. Blanks at a wrap stay on the line they end, so
// the lines and the line ends between them together hold every byte of the text once, in order.
// A text that ends with a line end has no empty line after it; an empty text gives one empty line.
std::vector<std::string_view> WrapLines(std::string_view text, int width, int tabWidth,
                                        const CharWidth& charWidth);
