// The base of the tests that work the real program: the program started under Wine with its main
// window in the foreground, and its text area looked up when asked for.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "driver/ui_driver.h"

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(driver::BringToForeground(main_));
  }

  // Looked up each time: a change of the scroll bars may replace the text area's window.
  HWND TextArea() { return program_.Control(ControlId::编辑框1); }
  std::string Text() { return driver::EditText(TextArea()); }

  driver::Program program_;
  HWND main_ = nullptr;
};
