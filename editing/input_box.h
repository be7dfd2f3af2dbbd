// InputBox: a small modal dialog that asks the user for one line of text.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// The box's control ids besides IDOK and IDCANCEL, for whoever answers it.
inline constexpr int kInputBoxPromptId = 100;
inline constexpr int kInputBoxEntryId = 101;

// Shows the box modal to `owner`, centred on the screen, captioned `caption` ("请输入：" when
// empty), with `prompt` above an entry that starts with `text`, all of it selected. Confirmed:
// `text` receives what the entry holds and the result is true. Cancelled or closed: `text` keeps
// its value and the result is false.
bool InputBox(HWND owner, std::string_view prompt, std::string_view caption, std::string& text);
