// The tests' entry point. A test program started with --child=NAME runs that child role instead
// of the tests, so a test can watch something happen in a process of its own.
#include <gtest/gtest.h>

#include <cstring>

#include "child_roles.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--child=", 8) == 0) return RunChildRole(argv[i] + 8);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
