// Ending the Windows session: the Windows family, the shutdown privilege and ExitWindowsEx. Every
// call goes to the installed SessionEnd: Windows itself, or a recorder that a test installs, since
// a real ExitWindowsEx would end every process of the session, the test's included.
#pragma once
#include <windows.h>

class SessionEnd {
 public:
  virtual ~SessionEnd() = default;
  // True on the Windows NT family (GetVersionExA), false on Windows 95, 98 and Me.
  virtual bool IsNtFamily() = 0;
  // True when the process may shut the system down; the 95 family needs no privilege.
  virtual bool EnableShutdownPrivilege() = 0;
  // ExitWindowsEx with the flags and reason 0; its result.
  virtual bool EndSession(UINT flags) = 0;
};

SessionEnd& CurrentSessionEnd();

// Makes `sessionEnd` receive every call from now on; null gives the calls back to Windows.
void InstallSessionEnd(SessionEnd* sessionEnd);
