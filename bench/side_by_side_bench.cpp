// The editor side by side with Wine's notepad and a bare Win32 program (one EDIT) on the same Wine
// in one run: start to ready, opening 1, 10 and 50 MB GBK files, one typed character, resident
// memory. Prints a Markdown table; repetitions are interleaved so that drift hits all three alike.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/ui_driver.h"

namespace {

using Clock = std::chrono::steady_clock;
using driver::Program;

constexpr int kRepetitions = 5;
constexpr int kLongRepetitions = 3;  // for the 50 MB file
constexpr int kKeystrokes = 21;
constexpr int kOpenItem = 1;  // 打开 in the File menu
constexpr auto kLoadTimeout = std::chrono::minutes(3);

double Milliseconds(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// Sleeps for a tenth of a millisecond: Sleep(1) is too coarse to time a keystroke.
void Nap() {
  using Delay = LONG(NTAPI*)(BOOLEAN, const LARGE_INTEGER*);
  static auto delay = reinterpret_cast<Delay>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDelayExecution")));
  LARGE_INTEGER interval;
  interval.QuadPart = -1000;
  delay(FALSE, &interval);
}

template <typename Condition>
bool PollUntil(Condition condition, Clock::duration timeout) {
  auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    Nap();
  }
  return true;
}

// ---- The three programs --------------------------------------------------------------------

struct Contender {
  std::string name;
  std::string executable;
  std::string windowClass;
  // The text area: the editor's 编辑框1 by id, the others' only EDIT child.
  std::function<HWND(Program&, HWND main)> textArea;
  // Brings up the program's Open dialog; without it the file goes on the command line.
  std::function<bool(Program&, HWND main)> showOpenDialog = nullptr;
  // Measured only for opening the 10 MB file, as a second way of opening beside another column.
  bool tenMegabytesOnly = false;
};

std::string Folder() {
  return driver::TestFolder();
}

std::vector<Contender> Contenders() {
  auto firstEdit = [](Program&, HWND main) {
    return FindWindowExA(main, nullptr, "Edit", nullptr);
  };
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string notepad = std::string(system) + "\\notepad.exe";
  return {
      {"bare Win32 program", Folder() + "\\bare_editor.exe", "BareEditor", firstEdit},
      {"Quorvale", Folder() + "\\quorvale.exe", "QuorvaleMainWindow",
       [](Program& program, HWND) { return program.Control(ControlId::编辑框1); },
       [](Program& program, HWND) {
         return driver::ChooseMenuItem(program, ControlId::超级按钮1, kOpenItem);
       }},
      {"Wine's notepad", notepad, "Notepad", firstEdit},
      {"Wine's notepad, File dialog", notepad, "Notepad", firstEdit,
       [](Program&, HWND main) {
         if (!driver::BringToForeground(main)) return false;
         driver::PressKeys({VK_CONTROL}, 'O');
         return true;
       },
       true},
  };
}

HWND VisibleWindow(const Program& program, const Contender& contender) {
  auto windows = program.TopLevelWindows(contender.windowClass.c_str());
  return windows.empty() ? nullptr : windows.back();
}

bool Answers(HWND hwnd, UINT message = WM_NULL, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, message, 0, 0, SMTO_NORMAL, 120000, result ? result : &ignored);
}

// What an EDIT control of another process answers; -1 when it does not answer. These are cheap for
// the control, so asking does not slow what is timed.
LONG_PTR Asked(HWND edit, UINT message) {
  DWORD_PTR answer = 0;
  return Answers(edit, message, &answer) ? static_cast<LONG_PTR>(answer) : -1;
}

// A test file, and the length of its text counted either way: a length asked across processes
// comes in GBK bytes where an ANSI window procedure (the editor's subclass) answers it, in UTF-16
// units where the control itself does.
struct Document {
  std::string path;
  long long bytes = 0;
  long long units = 0;
};

// A text has arrived once the control has more than one line; the length is checked after the
// time is taken.
bool TextArrived(HWND edit) {
  return Asked(edit, EM_GETLINECOUNT) > 1;
}
bool WholeText(HWND edit, const Document& document) {
  LONG_PTR length = Asked(edit, WM_GETTEXTLENGTH);
  return length == document.bytes || length == document.units;
}

