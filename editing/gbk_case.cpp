// Case conversion of GBK text, walking it character by character.
#include "editing/gbk_case.h"

namespace {

bool IsLeadByte(char byte) {
  return static_cast<unsigned char>(byte) >= 0x80;
}

std::string ConvertLetters(std::string_view text, char first, char last, int shift) {
  std::string converted(text);
  for (size_t i = 0; i < converted.size(); ++i) {
    char& byte = converted[i];
    if (IsLeadByte(byte))
      ++i;  // the trail byte of a double-byte character is never a letter
    else if (byte >= first && byte <= last)
      byte = static_cast<char>(byte + shift);
  }
  return converted;
}

}  // namespace

std::string ToUpper(std::string_view text) {
  return ConvertLetters(text, 'a', 'z', 'A' - 'a');
}
std::string ToLower(std::string_view text) {
  return ConvertLetters(text, 'A', 'Z', 'a' - 'A');
}
