// The program's life through the real program under Wine: where and how the window first shows,
// the ways it ends, its current folder and the fatal-error stop.
#include <gtest/gtest.h>

#include "driver/ui_driver.h"

using namespace driver;

namespace {

constexpr DWORD kFatalExitCode = 0xFFFFFFFF;

TEST(Lifecycle, WindowFirstShowsCentredBorderlessAndNormal) {
  Program program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);

  RECT rect = WindowRect(main);
  EXPECT_EQ(rect.left, 182);
  EXPECT_EQ(rect.top, 142);
  EXPECT_EQ(rect.right - rect.left, 660);
  EXPECT_EQ(rect.bottom - rect.top, 483);

  LONG style = GetWindowLongA(main, GWL_STYLE);
  for (LONG frame : {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_BORDER, WS_DLGFRAME, WS_MINIMIZEBOX,
                     WS_MAXIMIZEBOX})
    EXPECT_EQ(style & frame, 0) << std::hex << frame;
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_FALSE(IsZoomed(main));
  EXPECT_EQ(WindowText(main), "");
  EXPECT_EQ(GetFocus(), nullptr) << "the focus is in the program's thread, not the test's";
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui));
  EXPECT_EQ(gui.hwndFocus, program.Control(ControlId::编辑框1));
}

TEST(Lifecycle, AltF4OnAnUnmodifiedDocumentEndsWithExitCodeZero) {
  Program program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(BringToForeground(main));
  PressKeys({VK_MENU}, VK_F4);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Lifecycle, WmCloseFromAnotherProgramEndsWithExitCodeZero) {
  Program program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Lifecycle, TwoCloseClicksQueuedTogetherEndTheProgramOnce) {
  Program program;
  HWND main = program.MainWindow();
  HWND close = program.Control(ControlId::关闭);
  ASSERT_NE(close, nullptr);
  // Both clicks are queued before the first destroy request can be delivered.
  for (int i = 0; i < 2; ++i)
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(close), BN_CLICKED),
                 reinterpret_cast<LPARAM>(close));
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Lifecycle, CurrentFolderIsTheProgramsFolderWhereverItWasStartedFrom) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  Program program(windows);
  ASSERT_NE(program.MainWindow(), nullptr);
  EXPECT_STRCASEEQ(program.CurrentFolder().c_str(), TestFolder().c_str());
}

struct FatalCase {
  const char* role;
  const char* message;
};

class FatalStop : public testing::TestWithParam<FatalCase> {};

TEST_P(FatalStop, ShowsItsMessageAndExitsWithMinusOne) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  Program child({}, self, std::string("--child=") + GetParam().role);
  ASSERT_TRUE(child.Started());
  HWND box = child.WaitForDialog("错误", 20000ms);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box),
            std::string("运行时出错!\r\n\r\n错误信息：") + GetParam().message + "\r\n");
  EXPECT_EQ(child.WaitForExit(300ms), STILL_ACTIVE) << "the process waits for the box";
  PressButton(box, IDOK);
  EXPECT_EQ(child.WaitForExit(), kFatalExitCode);
}

INSTANTIATE_TEST_SUITE_P(Lifecycle, FatalStop,
                         testing::Values(FatalCase{"fatal-error", "载入启动窗口失败"},
                                         FatalCase{"out-of-memory",
                                                   sizeof(void*) == 8
                                                       ? "分配 9223372036854775807 字节内存失败!"
                                                       : "分配 2147483647 字节内存失败!"}));

}  // namespace
