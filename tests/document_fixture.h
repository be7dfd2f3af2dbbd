// What the document tests share: a scratch folder of their own, raw file access that does not go
// through the program's file service, a helper process that holds a file open, and the real
// program under Wine with its text area, CurrentPath, File menu and dialogs in reach.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "driver/ui_driver.h"
#include "program_fixture.h"

namespace document {

using namespace std::chrono_literals;

// Items of the File menu, and 清空 of the Edit menu, counted without separators.
enum FileMenuItem { kNew = 0, kOpen = 1, kSave = 2, kSaveAs = 3, kExit = 5 };
constexpr int kClearItem = 7;

inline std::string SelfPath() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return self;
}

// The whole file as it is on disk; nothing when it cannot be opened. It is read sharing
// everything, so that looking never makes a save of the program fail.
inline std::optional<std::string> FileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline bool PutFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok =
      bytes.empty() || (WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                        written == bytes.size());
  CloseHandle(file);
  return ok;
}

// The names in a folder, without "." and "..", sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

inline void RemoveTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  for (const std::string& name : FolderEntries(path)) RemoveTree(path + "\\" + name);
  RemoveDirectoryA(path.c_str());
}

// A folder of the test's own under `parent` (by default beside the test program), removed with
// everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent = driver::TestFolder()) {
    static std::atomic<int> counter{0};
    std::string base = parent;
    if (!base.empty() && base.back() != '\\') base += '\\';
    path_ = base + "doc-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    RemoveTree(path_);
    created_ = CreateDirectoryA(path_.c_str(), nullptr) != FALSE;
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool Created() const { return created_; }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
  bool created_ = false;
};

// A process of its own that holds the file open for reading and writing: `shareRead` lets others
// read it meanwhile; nobody may write it or replace it.
class FileHolder {
 public:
  FileHolder(const std::string& path, bool shareRead)
      : path_(path),
        process_(
            {}, SelfPath(),
            std::string("\"--child=") + (shareRead ? "hold-file:" : "lock-file:") + path + "\"") {}

  // True once the file cannot be opened for writing any more.
  bool Holding() {
    return driver::WaitUntil([&] {
      HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
      CloseHandle(file);
      return false;
    });
  }

 private:
  std::string path_;
  driver::Program process_;
};

// A Windows path from the environment the session prepares, or empty.
inline std::string SessionDrive(const char* variable) {
  char value[MAX_PATH] = "";
  DWORD length = GetEnvironmentVariableA(variable, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? value : "";
}

// The real program with an empty, unmodified document.
class DocumentProgram : public ProgramTest {
 protected:
  std::string CurrentPath() { return driver::EditText(program_.Control(ControlId::编辑框2)); }

  bool IsModified() {
    DWORD_PTR modified = 0;
    SendMessageTimeoutA(TextArea(), EM_GETMODIFY, 0, 0, SMTO_ABORTIFHUNG, 5000, &modified);
    return modified != 0;
  }

  // Puts text in place as another program would: the document is then unmodified.
  void PlaceText(const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(TextArea(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
  }

  // Real typing at the end of the text.
  void Type(const std::string& text) {
    ASSERT_TRUE(driver::BringToForeground(main_));
    POINT centre = driver::Centre(TextArea());
    driver::ClickAt(centre.x, centre.y);
    driver::PressKeys({VK_CONTROL}, VK_END);
    driver::TypeText(text);
  }

  // A character typed and taken back: the text is as it was, and modified.
  void ChangeAndChangeBack() {
    std::string before = Text();
    Type("x");
    driver::PressKey(VK_BACK);
    ASSERT_TRUE(driver::WaitUntil([&] { return Text() == before && IsModified(); }));
  }

  bool Choose(FileMenuItem item) {
    return driver::ChooseMenuItem(program_, ControlId::超级按钮1, item);
  }
  bool ChooseClear() { return driver::ChooseMenuItem(program_, ControlId::超级按钮2, kClearItem); }

  // The guard's question; null when it does not come.
  HWND WaitForQuestion(driver::Duration timeout = 5000ms) {
    HWND box = program_.WaitForDialog("询问", timeout);
    if (box) {
      EXPECT_EQ(driver::MessageText(box), "文件已经被修改，是否保存？");
    }
    return box;
  }

  // A file dialog of the program: the one with the file-name box and this caption, or any
  // caption when `caption` is null.
  HWND WaitForFileDialog(const char* caption, driver::Duration timeout = 5000ms) {
    HWND found = nullptr;
    driver::WaitUntil(
        [&] {
          for (HWND dialog : program_.TopLevelWindows("#32770"))
            if (driver::FileNameBox(dialog) && (!caption || driver::WindowText(dialog) == caption))
              found = dialog;
          return found != nullptr;
        },
        timeout);
    return found;
  }

  // A message box of the program with this caption and text.
  HWND WaitForMessage(const std::string& caption, const std::string& text,
                      driver::Duration timeout = 5000ms) {
    HWND found = nullptr;
    driver::WaitUntil(
        [&] {
          for (HWND box : program_.TopLevelWindows("#32770"))
            if (driver::WindowText(box) == caption && driver::MessageText(box) == text) found = box;
          return found != nullptr;
        },
        timeout);
    return found;
  }

  // The system's question whether to replace an existing file, answered Yes.
  bool ReplaceExistingFile() {
    HWND box = nullptr;
    driver::WaitUntil([&] {
      for (HWND dialog : program_.TopLevelWindows("#32770"))
        if (GetDlgItem(dialog, IDYES) && !driver::FileNameBox(dialog)) box = dialog;
      return box != nullptr;
    });
    if (!box) return false;
    driver::PressButton(box, IDYES);
    return driver::WaitUntil([&] { return !IsWindow(box); });
  }

  bool Gone(HWND window) {
    return driver::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
  }

  // The program takes input again: no dialog left and the main window enabled for a while, and a
  // WM_NULL answered, which happens only once the command's handler has returned (a save still
  // writing after its dialog has closed is waited for too).
  bool Idle() {
    auto since = std::chrono::steady_clock::now();
    return driver::WaitUntil([&] {
      auto now = std::chrono::steady_clock::now();
      if (!program_.TopLevelWindows("#32770").empty() || !IsWindowEnabled(main_)) since = now;
      DWORD_PTR ignored = 0;
      return now - since >= 300ms &&
             SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
    });
  }

  // Opens the file through 打开 and its dialog (no guard question expected).
  void OpenFile(const std::string& path) {
    ASSERT_TRUE(Choose(kOpen));
    HWND dialog = WaitForFileDialog("打开");
    ASSERT_NE(dialog, nullptr);
    driver::ConfirmFileDialog(dialog, path);
    ASSERT_TRUE(Gone(dialog));
    ASSERT_TRUE(driver::WaitUntil([&] { return CurrentPath() == path; }));
    ASSERT_TRUE(Idle());
  }
};

}  // namespace document
