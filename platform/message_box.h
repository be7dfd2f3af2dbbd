// The program's one message box: MessageBoxA without an owner, task-modal unless system-modal.
#pragma once
#include <windows.h>

#include <string_view>

// The pressed button counted from 0 in Windows' order: 0 OK, 1 Cancel, 2 Abort, 3 Retry,
// 4 Ignore, 5 Yes, 6 No.
enum MessageAnswer { kAnswerOk = 0, kAnswerCancel = 1, kAnswerYes = 5, kAnswerNo = 6 };

inline constexpr char kDefaultMessageTitle[] = "信息：";

int ShowMessage(std::string_view text, UINT flags, std::string_view title = kDefaultMessageTitle);
