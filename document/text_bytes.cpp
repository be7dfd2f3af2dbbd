// The document's text and a file's bytes, one into the other.
#include "document/text_bytes.h"

Bytes TextToBytes(std::string_view text) {
  return Bytes(text.substr(0, text.find('\0')));
}

std::string BytesToText(Bytes data) {
  // Cut in place: a file's bytes may be as large as the program can hold at all.
  size_t end = data.find('\0');
  if (end != Bytes::npos) data.resize(end);
  return data;
}