SIZE_T ResidentBytes(const Program& program) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Id());
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!process) return 0;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) counters.WorkingSetSize = 0;
  CloseHandle(process);
  return counters.WorkingSetSize;
}

// Waits until the process has used no processor time for half a second, where Wine reports the
// times of another process; otherwise for half a second.
void WaitUntilQuiet(const Program& program) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, program.Id());
  auto used = [&] {
    FILETIME created, ended, kernel{}, user{};
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    return (static_cast<unsigned long long>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
           (static_cast<unsigned long long>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
  };
  for (int round = 0; round < 40; ++round) {
    auto before = used();
    Sleep(500);
    if (used() == before) break;
  }
  CloseHandle(process);
}

// ---- Measurements --------------------------------------------------------------------------

// A started program, once its window is visible, a WM_NULL sent to it has been answered and
// WaitForInputIdle (in the driver's Program) has returned.
struct Ready {
  std::unique_ptr<Program> program;
  HWND main = nullptr;
  double milliseconds = 0;
};

Ready StartReady(const Contender& contender, const std::string& arguments = {}) {
  Ready ready;
  auto start = Clock::now();
  ready.program = std::make_unique<Program>(Folder(), contender.executable, arguments);
  PollUntil([&] { return (ready.main = VisibleWindow(*ready.program, contender)) != nullptr; },
            kLoadTimeout);
  if (!ready.main || !Answers(ready.main)) {
    ready.main = nullptr;
    return ready;
  }
  ready.milliseconds = Milliseconds(Clock::now() - start);
  return ready;
}

// Opens the file through the program's Open dialog (打开); the time runs from the dialog's Open
// button until the text is in the text area and a WM_NULL has been answered.
std::optional<double> OpenThroughDialog(const Contender& contender, Ready& ready, HWND edit,
                                        const Document& document) {
  if (!contender.showOpenDialog(*ready.program, ready.main)) return {};
  HWND dialog = ready.program->WaitForDialog("打开", std::chrono::seconds(10));
  if (!dialog) return {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(driver::FileNameBox(dialog), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(document.path.c_str()), SMTO_NORMAL, 5000, &ignored);
  auto start = Clock::now();
  driver::PressButton(dialog, IDOK);
  if (!PollUntil([&] { return TextArrived(edit); }, kLoadTimeout) || !Answers(ready.main))
    return {};
  return Milliseconds(Clock::now() - start);
}

// The program holding the document: given on its command line, or started bare and then opened
// through its dialog. The time is the command line's start and load together, or the dialog's.
struct Opened {
  Ready ready;
  HWND edit = nullptr;
  std::optional<double> milliseconds;
};

Opened OpenFile(const Contender& contender, const Document& document) {
  Opened opened;
  auto start = Clock::now();
  opened.ready = StartReady(contender, contender.showOpenDialog ? "" : document.path);
  if (!opened.ready.main) return opened;
  opened.edit = contender.textArea(*opened.ready.program, opened.ready.main);
  if (contender.showOpenDialog) {
    WaitUntilQuiet(*opened.ready.program);
    opened.milliseconds = OpenThroughDialog(contender, opened.ready, opened.edit, document);
  } else if (PollUntil([&] { return TextArrived(opened.edit); }, kLoadTimeout) &&
             Answers(opened.ready.main)) {
    opened.milliseconds = Milliseconds(Clock::now() - start);
  }
  if (!WholeText(opened.edit, document)) opened.milliseconds.reset();
  return opened;
}

bool Painted(HWND edit) {
  return !GetUpdateRect(edit, nullptr, FALSE);
}

// One character posted as WM_CHAR to the text area at the end of the text: the time until the
// program has handled it (the caret has moved, asked with a message that waits for the key's
// handling to end) and until the control has painted it.
struct Keystroke {
  double handled = 0;
  double painted = 0;
};

std::optional<Keystroke> TypeAtEnd(HWND edit) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit, EM_SETSEL, INT_MAX, INT_MAX, SMTO_NORMAL, 5000, &ignored);
  SendMessageTimeoutW(edit, EM_SCROLLCARET, 0, 0, SMTO_NORMAL, 5000, &ignored);
  PollUntil([&] { return Painted(edit); }, std::chrono::seconds(10));
  Sleep(50);

  LONG_PTR caret = Asked(edit, EM_GETSEL);
  Keystroke key;
  auto start = Clock::now();
  PostMessageW(edit, WM_CHAR, L'x', 1);
  if (!PollUntil([&] { return Asked(edit, EM_GETSEL) != caret; }, std::chrono::seconds(10)))
    return {};
  key.handled = Milliseconds(Clock::now() - start);
  if (!PollUntil([&] { return Painted(edit); }, std::chrono::seconds(10))) return {};
  key.painted = Milliseconds(Clock::now() - start);
  return key;
}

