// Roles a test program can play as a child process of a test (see test_main.cpp).
#pragma once

int RunChildRole(const char* role);
