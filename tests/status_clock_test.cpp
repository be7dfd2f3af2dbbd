// The clock line: its text for a table of instants through a clock that the test plays, the
// separate reading of each component, and on a real MainWindow in the test process the period
// rules of 时钟1, the tick handler and the label left without a trace of a longer old line.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <vector>

#include "platform/clock.h"
#include "status/clock_line.h"
#include "status/status_line.h"
#include "ui/main_window.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Instant {
  LocalTime time;
  const char* line;
};

const Instant kInstants[] = {
    {{2024, 3, 3, 1, 14, 5}, "现在时间是：2024年3月3日星期日14:5"},
    {{2024, 3, 4, 2, 8, 30}, "现在时间是：2024年3月4日星期一8:30"},
    {{2024, 3, 5, 3, 14, 5}, "现在时间是：2024年3月5日星期二14:5"},
    {{2024, 10, 16, 4, 9, 5}, "现在时间是：2024年10月16日星期三9:5"},
    {{2024, 10, 17, 5, 9, 30}, "现在时间是：2024年10月17日星期四9:30"},
    {{2024, 12, 27, 6, 12, 0}, "现在时间是：2024年12月27日星期五12:0"},
    {{2024, 3, 9, 7, 23, 59}, "现在时间是：2024年3月9日星期六23:59"},
    {{2025, 1, 1, 4, 0, 7}, "现在时间是：2025年1月1日星期三0:7"},
    {{2023, 1, 1, 1, 0, 0}, "现在时间是：2023年1月1日星期日0:0"},
};

TEST(ClockLine, ReadsAsSpecifiedForEachInstant) {
  for (const Instant& instant : kInstants) {
    EXPECT_EQ(ClockLine([&] { return instant.time; }), instant.line) << instant.line;
  }
}

// A clock that gives one reading after another, as a clock crossing a minute would.
TEST(ClockLine, TakesTheWeekdayAndEachComponentFromReadingsOfTheirOwn) {
  std::deque<LocalTime> readings = {
      {1999, 1, 1, 3, 1, 1},       // weekday: Tuesday
      {2024, 99, 99, 99, 99, 99},  // year
      {99, 12, 99, 99, 99, 99},    // month
      {99, 99, 31, 99, 99, 99},    // day
      {99, 99, 99, 99, 23, 99},    // hour
      {99, 99, 99, 99, 99, 0},     // minute
  };
  int taken = 0;
  std::string line = ClockLine([&] {
    ++taken;
    LocalTime next = readings.front();
    if (readings.size() > 1) readings.pop_front();
    return next;
  });
  EXPECT_EQ(line, "现在时间是：2024年12月31日星期二23:0");
  EXPECT_EQ(taken, 6);
}

TEST(ClockLine, SystemClockGivesTheDateOfTheCalendarAndItsWeekday) {
  LocalTime now{};
  SYSTEMTIME system{};
  // A reading that straddles a change of minute is taken again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    GetLocalTime(&system);
    now = ReadLocalTime();
    if (now.minute == system.wMinute) break;
  }
  EXPECT_EQ(now.year, system.wYear);
  EXPECT_EQ(now.month, system.wMonth);
  EXPECT_EQ(now.day, system.wDay);
  EXPECT_EQ(now.hour, system.wHour);
  EXPECT_EQ(now.minute, system.wMinute);
  std::chrono::year_month_day date{std::chrono::year(now.year), std::chrono::month(now.month),
                                   std::chrono::day(now.day)};
  EXPECT_EQ(now.weekday, int(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()) + 1);
}

// ---- 时钟1 and 透明标签1 on a real MainWindow ---------------------------------------------------

constexpr UINT_PTR kClockTimerId = 1000;

class ClockOnWindow : public testing::Test {
 protected:
  void SetUp() override {
    created_ = Clock::now();
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
    creation_ = MsSince(created_);
    ASSERT_NE(window_, nullptr);
    hwnd_ = window_->Handle();
  }

  // The timer is armed somewhere inside Create, so its first tick comes 100 ms after a moment
  // between the start and the end of Create.
  void ExpectFirstTickAfterAHundredMilliseconds(double tick) const {
    EXPECT_GE(tick, 90);
    EXPECT_LT(tick, creation_ + 300) << "Create took " << creation_ << " ms";
  }

  double MsSince(Clock::time_point start) const {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }

  // Runs the window's messages for `span` and returns when the clock's timer fired, in ms after
  // `start`. With `dispatchTicks` false the ticks are only taken from the queue, so the tick
  // handler does not run and the period stays as the test wrote it.
  std::vector<double> Ticks(std::chrono::milliseconds span, bool dispatchTicks,
                            Clock::time_point start) {
    std::vector<double> ticks;
    auto end = Clock::now() + span;
    while (Clock::now() < end) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::max<long long>(left.count(), 0)),
                                QS_ALLINPUT);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool tick = msg.message == WM_TIMER && msg.hwnd == hwnd_ && msg.wParam == kClockTimerId;
        if (tick) ticks.push_back(MsSince(start));
        if (!tick || dispatchTicks) DispatchMessageA(&msg);
      }
    }
    return ticks;
  }

  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  Clock::time_point created_;
  double creation_ = 0;  // ms that Create took
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(ClockOnWindow, TimerIsArmedAtCreationWithAHundredMilliseconds) {
  EXPECT_EQ(window_->TimerPeriod(), 100);
  std::vector<double> ticks = Ticks(1000ms, false, created_);
  ASSERT_GE(ticks.size(), 4u);
  ExpectFirstTickAfterAHundredMilliseconds(ticks[0]);
  EXPECT_LT((ticks.back() - ticks[0]) / double(ticks.size() - 1), 250);
}

