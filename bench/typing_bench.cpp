// The cost of one typed character in a long document: a real MainWindow in this process, a key
// sent to the text area as WM_CHAR, the TextChanged handler with its scroll-bar rule included.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "editing/editing_commands.h"
#include "ui/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 21;

// Lines of mixed Chinese and ASCII text, as a long document would hold.
std::string Document(size_t bytes) {
  std::string text;
  text.reserve(bytes + 128);
  for (int line = 1; text.size() < bytes; ++line)
    text += "第" + std::to_string(line) + "行：the quick brown fox 跳过了懒狗。\r\n";
  text.resize(bytes);
  return text;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

template <typename Action>
double MedianMilliseconds(Action action) {
  std::vector<double> times;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    action();
    times.push_back(Milliseconds(start, Clock::now()));
  }
  return Median(times);
}

}  // namespace

int main() {
  std::unique_ptr<MainWindow> window = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
  if (!window) return 1;
  ShowWindow(window->Handle(), SW_SHOW);
  TextArea& text = window->Text();

  std::printf("One typed character at the end of the document, milliseconds (median of %d)\n",
              kRounds);
  std::printf("%-6s %12s %10s %12s %12s %12s\n", "size", "key+paint", "paint", "scroll rule",
              "byte count", "text copy");
  for (size_t megabytes : {1, 10}) {
    text.SetText(Document(megabytes << 20));
    text.SetSelectionStart(-1);
    text.Focus();
    Pump();
    UpdateWindow(window->Handle());

    // The key is handled (TextChanged and its rule included), then the control paints, as it does
    // between two keystrokes of a user.
    std::vector<double> typed, painted;
    for (int round = 0; round < kRounds; ++round) {
      auto start = Clock::now();
      SendMessageA(text.Handle(), WM_CHAR, 'a', 1);
      auto handled = Clock::now();
      UpdateWindow(text.Handle());
      Pump();
      auto shown = Clock::now();
      typed.push_back(Milliseconds(start, shown));
      painted.push_back(Milliseconds(handled, shown));
    }
    double rule = MedianMilliseconds([&] { ApplyScrollBarRule(*window); });
    // What the rule would cost if it counted the text's bytes, or copied the text to count them.
    double count = MedianMilliseconds([&] { text.TextLength(); });
    double copy = MedianMilliseconds([&] { text.GetText(); });
    std::printf("%-6s %12.2f %10.2f %12.2f %12.2f %12.2f\n",
                (std::to_string(megabytes) + " MB").c_str(), Median(typed), Median(painted), rule,
                count, copy);
  }
  return 0;
}
