// Programs and the shell through Windows, unless a test has installed its own Launcher.
#include "platform/processes.h"

#include <shellapi.h>

namespace {

struct ProcessHandles {
  PROCESS_INFORMATION info{};
  ~ProcessHandles() {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
  }
};

class WindowsLauncher : public Launcher {
 public:
  bool StartProcess(const std::string& commandLine, DWORD idleWaitMs) override {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::string writable = commandLine;
    ProcessHandles created;
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created.info))
      return false;
    WaitForInputIdle(created.info.hProcess, idleWaitMs);
    return true;
  }

  HWND FindTopLevelWindow(const std::string& title) override {
    return FindWindowExA(nullptr, nullptr, nullptr, title.c_str());
  }

  void ShellOpen(HWND owner, const char* file, const char* parameters,
                 const char* directory) override {
    ShellExecuteA(owner, "open", file, parameters, directory, SW_SHOWNORMAL);
  }
};

WindowsLauncher windowsLauncher;
Launcher* installed = &windowsLauncher;

}  // namespace

Launcher& CurrentLauncher() {
  return *installed;
}

void InstallLauncher(Launcher* launcher) {
  installed = launcher ? launcher : &windowsLauncher;
}