TEST_F(ClockOnWindow, ADifferentPeriodRestartsTheCountdown) {
  auto written = Clock::now();
  window_->SetTimerPeriod(1000);
  EXPECT_EQ(window_->TimerPeriod(), 1000);
  std::vector<double> ticks = Ticks(2400ms, false, written);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_GE(ticks[0], 900);
  EXPECT_LT(ticks[0], 1350);
  EXPECT_GE(ticks[1] - ticks[0], 800);
}

TEST_F(ClockOnWindow, ThePeriodItAlreadyHasDoesNotRestartTheCountdown) {
  auto written = Clock::now();
  window_->SetTimerPeriod(1000);
  EXPECT_TRUE(Ticks(600ms, false, written).empty());
  window_->SetTimerPeriod(1000);
  std::vector<double> ticks = Ticks(900ms, false, written);
  // A restart would put the tick at 1600 ms.
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_LT(ticks[0], 1400);
}

TEST_F(ClockOnWindow, NegativeAndZeroPeriodsStopTheClock) {
  window_->SetTimerPeriod(-5);
  EXPECT_EQ(window_->TimerPeriod(), 0);
  EXPECT_TRUE(Ticks(700ms, false, Clock::now()).empty());
  window_->SetTimerPeriod(0);
  EXPECT_TRUE(Ticks(300ms, false, Clock::now()).empty());
  auto restarted = Clock::now();
  window_->SetTimerPeriod(200);
  std::vector<double> ticks = Ticks(500ms, false, restarted);
  ASSERT_FALSE(ticks.empty());
  EXPECT_GE(ticks[0], 150);
}

TEST_F(ClockOnWindow, TicksShowTheLineFirstAfterAHundredMillisecondsThenEverySecond) {
  EXPECT_EQ(window_->Caption(ControlId::透明标签1), "") << "empty until the first tick";
  std::string before = ClockLine(ReadLocalTime);
  std::vector<double> ticks = Ticks(3500ms, true, created_);
  std::string after = ClockLine(ReadLocalTime);

  ASSERT_GE(ticks.size(), 3u);
  ExpectFirstTickAfterAHundredMilliseconds(ticks[0]);
  for (size_t i = 1; i < ticks.size(); ++i) {
    EXPECT_GE(ticks[i] - ticks[i - 1], 850) << i;
    EXPECT_LT(ticks[i] - ticks[i - 1], 1300) << i;
  }
  EXPECT_EQ(window_->TimerPeriod(), kClockPeriodMs);
  std::string shown = window_->Caption(ControlId::透明标签1);
  EXPECT_TRUE(shown == before || shown == after) << shown;
}

// The label area as it is on the screen.
std::vector<COLORREF> ScreenPixels(const RECT& area) {
  int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels;
  for (int i = 0; i < width * height; ++i) {
    DWORD bgrx = static_cast<const DWORD*>(bits)[i];
    pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

TEST_F(ClockOnWindow, ATickAfterALongerLineLeavesNoTraceOfIt) {
  window_->SetTimerPeriod(0);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(hwnd_);
  Pump();
  HWND label = window_->Control(ControlId::透明标签1);
  RECT area;
  GetWindowRect(label, &area);
  std::vector<COLORREF> background = ScreenPixels(area);

  window_->SetCaption(ControlId::透明标签1,
                      "现在时间是：2024年12月31日星期二23:59 WWWWWWWWWWWWWWWWWWWWWWWW");
  Pump();
  ASSERT_NE(ScreenPixels(area), background) << "the screen shows the window";
  window_->FireEvent(ControlId::时钟1, Event::Tick);
  Pump();
  std::vector<COLORREF> shown = ScreenPixels(area);

  // Right of the new line's text the label must show only the window's background.
  std::string line = window_->Caption(ControlId::透明标签1);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  GetTextExtentPoint32A(dc, line.c_str(), int(line.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  // At some minutes the clock's own line fills the label under Wine's stand-in font; the long
  // line's trace could then only lie beyond the label's edge, where nothing is drawn.
  int width = area.right - area.left;
  int traces = 0, textPixels = 0;
  for (int y = 0; y < area.bottom - area.top; ++y) {
    for (int x = 0; x < width; ++x) {
      size_t at = size_t(y * width + x);
      if (x > extent.cx + 1 && shown[at] != background[at]) ++traces;
      if (x <= extent.cx && shown[at] == RGB(0, 255, 0)) ++textPixels;
    }
  }
  EXPECT_EQ(traces, 0);
  EXPECT_GT(textPixels, 0) << "the new line is drawn";
}

}  // namespace
