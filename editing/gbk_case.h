// Case conversion of GBK text: only the ASCII letters change; double-byte characters stay as they
// are, also when their second byte has the value of a letter.
#pragma once
#include <string>
#include <string_view>

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
