// The Print command: the text of 编辑框1 laid out on the printable area of the job's pages.
#include "document/print_command.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "document/page_layout.h"
#include "document/printer.h"
#include "ui/main_window.h"

namespace {

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using FontHandle = std::unique_ptr<HFONT__, FontDeleter>;

// The text area's font at the printer's resolution, laid horizontally as the lines are.
FontHandle PrinterFont(HWND textArea, HDC printer) {
  auto screenFont = reinterpret_cast<HFONT>(SendMessageA(textArea, WM_GETFONT, 0, 0));
  LOGFONTA face{};
  if (!GetObjectA(screenFont ? screenFont : GetStockObject(SYSTEM_FONT), sizeof face, &face))
    return nullptr;
  HDC screen = GetDC(nullptr);
  face.lfHeight =
      MulDiv(face.lfHeight, GetDeviceCaps(printer, LOGPIXELSY), GetDeviceCaps(screen, LOGPIXELSY));
  face.lfWidth =
      MulDiv(face.lfWidth, GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
  face.lfEscapement = face.lfOrientation = 0;
  return FontHandle(CreateFontIndirectA(&face));
}

// Black text on the page with the printing font; a new page may come with fresh settings.
void PreparePage(HDC dc, HFONT font) {
  if (font) SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
}

// Character widths on the printer, each measured once.
class CharWidths {
 public:
  explicit CharWidths(HDC dc) : dc_(dc) { single_.fill(-1); }

  int operator()(std::string_view character) {
    if (character.size() == 1) {
      int& width = single_[static_cast<unsigned char>(character[0])];
      if (width < 0) width = Measure(character);
      return width;
    }
    auto [known, added] = double_.try_emplace(std::string(character), 0);
    if (added) known->second = Measure(character);
    return known->second;
  }

 private:
  int Measure(std::string_view character) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, character.data(), static_cast<int>(character.size()), &size);
    return size.cx;
  }

  HDC dc_;
  std::array<int, 256> single_;
  std::map<std::string, int> double_;
};

// Lays the text out on the job's pages and ends the job; stops when the job is abandoned.
void PrintText(Printer& printer, std::string_view text, HWND textArea) {
  HDC dc = printer.Dc();
  FontHandle font = PrinterFont(textArea, dc);
  PreparePage(dc, font.get());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  int lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
  int linesPerPage = std::max(1, GetDeviceCaps(dc, VERTRES) / lineHeight);
  CharWidths widths(dc);
  std::vector<std::string_view> lines =
      WrapLines(text, GetDeviceCaps(dc, HORZRES), 8 * metrics.tmAveCharWidth, std::ref(widths));

  for (size_t index = 0; index < lines.size(); ++index) {
    if (index > 0 && index % linesPerPage == 0) {
      if (!printer.NextPage()) return;
      PreparePage(dc, font.get());
    }
    int top = static_cast<int>(index % linesPerPage) * lineHeight;
    TabbedTextOutA(dc, 0, top, lines[index].data(), static_cast<int>(lines[index].size()), 0,
                   nullptr, 0);
    if (!printer.KeepResponsive()) return;
  }
  printer.EndPrintJob();
}

}  // namespace

void PrintDocument(MainWindow& window) {
  Printer& printer = window.Printer();
  if (!printer.StartPrintJob(true, true, 0, 0)) return;
  PrintText(printer, window.Text().GetText(), window.Text().Handle());
}
