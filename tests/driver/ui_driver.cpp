// The black-box UI driver: processes, windows, real input and dialogs.
#include "driver/ui_driver.h"

#include <dlgs.h>
#include <winternl.h>

#include <algorithm>

namespace driver {

namespace {

std::string ToGbk(const std::wstring& wide) {
  int length =
      WideCharToMultiByte(936, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(length, '\0');
  WideCharToMultiByte(936, 0, wide.c_str(), int(wide.size()), text.data(), length, nullptr,
                      nullptr);
  return text;
}

std::wstring FromGbk(const std::string& text) {
  int length = MultiByteToWideChar(936, 0, text.c_str(), int(text.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(936, 0, text.c_str(), int(text.size()), wide.data(), length);
  return wide;
}

void SendInputs(std::vector<INPUT> inputs) {
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(30);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT MouseInput(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// The part of the process parameters that holds the current folder (same layout on both targets).
struct ProcessParametersHead {
  ULONG maximumLength;
  ULONG length;
  ULONG flags;
  ULONG debugFlags;
  HANDLE consoleHandle;
  ULONG consoleFlags;
  HANDLE standardInput;
  HANDLE standardOutput;
  HANDLE standardError;
  UNICODE_STRING currentFolder;
};

}  // namespace

std::string TestFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\'));
}

Program::Program(std::string workingFolder, std::string executable, std::string arguments) {
  if (executable.empty()) executable = TestFolder() + "\\quorvale.exe";
  std::string commandLine = "\"" + executable + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
    return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
  WaitForInputIdle(process_, 5000);
}

Program::~Program() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool Program::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> Program::TopLevelWindows(const char* windowClass) const {
  struct Search {
    DWORD id;
    const char* windowClass;
    std::vector<HWND> found;
  } search{id_, windowClass, {}};
  struct Collect {
    static BOOL CALLBACK Window(HWND hwnd, LPARAM data) {
      auto& search = *reinterpret_cast<Search*>(data);
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner == search.id && IsWindowVisible(hwnd) &&
          (!search.windowClass || ClassName(hwnd) == search.windowClass))
        search.found.push_back(hwnd);
      return TRUE;
    }
  };
  EnumWindows(Collect::Window, reinterpret_cast<LPARAM>(&search));
  std::reverse(search.found.begin(), search.found.end());
  return search.found;
}

HWND Program::MainWindow(Duration timeout) {
  if (main_ && IsWindow(main_)) return main_;
  WaitUntil(
      [&] {
        auto windows = TopLevelWindows("QuorvaleMainWindow");
        main_ = windows.empty() ? nullptr : windows.back();
        return main_ != nullptr || !Running();
      },
      timeout);
  return main_;
}

HWND Program::Control(ControlId id) {
  HWND main = MainWindow();
  return main ? GetDlgItem(main, static_cast<int>(id)) : nullptr;
}

DWORD Program::WaitForExit(Duration timeout) {
  if (!process_) return STILL_ACTIVE;
  WaitForSingleObject(process_, DWORD(timeout.count()));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::string Program::CurrentFolder() const {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process_, ProcessBasicInformation, &basic, sizeof basic, nullptr))
    return {};
  PEB peb{};
  SIZE_T read = 0;
  if (!ReadProcessMemory(process_, basic.PebBaseAddress, &peb, sizeof peb, &read)) return {};
  ProcessParametersHead parameters{};
  if (!ReadProcessMemory(process_, peb.ProcessParameters, &parameters, sizeof parameters, &read))
    return {};
  std::wstring folder(parameters.currentFolder.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process_, parameters.currentFolder.Buffer, folder.data(),
                         parameters.currentFolder.Length, &read))
    return {};
  std::string text = ToGbk(folder);
  if (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
}

HWND Program::WaitForDialog(const std::string& caption, Duration timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : TopLevelWindows("#32770"))
          if (WindowText(dialog) == caption) found = dialog;
        return found != nullptr;
      },
      timeout);
  return found;
}

std::string WindowText(HWND hwnd) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  return std::string(text, copied);
}

