// Starting programs from a command line (CreateProcessA, WaitForInputIdle) and handing files and
// URLs to the shell (FindWindowExA, ShellExecuteA). Every call goes to the installed Launcher:
// Windows itself, or a recorder that a test installs so that nothing outside the test starts.
#pragma once
#include <windows.h>

#include <string>

class Launcher {
 public:
  virtual ~Launcher() = default;
  // CreateProcessA with the command line unchanged, shown normally, not waiting for the end;
  // once created, waits up to `idleWaitMs` for the program to wait for input. True when created.
  virtual bool StartProcess(const std::string& commandLine, DWORD idleWaitMs) = 0;
  // The top-level window with exactly this title, or null.
  virtual HWND FindTopLevelWindow(const std::string& title) = 0;
  // ShellExecuteA with the verb "open", shown normally; null pointers stand for absent texts.
  virtual void ShellOpen(HWND owner, const char* file, const char* parameters,
                         const char* directory) = 0;
};

Launcher& CurrentLauncher();

// Makes `launcher` receive every call from now on; null gives the calls back to Windows.
void InstallLauncher(Launcher* launcher);
