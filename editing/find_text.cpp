// The search of Find over GBK text.
#include "editing/find_text.h"

int FindText(std::string_view text, std::string_view sought) {
  if (sought.empty()) return text.empty() ? -1 : 1;
  size_t position = 0;
  while (text.size() - position >= sought.size()) {
    if (text.compare(position, sought.size(), sought) == 0) return static_cast<int>(position) + 1;
    // A double-byte character is stepped over whole, so no match starts on its trail byte.
    bool leadByte = static_cast<unsigned char>(text[position]) >= 0x80;
    position += leadByte ? 2 : 1;
    if (position > text.size()) return -1;
  }
  return -1;
}
