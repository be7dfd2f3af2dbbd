// What opening a long document costs the text area: SetText of 1 MB and 10 MB of GBK text with
// and without the scroll-bar setting known beforehand, and the per-keystroke and selection reads.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ui/text_area.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kThreshold = 2156;

int ScrollBarRule(int length) {
  return length < kThreshold ? 0 : 2;
}

// Lines of mixed Chinese and ASCII text, as a long document would hold.
std::string Document(size_t bytes) {
  std::string text;
  text.reserve(bytes + 128);
  for (int line = 1; text.size() < bytes; ++line)
    text += "第" + std::to_string(line) + "行：the quick brown fox 跳过了懒狗。春眠不觉晓。\r\n";
  text.resize(bytes);
  return text;
}

TextArea* forwardTo = nullptr;

// Forwards what MainWindow forwards to its text area.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (forwardTo && message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
    forwardTo->OnContentChanged();
  if (forwardTo && message == WM_CTLCOLOREDIT)
    return reinterpret_cast<LRESULT>(forwardTo->Colours(reinterpret_cast<HDC>(wParam)));
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A text area like the program's, whose TextChanged handler applies the scroll-bar rule;
// `ahead` also tells SetText the rule beforehand.
std::unique_ptr<TextArea> MakeTextArea(HWND parent, HFONT font, bool ahead) {
  forwardTo = nullptr;
  TextArea::Events events{[] { forwardTo->SetScrollBars(ScrollBarRule(forwardTo->TextLength())); },
                          nullptr, ahead ? ScrollBarRule : nullptr};
  auto area = std::make_unique<TextArea>(parent, ControlById(ControlId::编辑框1), font, events);
  forwardTo = area.get();
  return area;
}

template <typename Action>
double Seconds(Action action) {
  auto start = Clock::now();
  action();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Action>
double MedianMilliseconds(int rounds, Action action) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) times.push_back(Seconds(action) * 1000);
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TextAreaBench";
  RegisterClassA(&wc);
  HWND parent = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                182, 142, 660, 483, nullptr, nullptr, wc.hInstance, nullptr);
  const FontData& face = ControlById(ControlId::编辑框1).font;
  LOGFONTA logFont{};
  logFont.lfHeight = -face.height;
  logFont.lfCharSet = face.charset;
  logFont.lfPitchAndFamily = face.pitchAndFamily;
  lstrcpynA(logFont.lfFaceName, face.face, LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&logFont);

  std::printf(
      "SetText into the empty text area; its TextChanged handler applies the scroll-bar "
      "rule (seconds)\n");
  std::printf("%-7s %22s %22s %18s\n", "size", "rule known beforehand", "rule only afterwards",
              "back to 10 bytes");
  for (size_t megabytes : {1, 10}) {
    std::string text = Document(megabytes << 20);
    std::unique_ptr<TextArea> ahead = MakeTextArea(parent, font, true);
    double once = Seconds([&] { ahead->SetText(text); });
    double shortAgain = Seconds([&] { ahead->SetText("0123456789"); });
    ahead.reset();
    std::unique_ptr<TextArea> after = MakeTextArea(parent, font, false);
    double twice = Seconds([&] { after->SetText(text); });
    after.reset();
    std::printf("%2zu MB   %22.2f %22.2f %18.3f\n", megabytes, once, twice, shortAgain);
  }

  std::printf("\nReads on a document of 10 MB (milliseconds, median of 5)\n");
  std::unique_ptr<TextArea> area = MakeTextArea(parent, font, true);
  area->SetText(Document(10 << 20));
  area->SetSelectedCount(40);
  area->SetSelectionStart(5 << 20);
  int sink = 0;
  std::printf("%-48s %8.2f\n", "TextLength, the scroll-bar rule's read",
              MedianMilliseconds(5, [&] { sink += area->TextLength(); }));
  std::printf("%-48s %8.2f\n", "GetText, a copy of the whole text",
              MedianMilliseconds(5, [&] { sink += static_cast<int>(area->GetText().size()); }));
  std::printf("%-48s %8.2f\n", "GetSelectionStart, bytes from the control's units",
              MedianMilliseconds(5, [&] { sink += area->GetSelectionStart(); }));
  std::printf("%-48s %8.2f\n", "SetSelectionStart, the control's units from bytes",
              MedianMilliseconds(5, [&] { area->SetSelectionStart(6 << 20); }));
  std::printf("%-48s %8.2f\n", "GetSelectedText of 40 bytes", MedianMilliseconds(5, [&] {
                sink += static_cast<int>(area->GetSelectedText().size());
              }));
  area.reset();

  std::printf(
      "\nThe vertical bar coming or going after the text is in: 1 MB laid out again "
      "(seconds)\n");
  area = MakeTextArea(parent, font, false);
  area->SetText(Document(1 << 20));
  std::printf("%-48s %8.2f\n", "SetScrollBars 0, then", Seconds([&] { area->SetScrollBars(0); }));
  std::printf("%-48s %8.2f\n", "SetScrollBars 2", Seconds([&] { area->SetScrollBars(2); }));
  area.reset();

  DestroyWindow(parent);
  DeleteObject(font);
  return sink == -1;
}
