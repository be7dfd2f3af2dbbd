// The search of Find: byte-exact, with case, matching only where a GBK character begins.
#pragma once
#include <string_view>

// The 1-based byte position of the first occurrence of `sought` in `text`, or -1. An empty
// `sought` is found at 1 in any non-empty text.
int FindText(std::string_view text, std::string_view sought);
