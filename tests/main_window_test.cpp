// The window operations on a real MainWindow made in the test process: show state, height,
// visibility of controls, and the destroy request.
#include <gtest/gtest.h>

#include "ui/main_window.h"

namespace {

int windowsGone = 0;

class MainWindowOperations : public testing::Test {
 protected:
  void SetUp() override {
    windowsGone = 0;
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), [] { ++windowsGone; });
    ASSERT_NE(window_, nullptr);
    hwnd_ = window_->Handle();
  }

  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  RECT Outer() const {
    RECT rect;
    GetWindowRect(hwnd_, &rect);
    return rect;
  }

  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(MainWindowOperations, IsCreatedHiddenCentredAndSettledToNormal) {
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  RECT rect = Outer();
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 660) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 483) / 2);
  EXPECT_EQ(window_->ShowState(), 0);
}

TEST_F(MainWindowOperations, ShowStateWhileHiddenChangesNothingOnScreen) {
  for (int state : {2, 3, 1, 0, 7, -4}) {
    window_->SetShowState(state);
    EXPECT_FALSE(IsWindowVisible(hwnd_)) << state;
    EXPECT_FALSE(IsIconic(hwnd_)) << state;
    EXPECT_FALSE(IsZoomed(hwnd_)) << state;
  }
}

TEST_F(MainWindowOperations, ShowStateWhileVisibleIsApplied) {
  ShowWindow(hwnd_, SW_SHOW);
  window_->SetShowState(2);
  EXPECT_TRUE(IsIconic(hwnd_));
  EXPECT_EQ(window_->ShowState(), 2);
  window_->SetShowState(0);
  EXPECT_FALSE(IsIconic(hwnd_));
  EXPECT_EQ(window_->ShowState(), 0);
  window_->SetShowState(9);  // clamped to 3
  EXPECT_TRUE(IsZoomed(hwnd_));
  EXPECT_EQ(window_->ShowState(), 3);
  window_->SetShowState(0);
}

TEST_F(MainWindowOperations, ShowStateOneRestoresAndCentresWithoutResizing) {
  ShowWindow(hwnd_, SW_SHOW);
  SetWindowPos(hwnd_, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  window_->SetHeight(300);
  window_->SetShowState(2);
  window_->SetShowState(1);
  EXPECT_FALSE(IsIconic(hwnd_));
  RECT rect = Outer();
  EXPECT_EQ(rect.bottom - rect.top, 300);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 660) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 300) / 2);
}

TEST_F(MainWindowOperations, HeightKeepsTopEdgeAndWidthAndIsClamped) {
  RECT before = Outer();
  struct {
    int written, expected;
  } cases[] = {{25, 25}, {485, 485}, {-5, 0}, {0, 0}, {40000, 32627}};
  for (auto [written, expected] : cases) {
    window_->SetHeight(written);
    RECT after = Outer();
    EXPECT_EQ(after.bottom - after.top, expected) << written;
    EXPECT_EQ(after.top, before.top) << written;
    EXPECT_EQ(after.left, before.left) << written;
    EXPECT_EQ(after.right - after.left, 660) << written;
  }
}

TEST_F(MainWindowOperations, VisibleWriteShowsAndHidesAControl) {
  HWND unroll = window_->Control(ControlId::图形按钮5);
  EXPECT_FALSE(GetWindowLongA(unroll, GWL_STYLE) & WS_VISIBLE);
  window_->SetVisible(ControlId::图形按钮5, true);
  EXPECT_TRUE(GetWindowLongA(unroll, GWL_STYLE) & WS_VISIBLE);
  window_->SetVisible(ControlId::图形按钮5, false);
  EXPECT_FALSE(GetWindowLongA(unroll, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(MainWindowOperations, DestroyRequestsPostedTwiceDestroyTheWindowOnce) {
  window_->RequestDestroy();
  window_->RequestDestroy();
  EXPECT_TRUE(IsWindow(hwnd_)) << "the request is carried out by the message loop";
  Pump();
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(windowsGone, 1);
}

TEST_F(MainWindowOperations, EveryControlOfTheWindowDataExistsWhereItSays) {
  for (const ControlData& data : Controls()) {
    if (data.kind == ControlKind::Timer || data.kind == ControlKind::CommonDialog ||
        data.kind == ControlKind::Printer || data.kind == ControlKind::MenuSkin)
      continue;
    HWND control = window_->Control(data.id);
    ASSERT_NE(control, nullptr) << int(data.id);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, data.x) << int(data.id);
    EXPECT_EQ(rect.top, data.y) << int(data.id);
    EXPECT_EQ(rect.right - rect.left, data.width) << int(data.id);
    EXPECT_EQ(rect.bottom - rect.top, data.height) << int(data.id);
    EXPECT_EQ((GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0, data.visible) << int(data.id);
  }
}

TEST_F(MainWindowOperations, ZOrderRunsFromTheHiddenEditBoxDownToTheTextArea) {
  std::vector<HWND> expected;
  for (const ControlData& data : Controls())
    if (HWND control = window_->Control(data.id); control && control != hwnd_)
      expected.push_back(control);
  std::vector<HWND> actual;
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetParent(child) == hwnd_) actual.push_back(child);
  EXPECT_EQ(actual, expected);
}

}  // namespace
