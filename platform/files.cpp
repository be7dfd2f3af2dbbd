// Whole-file transfer over kernel32: one read of the whole file, and a save through a temporary
// file that replaces the target only when it is complete.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

// Every length the program keeps is an int; a longer file cannot be held.
constexpr LONGLONG kLargestFile = INT_MAX - 1;
constexpr size_t kWriteChunk = 1 << 24;
constexpr int kMoveAttempts = 10;
constexpr DWORD kMoveRetryMs = 50;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  bool Close() {
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
};

// The temporary file of a save, removed on every way out except the one that moved it in place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const char* Path() const { return path_.c_str(); }
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// Running out of memory stops the program, so a file too large for the memory the process can
// still get is refused before its buffer is made.
bool CanHold(LONGLONG size) {
  if (size > kLargestFile) return false;
  void* probe = std::malloc(size_t(size) + 1);
  std::free(probe);
  return probe != nullptr;
}

// The folder the target lies in, with its final backslash; empty when the name has no file part.
std::string FolderOf(const std::string& target) {
  char full[MAX_PATH];
  char* filePart = nullptr;
  DWORD length = GetFullPathNameA(target.c_str(), MAX_PATH, full, &filePart);
  if (length == 0 || length >= MAX_PATH || !filePart) return {};
  return std::string(full, filePart);
}

bool WriteCompletely(const char* path, const Bytes& data) {
  FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  for (size_t done = 0; done < data.size();) {
    DWORD chunk = DWORD(std::min(data.size() - done, kWriteChunk));
    DWORD written = 0;
    if (!WriteFile(file.Get(), data.data() + done, chunk, &written, nullptr) || written != chunk)
      return false;
    done += chunk;
  }
  return FlushFileBuffers(file.Get()) && file.Close();
}

// Virus scanners and indexers open a file for a moment after it changed, and a file that is open
// cannot be replaced: a target in use only that long must not make the save fail.
bool MoveIntoPlace(const char* from, const std::string& to) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from, to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    DWORD error = GetLastError();
    if (attempt == kMoveAttempts ||
        (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
      return false;
    Sleep(kMoveRetryMs);
  }
}

}  // namespace

std::optional<Bytes> ReadWholeFile(std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::string path(name);
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || !CanHold(size.QuadPart)) return std::nullopt;
  Bytes data(size_t(size.QuadPart), '\0');
  if (data.empty()) return data;
  DWORD read = 0;
  if (!ReadFile(file.Get(), data.data(), DWORD(data.size()), &read, nullptr)) return std::nullopt;
  data.resize(read);
  return data;
}

bool WriteWholeFile(std::string_view name, const Bytes& data) {
  if (name.empty()) return false;
  std::string target(name);
  DWORD attributes = GetFileAttributesA(target.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists) {
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
  }
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;

  std::string folder = FolderOf(target);
  char temporaryPath[MAX_PATH];
  if (folder.empty() || !GetTempFileNameA(folder.c_str(), "qv", 0, temporaryPath)) return false;
  TemporaryFile temporary(temporaryPath);
  if (!WriteCompletely(temporary.Path(), data)) return false;

  // Hidden and system stay with the file; a file system that cannot keep them is no reason to
  // refuse the save.
  DWORD carried = exists ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
  if (carried) SetFileAttributesA(temporary.Path(), carried);
  if (!MoveIntoPlace(temporary.Path(), target)) return false;
  temporary.Keep();
  return true;
}
