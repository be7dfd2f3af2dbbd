// The title row and the pop-up menus through the real program: where the menus open, Esc, roll up
// and unroll, minimise, dragging, the picture buttons' capture rules and Tab.
#include <gtest/gtest.h>

#include "driver/ui_driver.h"

using namespace driver;

namespace {

HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  return gui.hwndFocus;
}

class TitleBar : public testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(BringToForeground(main_));
  }

  HWND WaitForMenu() {
    HWND menu = nullptr;
    WaitUntil([&] {
      auto menus = program_.TopLevelWindows("#32768");
      menu = menus.empty() ? nullptr : menus.back();
      return menu != nullptr;
    });
    return menu;
  }

  void FocusButtonByTab(int tabs) {
    for (int i = 0; i < tabs; ++i) PressKey(VK_TAB);
  }

  Program program_;
  HWND main_ = nullptr;
};

struct MenuPlace {
  int tabs;  // Tab presses from the text area to the button
  int expectedLeft;
};

class MenuOffsets : public TitleBar, public testing::WithParamInterface<MenuPlace> {};

// A click made with Space opens the menu relative to wherever the mouse is.
TEST_P(MenuOffsets, SpaceOnImageButtonOpensItsMenuBelowTheMouse) {
  FocusButtonByTab(GetParam().tabs);
  MoveMouse(500, 300);
  PressKey(VK_SPACE);
  HWND menu = WaitForMenu();
  ASSERT_NE(menu, nullptr);
  RECT rect = WindowRect(menu);
  EXPECT_EQ(rect.left, GetParam().expectedLeft);
  EXPECT_EQ(rect.top, 310);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
}

INSTANTIATE_TEST_SUITE_P(FileEditFunctions, MenuOffsets,
                         testing::Values(MenuPlace{1, 465}, MenuPlace{2, 470}, MenuPlace{3, 455}));

TEST_F(TitleBar, RightButtonInTheTextAreaOpensTheEditMenuAtTheMouse) {
  HWND text = program_.Control(ControlId::编辑框1);
  POINT centre = Centre(text);
  MoveMouse(centre.x, centre.y);
  RightButtonDown();
  HWND menu = WaitForMenu();
  RightButtonUp();
  ASSERT_NE(menu, nullptr);
  RECT rect = WindowRect(menu);
  EXPECT_EQ(rect.left, centre.x);
  EXPECT_EQ(rect.top, centre.y);
  PressKey(VK_ESCAPE);
}

TEST_F(TitleBar, EscClosesAPopUpAndRunsNothing) {
  HWND menu = OpenMenu(program_, ControlId::超级按钮1);
  ASSERT_NE(menu, nullptr);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
  EXPECT_TRUE(program_.TopLevelWindows("#32770").empty());
  EXPECT_EQ(EditText(program_.Control(ControlId::编辑框1)), "");
  EXPECT_TRUE(program_.Running());
}

TEST_F(TitleBar, RollUpMinimiseRestoreUnroll) {
  RECT before = WindowRect(main_);
  ClickAt(before.left + 536 + 8, before.top + 8);  // 图形按钮4
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main_).bottom - WindowRect(main_).top == 25; }));
  RECT strip = WindowRect(main_);
  EXPECT_EQ(strip.left, before.left);
  EXPECT_EQ(strip.top, before.top);
  EXPECT_EQ(strip.right, before.right);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(program_.Control(ControlId::图形按钮4)); }));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program_.Control(ControlId::图形按钮5)) != 0; }));

  ClickAt(before.left + 564 + 14, before.top + 8);  // 最小化
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main_) != FALSE; }));
  PostMessageA(main_, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsIconic(main_); }));
  EXPECT_EQ(WindowRect(main_).bottom - WindowRect(main_).top, 25);
  EXPECT_TRUE(IsWindowVisible(program_.Control(ControlId::图形按钮5)));

  ASSERT_TRUE(BringToForeground(main_));
  ClickAt(before.left + 536 + 8, before.top + 8);  // 图形按钮5
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main_).bottom - WindowRect(main_).top == 485; }));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program_.Control(ControlId::图形按钮4)) != 0; }));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(program_.Control(ControlId::图形按钮5)); }));
}

struct DragCase {
  const char* where;
  int x, y;  // in the window
  bool moves;
};

class Dragging : public TitleBar, public testing::WithParamInterface<DragCase> {};

TEST_P(Dragging, PressingAndMovingTheMouse) {
  RECT before = WindowRect(main_);
  MoveMouse(before.left + GetParam().x, before.top + GetParam().y);
  LeftButtonDown();
  for (int step = 1; step <= 5; ++step)
    MoveMouse(before.left + GetParam().x + 10 * step, before.top + GetParam().y + 6 * step);
  LeftButtonUp();
  bool moved = WaitUntil([&] { return WindowRect(main_).left == before.left + 50; }, 1500ms);
  EXPECT_EQ(moved, GetParam().moves) << GetParam().where;
  if (moved) {
    EXPECT_EQ(WindowRect(main_).top, before.top + 30);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Places, Dragging,
    testing::Values(DragCase{"the strip between 标签2 and the image buttons", 300, 10, true},
                    DragCase{"标签2", 80, 10, true}, DragCase{"标签1", 12, 12, true},
                    DragCase{"the status line", 100, 472, false},
                    DragCase{"an image button", 144, 8, false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(TitleBar, CloseFiresOnlyWhenReleasedInsideTheButton) {
  RECT window = WindowRect(main_);
  POINT close{window.left + 619 + 21, window.top + 8};
  MoveMouse(close.x, close.y);
  LeftButtonDown();
  MoveMouse(close.x, close.y + 60);
  LeftButtonUp();
  EXPECT_EQ(program_.WaitForExit(700ms), STILL_ACTIVE);

  MoveMouse(close.x, close.y);
  LeftButtonDown();
  MoveMouse(close.x, close.y + 60);
  MoveMouse(close.x, close.y);
  LeftButtonUp();
  EXPECT_EQ(program_.WaitForExit(), 0u);
}

TEST_F(TitleBar, TabGoesRoundTheImageButtonsAndInsertsNothing) {
  HWND text = program_.Control(ControlId::编辑框1);
  ASSERT_EQ(FocusOf(main_), text);
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == program_.Control(ControlId::超级按钮1); }));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == program_.Control(ControlId::超级按钮2); }));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == program_.Control(ControlId::超级按钮4); }));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == text; }));
  PressKeys({VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == program_.Control(ControlId::超级按钮4); }));
  EXPECT_EQ(EditText(text), "");
}

}  // namespace