std::string ClassName(HWND hwnd) {
  char name[256] = {};
  int length = GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, std::max(length, 0));
}

RECT WindowRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

std::string MessageText(HWND messageBox) {
  return ItemText(messageBox, 0xFFFF);
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? WindowText(item) : std::string();
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool BringToForeground(HWND hwnd) {
  return WaitUntil(
      [&] {
        if (GetForegroundWindow() == hwnd) return true;
        SetForegroundWindow(hwnd);
        return false;
      },
      3000ms);
}

bool CursorAt(int x, int y) {
  POINT at{};
  GetCursorPos(&at);
  return at.x == x && at.y == y;
}

void MoveMouse(int x, int y) {
  // Absolute coordinates are normalised to 0..65535 over the primary screen. Under Xvfb a late
  // pointer event from the X server can put the cursor back, so the move is repeated until the
  // cursor has stayed where it was sent.
  INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  move.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  for (int attempt = 0; attempt < 20; ++attempt) {
    SendInputs({move});
    if (!CursorAt(x, y)) continue;
    Sleep(40);
    if (CursorAt(x, y)) return;
  }
}

void LeftButtonDown() {
  SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN)});
}
void LeftButtonUp() {
  SendInputs({MouseInput(MOUSEEVENTF_LEFTUP)});
}
void RightButtonDown() {
  SendInputs({MouseInput(MOUSEEVENTF_RIGHTDOWN)});
}
void RightButtonUp() {
  SendInputs({MouseInput(MOUSEEVENTF_RIGHTUP)});
}

void ClickAt(int x, int y) {
  MoveMouse(x, y);
  LeftButtonDown();
  LeftButtonUp();
}

void PressKey(WORD vk) {
  SendInputs({KeyInput(vk, false), KeyInput(vk, true)});
}

void PressKeys(std::initializer_list<WORD> held, WORD vk) {
  std::vector<INPUT> inputs;
  for (WORD key : held) inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  for (auto key = std::rbegin(held); key != std::rend(held); ++key)
    inputs.push_back(KeyInput(*key, true));
  SendInputs(inputs);
}

void TypeText(const std::string& gbk) {
  std::vector<INPUT> inputs;
  for (wchar_t c : FromGbk(gbk)) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInputs(inputs);
}

POINT Centre(HWND hwnd) {
  RECT rect = WindowRect(hwnd);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND OpenMenu(Program& program, ControlId from) {
  HWND main = program.MainWindow();
  HWND control = program.Control(from);
  if (!main || !control || !BringToForeground(main)) return nullptr;
  POINT centre = Centre(control);
  if (from == ControlId::编辑框1) {
    MoveMouse(centre.x, centre.y);
    RightButtonDown();
    RightButtonUp();
  } else {
    ClickAt(centre.x, centre.y);
  }
  HWND menu = nullptr;
  WaitUntil([&] {
    auto menus = program.TopLevelWindows("#32768");
    menu = menus.empty() ? nullptr : menus.back();
    return menu != nullptr;
  });
  return menu;
}

bool PickMenuItem(HWND menu, int index) {
  for (int i = 0; i <= index; ++i) PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  return WaitUntil([&] { return !IsWindowVisible(menu); });
}

bool ChooseMenuItem(Program& program, ControlId from, int index) {
  HWND menu = OpenMenu(program, from);
  return menu && PickMenuItem(menu, index);
}

std::string ComboItem(HWND combo, int index) {
  WCHAR item[256] = L"";
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item));
  return ToGbk(item);
}

std::string EditText(HWND edit) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

HWND FileNameBox(HWND fileDialog) {
  HWND box = GetDlgItem(fileDialog, cmb13);
  if (!box) return GetDlgItem(fileDialog, edt1);
  for (HWND inner = box; inner; inner = GetWindow(inner, GW_CHILD))
    if (ClassName(inner) == "Edit") return inner;
  return box;
}

void ConfirmFileDialog(HWND fileDialog, const std::string& name) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FileNameBox(fileDialog), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
  PressButton(fileDialog, IDOK);
}

}  // namespace driver
