// Start-up, the message loop, the orderly end and the fatal-error stop.
#include "app/program.h"

#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <cstdlib>

#include "ui/main_window.h"

std::unique_ptr<std::string> LastSearchText;

namespace {

void (*exitHook)() = nullptr;
bool loopRunning = false;

void StartWindowsSockets() {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 0), &data);
  std::atexit([] { WSACleanup(); });
}

void EnterProgramDirectory() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char* lastBackslash = nullptr;
  for (char* p = path; *p; p = CharNextA(p))
    if (*p == '\\') lastBackslash = p;
  if (!lastBackslash) return;
  *lastBackslash = '\0';
  SetCurrentDirectoryA(path);
}

void RunExitHook() {
  if (void (*hook)() = exitHook) {
    exitHook = nullptr;
    hook();
  }
}

// Only MainWindow counts as a window of the program: when it is gone, the loop ends.
void MainWindowGone() {
  if (loopRunning) PostQuitMessage(0);
}

int RunMessageLoop(MainWindow& window) {
  loopRunning = true;
  if (!IsWindow(window.Handle())) return 0;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsWindow(window.Handle()) && window.PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

void ReleaseGlobals() {
  LastSearchText.reset();
}

void SettleShowState(MainWindow& window) {
  window.SetShowState(2);
  window.SetShowState(0);
}

int ProgramStart() {
  StartWindowsSockets();
  OleInitialize(nullptr);
  EnterProgramDirectory();
  exitHook = ReleaseGlobals;

  std::unique_ptr<MainWindow> window =
      MainWindow::Create(GetModuleHandleA(nullptr), MainWindowGone);
  if (!window) FatalError("载入启动窗口失败");
  if (IsWindow(window->Handle())) ShowWindow(window->Handle(), SW_SHOW);

  int exitCode = RunMessageLoop(*window);
  window.reset();
  RunExitHook();
  OleUninitialize();
  return exitCode;
}

void FatalError(std::string_view message) {
  std::string text = "运行时出错!\r\n\r\n错误信息：";
  text.append(message);
  text += "\r\n";
  MessageBoxA(nullptr, text.c_str(), "错误", MB_OK | MB_ICONERROR);
  exitHook = nullptr;
  OleUninitialize();
  ExitProcess(0xFFFFFFFF);
}
