// A black-box driver for tests: starts the built program under Wine as a process of its own,
// finds its windows and controls, gives it real input or messages, answers its message boxes and
// dialogs, and collects its exit code.
#pragma once
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "ui/window_data.h"

namespace driver {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// The folder of the running test program; quorvale.exe is built beside it.
std::string TestFolder();

// Polls until the condition holds or the time is up; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, Duration timeout = 5000ms);

class Program {
 public:
  // Starts an executable (by default quorvale.exe) with the given working folder (empty: the
  // test's own) and arguments.
  explicit Program(std::string workingFolder = {}, std::string executable = {},
                   std::string arguments = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  bool Running() const;

  // The main window once it is visible; null when it does not appear in time.
  HWND MainWindow(Duration timeout = 10000ms);
  HWND Control(ControlId id);

  // The exit code, or STILL_ACTIVE when the process has not ended in time.
  DWORD WaitForExit(Duration timeout = 10000ms);

  // The process's current folder, read from its process parameters.
  std::string CurrentFolder() const;

  // The visible top-level windows of the process with the given window class ("#32770" for
  // dialogs and message boxes), newest last.
  std::vector<HWND> TopLevelWindows(const char* windowClass = nullptr) const;

  // Waits for a visible dialog or message box of the process with this caption.
  HWND WaitForDialog(const std::string& caption, Duration timeout = 5000ms) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HWND main_ = nullptr;
};

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
RECT WindowRect(HWND hwnd);

// The text of a message box (its static text) or of any dialog control by id.
std::string MessageText(HWND messageBox);
std::string ItemText(HWND dialog, int id);
// Presses a dialog button by its id, as a click would.
void PressButton(HWND dialog, int id);

// Makes the window the foreground window and checks that it is; real input needs this.
bool BringToForeground(HWND hwnd);

// Real input through SendInput, in screen coordinates.
void MoveMouse(int x, int y);
void LeftButtonDown();
void LeftButtonUp();
void RightButtonDown();
void RightButtonUp();
void ClickAt(int x, int y);
void PressKey(WORD vk);
void PressKeys(std::initializer_list<WORD> held, WORD vk);
// Types text through WM_CHAR-producing Unicode input; GBK strings are converted first.
void TypeText(const std::string& gbk);

// Opens a pop-up menu of the program with real input: a click on an image button, or a press of
// the right button in the middle of the text area for 编辑框1. Returns the menu window
// ("#32768"), or null when none appeared.
HWND OpenMenu(Program& program, ControlId from);
// Chooses item `index` of the open menu, counting from 0 and skipping separators, with the arrow
// keys and Enter; waits until the menu has closed.
bool PickMenuItem(HWND menu, int index);
// Both of the above.
bool ChooseMenuItem(Program& program, ControlId from, int index);
// The centre of a window in screen coordinates.
POINT Centre(HWND hwnd);

// An item of a combo box, which keeps its items in UTF-16, as GBK.
std::string ComboItem(HWND combo, int index);

// The text of an edit control in another process (WM_GETTEXT with a timeout).
std::string EditText(HWND edit);

// The Explorer-style file dialogs: the file-name box (the edit inside cmb13), and a name put
// into it and confirmed as the Open or Save button would.
HWND FileNameBox(HWND fileDialog);
void ConfirmFileDialog(HWND fileDialog, const std::string& name);

// ------------------------------------------------------------------------------------------------

template <typename Condition>
bool WaitUntil(Condition condition, Duration timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(10);
  }
}

}  // namespace driver
