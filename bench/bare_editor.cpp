// The floor the editor is measured against: a bare Win32 program with one 660 x 483 window and a
// multi-line EDIT child in the editor's font, which loads the GBK file named on its command line.
#include <windows.h>

#include <string>

namespace {

constexpr char kClass[] = "BareEditor";
constexpr int kEditId = 1;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      MoveWindow(GetDlgItem(hwnd, kEditId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HFONT EditorFont() {
  LOGFONTA font{};
  font.lfHeight = -20;
  font.lfCharSet = GB2312_CHARSET;
  font.lfPitchAndFamily = VARIABLE_PITCH;
  lstrcpynA(font.lfFaceName, "宋体-PUA", LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

std::string ReadFileBytes(const char* path) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  RegisterClassExA(&wc);
  HWND window =
      CreateWindowExA(0, kClass, "Bare", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                      CW_USEDEFAULT, 660, 483, nullptr, nullptr, instance, nullptr);
  RECT client;
  GetClientRect(window, &client);
  HWND edit = CreateWindowExA(
      WS_EX_CLIENTEDGE, "EDIT", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
      client.right, client.bottom, window, reinterpret_cast<HMENU>(kEditId), instance, nullptr);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont()), FALSE);
  ShowWindow(window, show);
  std::string path = commandLine;
  if (path.size() >= 2 && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
  if (!path.empty()) SetWindowTextA(edit, ReadFileBytes(path.c_str()).c_str());
  SetFocus(edit);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
