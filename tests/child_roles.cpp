// Roles a test program can play as a child process of a test.
#include "child_roles.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "app/program.h"

namespace {

// Holds the file open, reading and writing, and shares only what `share` allows, until the test
// ends the process (at most two minutes).
int HoldFile(const char* path, DWORD share) {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  Sleep(120000);
  CloseHandle(file);
  return 0;
}

}  // namespace

int RunChildRole(const char* role) {
  if (std::strncmp(role, "hold-file:", 10) == 0) return HoldFile(role + 10, FILE_SHARE_READ);
  if (std::strncmp(role, "lock-file:", 10) == 0) return HoldFile(role + 10, 0);
  if (std::strcmp(role, "fatal-error") == 0) FatalError("载入启动窗口失败");
  if (std::strcmp(role, "out-of-memory") == 0) {
    // More than any machine can give, so the allocation must fail. The pointer is kept where the
    // optimiser cannot see it unused, or a release build would leave the allocation out.
    static char* volatile kept = nullptr;
    volatile std::size_t huge = std::size_t(-1) / 2;
    kept = new char[huge];
    return kept != nullptr;
  }
  return 2;
}
