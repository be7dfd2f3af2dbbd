// Roles a test program can play as a child process of a test.
#include "child_roles.h"

#include <cstring>

#include "app/program.h"

int RunChildRole(const char* role) {
  if (std::strcmp(role, "fatal-error") == 0) FatalError("分配 100 字节内存失败!");
  return 2;
}
