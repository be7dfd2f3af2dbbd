// Helpers of the printing tests: the PDF printers that the test session sets up, the PDFs that
// appear in their output folder, and their pages and text read back with pdftotext.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/ui_driver.h"

namespace printing {

using namespace std::chrono_literals;

inline constexpr char kDefaultPrinter[] = "Quorvale_PDF";
inline constexpr char kOtherPrinter[] = "Quorvale_PDF_2";
inline constexpr char kJobName[] = "未命名打印作业";

// The Unix folder where the PDF printers put their jobs; empty when the session has none.
inline std::string PrintFolder() {
  const char* folder = std::getenv("QUORVALE_PRINT_FOLDER");
  return folder ? folder : "";
}

// Wine shows the Unix file system as drive Z:.
inline std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

inline std::set<std::string> PdfFiles() {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(WindowsPath(PrintFolder() + "/*.pdf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.insert(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

inline std::string ReadFile(const std::string& windowsPath) {
  std::ifstream file(windowsPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// Starts a shell command line on the Unix side (Wine starts ELF executables too, though it cannot
// wait for them) and waits until it has made the file `done`.
inline bool RunUnixShell(const std::string& script, const std::string& done,
                         driver::Duration timeout = 20000ms) {
  DeleteFileA(WindowsPath(done).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "/bin/sh -c \"" + script + "\"";
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return driver::WaitUntil(
      [&] { return GetFileAttributesA(WindowsPath(done).c_str()) != INVALID_FILE_ATTRIBUTES; },
      timeout);
}

// A printed PDF read back: the text of each page (UTF-8, as pdftotext gives it) and its title.
struct PrintedPdf {
  // Where the text of a page lies, in points from the page's top: the top of each line's glyphs
  // and the lowest glyph bottom.
  struct Geometry {
    double height = 0;
    std::vector<double> lineTops;
    double bottom = 0;
  };

  std::string name;
  std::vector<std::string> pages;
  std::vector<Geometry> geometry;
  std::string title;
};

// The number after `attribute="` in `text` from `at` on.
inline double NumberAfter(const std::string& text, const std::string& attribute, size_t at) {
  size_t found = text.find(attribute + "=\"", at);
  return found == std::string::npos
             ? 0
             : std::strtod(text.c_str() + found + attribute.size() + 2, nullptr);
}

// The pages of pdftotext's -bbox output.
inline std::vector<PrintedPdf::Geometry> GeometryOf(const std::string& boxes) {
  std::vector<PrintedPdf::Geometry> pages;
  for (size_t page = boxes.find("<page "); page != std::string::npos;
       page = boxes.find("<page ", page + 1)) {
    PrintedPdf::Geometry geometry;
    geometry.height = NumberAfter(boxes, "height", page);
    size_t end = boxes.find("</page>", page);
    for (size_t word = boxes.find("<word ", page); word < end;
         word = boxes.find("<word ", word + 1)) {
      double top = NumberAfter(boxes, "yMin", word);
      if (geometry.lineTops.empty() || top > geometry.lineTops.back() + 0.5)
        geometry.lineTops.push_back(top);
      geometry.bottom = std::max(geometry.bottom, NumberAfter(boxes, "yMax", word));
    }
    pages.push_back(geometry);
  }
  return pages;
}

// A path for the shell's command line.
inline std::string Quoted(const std::string& path) {
  std::string quoted(1, '\'');
  quoted += path;
  quoted += '\'';
  return quoted;
}

// The pages and title of a finished PDF of the print folder.
inline std::optional<PrintedPdf> ReadPdf(const std::string& name) {
  std::string pdf = PrintFolder() + "/" + name;
  std::string text = pdf + ".txt";
  std::string meta = pdf + ".html";
  if (!RunUnixShell("pdftotext -enc UTF-8 " + Quoted(pdf) + " " + Quoted(text + ".part") +
                        " && pdftotext -enc UTF-8 -bbox " + Quoted(pdf) + " " + Quoted(meta) +
                        " && mv " + Quoted(text + ".part") + " " + Quoted(text),
                    text))
    return std::nullopt;
  std::string content = ReadFile(WindowsPath(text));
  std::string head = ReadFile(WindowsPath(meta));

  PrintedPdf printed;
  printed.name = name;
  // pdftotext ends every page with a form feed.
  size_t start = 0;
  for (size_t feed; (feed = content.find('\f', start)) != std::string::npos; start = feed + 1)
    printed.pages.push_back(content.substr(start, feed - start));
  size_t titleStart = head.find("<title>");
  size_t titleEnd = head.find("</title>");
  if (titleStart != std::string::npos && titleEnd != std::string::npos)
    printed.title = head.substr(titleStart + 7, titleEnd - titleStart - 7);
  printed.geometry = GeometryOf(head);
  return printed;
}

inline LONGLONG FileSize(const std::string& unixPath) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(WindowsPath(unixPath).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The name of a PDF that was not there before, once the printer has finished writing it (its size
// has stayed the same for a second); empty when none comes in time.
inline std::string WaitForNewPdf(const std::set<std::string>& before,
                                 driver::Duration timeout = 30000ms) {
  std::string name;
  LONGLONG size = -1;
  int steady = 0;
  driver::WaitUntil(
      [&] {
        for (const std::string& file : PdfFiles())
          if (!before.count(file)) name = file;
        if (name.empty()) return false;
        LONGLONG now = FileSize(PrintFolder() + "/" + name);
        steady = now > 0 && now == size ? steady + 1 : 0;
        size = now;
        Sleep(200);
        return steady >= 5;
      },
      timeout);
  return steady >= 5 ? name : std::string();
}

// Whether a PDF that was not there before appears within the time given.
inline bool NewPdfAppears(const std::set<std::string>& before, driver::Duration within) {
  return driver::WaitUntil(
      [&] {
        for (const std::string& file : PdfFiles())
          if (!before.count(file)) return true;
        return false;
      },
      within);
}

// GBK as pdftotext gives text back: UTF-8.
inline std::string Utf8(const std::string& gbk) {
  int length = MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), wide.data(), length);
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// The job name as the PDF's title holds it: its bytes, each shown as a Latin-1 character, in
// parentheses.
inline std::string JobNameOf(const PrintedPdf& pdf) {
  int length = MultiByteToWideChar(CP_UTF8, 0, pdf.title.data(), int(pdf.title.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, pdf.title.data(), int(pdf.title.size()), wide.data(), length);
  std::string bytes(wide.begin(), wide.end());
  if (bytes.size() >= 2 && bytes.front() == '(' && bytes.back() == ')')
    bytes = bytes.substr(1, bytes.size() - 2);
  return bytes;
}

// Skips a test when the session has no PDF printer (not root, or CUPS not installed).
#define REQUIRE_PDF_PRINTER()                                                          \
  if (printing::PrintFolder().empty())                                                 \
  GTEST_SKIP() << "no PDF printer in this session (tests/harness/session sets one up " \
                  "as root when cups and printer-driver-cups-pdf are installed)"

}  // namespace printing
