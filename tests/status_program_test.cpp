// The status line of the real program under Wine: when the clock line first shows and how soon
// it follows a change of minute, and the address line against this machine's resolver.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "driver/ui_driver.h"

using namespace driver;

namespace {

// Polls the program's clock label from a thread of its own, so it also watches while the test's
// thread waits for the program to start, and keeps the times (GetTickCount) at which the
// label's caption changed, with the new caption.
class ClockLabelWatch {
 public:
  struct Change {
    DWORD time;
    std::string caption;
  };

  ClockLabelWatch() {
    thread_ = std::thread([this] {
      std::string last;
      while (!stop_) {
        HWND main = FindWindowExA(nullptr, nullptr, "QuorvaleMainWindow", nullptr);
        HWND label = main ? GetDlgItem(main, int(ControlId::透明标签1)) : nullptr;
        if (label) {
          if (!found_) found_ = GetTickCount();
          std::string caption = WindowText(label);
          if (caption != last) {
            std::lock_guard<std::mutex> lock(mutex_);
            changes_.push_back({GetTickCount(), caption});
            last = caption;
          }
        }
        Sleep(5);
      }
    });
  }
  ~ClockLabelWatch() {
    stop_ = true;
    thread_.join();
  }

  // When the main window was first found (it is found while still hidden).
  DWORD Found() const { return found_; }
  std::vector<Change> Changes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return changes_;
  }

 private:
  std::thread thread_;
  std::atomic<bool> stop_ = false;
  std::atomic<DWORD> found_ = 0;
  std::mutex mutex_;
  std::vector<Change> changes_;
};

TEST(StatusLineProgram, ClockLineAppearsAHundredMillisecondsOrSoAfterTheWindowIsMade) {
  ClockLabelWatch watch;
  Program program;
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !watch.Changes().empty(); }, 3000ms));
  std::vector<ClockLabelWatch::Change> changes = watch.Changes();
  ASSERT_NE(watch.Found(), 0u);
  // The first tick is delivered once the message loop runs, after the address query.
  DWORD delay = changes[0].time - watch.Found();
  EXPECT_GE(delay, 60u);
  EXPECT_LT(delay, 1000u);
  EXPECT_EQ(changes[0].caption.rfind("现在时间是：", 0), 0u) << changes[0].caption;
}

// Waits for the next change of the system's minute and sees the line follow within a second.
TEST(StatusLineProgram, AChangeOfMinuteShowsWithinASecond) {
  ClockLabelWatch watch;
  Program program;
  ASSERT_NE(program.MainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !watch.Changes().empty(); }, 3000ms));
  SYSTEMTIME now;
  GetLocalTime(&now);
  WORD minute = now.wMinute;
  ASSERT_TRUE(WaitUntil(
      [&] {
        GetLocalTime(&now);
        return now.wMinute != minute;
      },
      62000ms));
  DWORD turned = GetTickCount();
  size_t before = watch.Changes().size();
  ASSERT_TRUE(WaitUntil([&] { return watch.Changes().size() > before; }, 2000ms));
  EXPECT_EQ(before, 1u) << "the line changed only when the minute did";
  ClockLabelWatch::Change change = watch.Changes().back();
  EXPECT_LT(change.time - turned, 1200u);
  std::string ending = std::to_string(now.wMinute);
  ending.insert(ending.begin(), ':');
  EXPECT_EQ(change.caption.substr(change.caption.size() - ending.size()), ending) << change.caption;
}

// The addresses of this machine's own host name, asked of the resolver here in the test.
std::vector<std::string> ResolverAddresses() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 0), &data) != 0) return {};
  std::vector<std::string> addresses;
  char name[256];
  if (gethostname(name, sizeof name) == 0) {
    if (const hostent* host = gethostbyname(name)) {
      for (char** entry = host->h_addr_list; *entry && addresses.size() < 10; ++entry)
        addresses.push_back(inet_ntoa(*reinterpret_cast<in_addr*>(*entry)));
    }
  }
  WSACleanup();
  return addresses;
}

TEST(StatusLineProgram, AddressLineShowsTheResolversFirstAddressOffline) {
  Program program;
  ASSERT_NE(program.MainWindow(), nullptr);
  std::vector<std::string> addresses = ResolverAddresses();
  std::string first = addresses.empty() ? std::string() : addresses[0];
  EXPECT_EQ(WindowText(program.Control(ControlId::透明标签2)),
            "本机外网IP为空，原因是：你未连接上网。本机内网IP是：" + first);
}

}  // namespace
