// The document's text and a file's bytes, one into the other: no code page or line-end changes,
// only the cut at the first NUL that a text cannot hold.
#pragma once
#include <string>
#include <string_view>

#include "platform/files.h"

// The bytes of the text up to its first NUL.
Bytes TextToBytes(std::string_view text);

// The bytes before the first NUL; all of them when there is none.
std::string BytesToText(Bytes data);
