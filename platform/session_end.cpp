// The end of the Windows session through Windows, unless a test has installed its own SessionEnd.
#include "platform/session_end.h"

namespace {

struct TokenHandle {
  HANDLE handle = nullptr;
  ~TokenHandle() {
    if (handle) CloseHandle(handle);
  }
};

class WindowsSessionEnd : public SessionEnd {
 public:
  bool IsNtFamily() override {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }

  bool EnableShutdownPrivilege() override {
    if (!IsNtFamily()) return true;
    TokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          &token.handle))
      return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    // AdjustTokenPrivileges succeeds even when the account lacks the privilege; only the last
    // error (ERROR_NOT_ALL_ASSIGNED) tells.
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token.handle, FALSE, &privileges, 0, nullptr, nullptr);
    return GetLastError() == ERROR_SUCCESS;
  }

  bool EndSession(UINT flags) override { return ExitWindowsEx(flags, 0) != FALSE; }
};

WindowsSessionEnd windowsSessionEnd;
SessionEnd* installed = &windowsSessionEnd;

}  // namespace

SessionEnd& CurrentSessionEnd() {
  return *installed;
}

void InstallSessionEnd(SessionEnd* sessionEnd) {
  installed = sessionEnd ? sessionEnd : &windowsSessionEnd;
}
