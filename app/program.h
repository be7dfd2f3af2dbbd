// The program's life: start-up, the message loop, the orderly end, the exit hook and the
// fatal-error stop.
#pragma once
#include <memory>
#include <string>
#include <string_view>

class MainWindow;

// The one program-wide value: the text Find asked for last. Absent until the first Find.
extern std::unique_ptr<std::string> LastSearchText;

// Runs start-up, shows the window and runs the message loop; returns the exit code of WM_QUIT.
int ProgramStart();

// The exit hook: frees the program-wide values.
void ReleaseGlobals();

// Shows "运行时出错!" with the message and ends the process at once with exit code -1.
[[noreturn]] void FatalError(std::string_view message);

// The first half of the window-created handler: the show state goes to minimised and then to
// normal; while the window is hidden this only stores the value.
void SettleShowState(MainWindow& window);