// ---- Test files and figures ----------------------------------------------------------------

// Lines of mixed Chinese and ASCII text with CR LF ends, in GBK.
Document WriteDocument(size_t megabytes) {
  std::string text;
  text.reserve((megabytes << 20) + 128);
  for (int line = 1; text.size() < (megabytes << 20); ++line)
    text += "第" + std::to_string(line) + "行：the quick brown fox 跳过了懒狗。\r\n";
  Document document;
  document.path = Folder() + "\\bench-" + std::to_string(megabytes) + "mb.txt";
  document.bytes = static_cast<long long>(text.size());
  document.units =
      MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  HANDLE file =
      CreateFileA(document.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return document;
}

class Figures {
 public:
  void Add(const std::string& row, size_t contender, std::optional<double> value) {
    auto& cell = rows_[Order(row)].second;
    cell.resize(std::max(cell.size(), contender + 1));
    std::fprintf(stderr, "%s, %zu: %.1f\n", row.c_str(), contender, value.value_or(-1));
    if (value)
      cell[contender].values.push_back(*value);
    else
      ++cell[contender].failures;
  }

  // min / median per cell, and the editor's median over the bare program's.
  void Print(const std::vector<Contender>& contenders, FILE* out) const {
    std::fprintf(out, "| |");
    for (const auto& contender : contenders) std::fprintf(out, " %s |", contender.name.c_str());
    std::fprintf(out, " Quorvale / bare |\n|---|");
    for (size_t i = 0; i <= contenders.size(); ++i) std::fprintf(out, "---|");
    std::fprintf(out, "\n");
    for (const auto& [row, cells] : rows_) {
      std::fprintf(out, "| %s |", row.c_str());
      for (size_t i = 0; i < contenders.size(); ++i)
        std::fprintf(out, " %s |", i < cells.size() ? cells[i].Text().c_str() : "");
      if (cells.size() >= 2 && cells[0].Median() > 0 && cells[1].Median() > 0)
        std::fprintf(out, " %.2f |", cells[1].Median() / cells[0].Median());
      else
        std::fprintf(out, " |");
      std::fprintf(out, "\n");
    }
  }

 private:
  struct Cell {
    std::vector<double> values;
    int failures = 0;
    double Median() const {
      if (values.empty()) return 0;
      auto sorted = values;
      std::sort(sorted.begin(), sorted.end());
      return sorted[sorted.size() / 2];
    }
    std::string Text() const {
      char text[96] = "";
      if (!values.empty())
        std::snprintf(text, sizeof text, "%.1f / %.1f",
                      *std::min_element(values.begin(), values.end()), Median());
      std::string result = text;
      if (failures) result += " (" + std::to_string(failures) + " failed)";
      return result;
    }
  };

  size_t Order(const std::string& row) {
    for (size_t i = 0; i < rows_.size(); ++i)
      if (rows_[i].first == row) return i;
    rows_.push_back({row, {}});
    return rows_.size() - 1;
  }

  std::vector<std::pair<std::string, std::vector<Cell>>> rows_;
};

double Mebibytes(SIZE_T bytes) {
  return bytes / 1048576.0;
}

std::optional<double> MebibytesOrNone(SIZE_T bytes) {
  return bytes ? std::optional<double>(Mebibytes(bytes)) : std::nullopt;
}

void MeasureStart(const std::vector<Contender>& contenders, Figures& figures,
                  std::vector<double>& medianStart) {
  std::vector<std::vector<double>> starts(contenders.size());
  for (int round = 0; round < kRepetitions; ++round)
    for (size_t i = 0; i < contenders.size(); ++i) {
      if (contenders[i].tenMegabytesOnly) continue;
      Ready ready = StartReady(contenders[i]);
      std::optional<double> time;
      if (ready.main) time = ready.milliseconds;
      figures.Add("start to ready, ms", i, time);
      if (time) starts[i].push_back(*time);
      if (!ready.main) continue;
      WaitUntilQuiet(*ready.program);
      figures.Add("resident memory after start, MiB", i,
                  MebibytesOrNone(ResidentBytes(*ready.program)));
    }
  for (auto& times : starts) {
    std::sort(times.begin(), times.end());
    medianStart.push_back(times.empty() ? 0 : times[times.size() / 2]);
  }
}

void MeasureOpen(const std::vector<Contender>& contenders, size_t megabytes,
                 const std::vector<double>& medianStart, Figures& figures) {
  Document document = WriteDocument(megabytes);
  std::string row = "open " + std::to_string(megabytes) + " MB, ms";
  int repetitions = megabytes >= 50 ? kLongRepetitions : kRepetitions;
  for (int round = 0; round < repetitions; ++round)
    for (size_t i = 0; i < contenders.size(); ++i) {
      if (contenders[i].tenMegabytesOnly && megabytes != 10) continue;
      Opened opened = OpenFile(contenders[i], document);
      std::optional<double> time = opened.milliseconds;
      if (time && !contenders[i].showOpenDialog) *time -= medianStart[i];
      figures.Add(row, i, time);
      if (megabytes == 10 && time) {
        WaitUntilQuiet(*opened.ready.program);
        figures.Add("resident memory with 10 MB, MiB", i,
                    MebibytesOrNone(ResidentBytes(*opened.ready.program)));
      }
    }
  DeleteFileA(document.path.c_str());
}

void MeasureTyping(const std::vector<Contender>& contenders, size_t megabytes, Figures& figures) {
  Document document = WriteDocument(megabytes);
  std::string handled = "typed character at " + std::to_string(megabytes) + " MB, handled, ms";
  std::string painted = "typed character at " + std::to_string(megabytes) + " MB, painted, ms";
  for (size_t i = 0; i < contenders.size(); ++i) {
    if (contenders[i].tenMegabytesOnly) continue;
    Opened opened = OpenFile(contenders[i], document);
    if (!opened.milliseconds) {
      figures.Add(handled, i, std::nullopt);
      continue;
    }
    WaitUntilQuiet(*opened.ready.program);
    for (int round = 0; round < kKeystrokes; ++round) {
      std::optional<Keystroke> key = TypeAtEnd(opened.edit);
      figures.Add(handled, i, key ? std::optional<double>(key->handled) : std::nullopt);
      figures.Add(painted, i, key ? std::optional<double>(key->painted) : std::nullopt);
    }
  }
  DeleteFileA(document.path.c_str());
}

}  // namespace

// With no arguments everything is measured; "start", "open" or "typing" pick parts.
int main(int argc, char** argv) {
  std::vector<std::string> parts(argv + 1, argv + argc);
  auto wanted = [&](const char* part) {
    return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
  };
  std::vector<Contender> contenders = Contenders();
  Figures figures;
  std::vector<double> medianStart;
  MeasureStart(contenders, figures, medianStart);
  if (wanted("open"))
    for (size_t megabytes : {1, 10, 50}) MeasureOpen(contenders, megabytes, medianStart, figures);
  if (wanted("typing"))
    for (size_t megabytes : {1, 10}) MeasureTyping(contenders, megabytes, figures);

  std::printf(
      "Side by side on the same Wine, minimum / median; %d runs (%d for 50 MB), %d keystrokes.\n"
      "Opening by command line is timed from the start and less the median start.\n\n",
      kRepetitions, kLongRepetitions, kKeystrokes);
  figures.Print(contenders, stdout);
  return 0;
}
