// Roles a test program can play as a child process of a test.
#include "child_roles.h"

#include <cstddef>
#include <cstring>

#include "app/program.h"

int RunChildRole(const char* role) {
  if (std::strcmp(role, "fatal-error") == 0) FatalError("载入启动窗口失败");
  if (std::strcmp(role, "out-of-memory") == 0) {
    // More than any machine can give, so the allocation must fail.
    volatile std::size_t huge = std::size_t(1) << (sizeof(std::size_t) == 8 ? 50 : 31);
    char* memory = new char[huge];
    memory[0] = 1;
    return memory[0];
  }
  return 2;
}
