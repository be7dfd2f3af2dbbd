// A program the launch tests start. It writes how it was started to start_marker.log beside
// itself: the startup flags and show state as "flags show" on the first line, then the command
// line exactly as it came, and ends at once.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string log(path, length);
  log = log.substr(0, log.find_last_of('\\')) + "\\start_marker.log";

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  char head[64];
  int headLength =
      std::snprintf(head, sizeof head, "%lu %u\n", startup.dwFlags, unsigned(startup.wShowWindow));
  std::string record(head, headLength);
  record += GetCommandLineA();

  // Written under a scratch name and renamed, so a test never reads half a record.
  std::string scratch = log + ".part";
  HANDLE file = CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
  CloseHandle(file);
  return MoveFileExA(scratch.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
