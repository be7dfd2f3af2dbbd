// Shut down and restart on a real MainWindow in the test process, with a SessionEnd that records
// instead of ending the session: the question and its answers, the flags for each kind and
// Windows family, the privilege step. No test here may reach ExitWindowsEx: under Wine it ends
// every process of the session.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "driver/ui_driver.h"
#include "platform/session_end.h"
#include "tools/shut_down.h"
#include "ui/main_window.h"

namespace {

class RecordingSessionEnd : public SessionEnd {
 public:
  bool IsNtFamily() override { return ntFamily; }
  bool EnableShutdownPrivilege() override {
    ++privilegeRequests;
    return privilegeGranted;
  }
  bool EndSession(UINT flags) override {
    endings.push_back(flags);
    return true;
  }

  bool ntFamily = true;
  bool privilegeGranted = true;
  int privilegeRequests = 0;
  std::vector<UINT> endings;
};

// Installed for the life of a test; every test makes one before anything can end the session.
class SessionEndSeam {
 public:
  SessionEndSeam() { InstallSessionEnd(&recorder); }
  ~SessionEndSeam() { InstallSessionEnd(nullptr); }
  RecordingSessionEnd recorder;
};

struct Box {
  std::string title, text;
  bool yes = false, no = false, cancel = false;
  bool ownerDisabled = false;
};

// Answers every message box of this process that appears while a command runs, from a thread of
// its own, and keeps what each box showed.
class BoxAnswerer {
 public:
  BoxAnswerer(int button, HWND mainWindow) {
    thread_ = std::thread([this, button, mainWindow] {
      DWORD self = GetCurrentProcessId();
      while (!stop_) {
        for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", nullptr); box;
             box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
          DWORD owner = 0;
          GetWindowThreadProcessId(box, &owner);
          if (owner != self || !IsWindowVisible(box) || answered_.count(box)) continue;
          answered_.insert(box);
          boxes_.push_back({driver::WindowText(box), driver::MessageText(box),
                            GetDlgItem(box, IDYES) != nullptr, GetDlgItem(box, IDNO) != nullptr,
                            GetDlgItem(box, IDCANCEL) != nullptr, !IsWindowEnabled(mainWindow)});
          driver::PressButton(box, button);
        }
        Sleep(20);
      }
    });
  }
  ~BoxAnswerer() { Finish(); }

  // Stops answering; what the boxes showed, in order.
  std::vector<Box> Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return boxes_;
  }

 private:
  std::thread thread_;
  std::atomic<bool> stop_ = false;
  std::set<HWND> answered_;
  std::vector<Box> boxes_;
};

class ShutDownCommands : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(&CurrentSessionEnd(), &seam_.recorder);
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_->Handle(), SW_SHOW);
    window_->Text().SetText("未保存的内容");
    SendMessageA(window_->Text().Handle(), EM_SETMODIFY, TRUE, 0);
  }

  Handler MenuCommand(const std::string& text) {
    for (const MenuItemData& item : MenuTree())
      if (item.level == 1 && item.text == text) return item.command;
    return nullptr;
  }

  SessionEndSeam seam_;
  std::unique_ptr<MainWindow> window_;
};

struct CommandCase {
  const char* item;
  const char* question;
  int answer;
  bool ntFamily;
  bool privilegeGranted;
  std::vector<UINT> endings;
};

TEST_F(ShutDownCommands, AskThenEndTheSessionWithTheFlagsOfTheirKindAndFamily) {
  const char* kShutDown = "你正在编辑内容，真的要关机吗？";
  const char* kRestart = "你正在编辑内容，真的要重启吗？";
  const CommandCase cases[] = {
      {"关机", kShutDown, IDNO, true, true, {}},
      {"关机", kShutDown, IDYES, true, true, {EWX_POWEROFF | EWX_FORCE}},
      {"关机", kShutDown, IDYES, false, true, {EWX_SHUTDOWN | EWX_FORCE}},
      {"关机", kShutDown, IDYES, true, false, {}},
      {"重启", kRestart, IDNO, true, true, {}},
      {"重启", kRestart, IDYES, true, true, {EWX_REBOOT | EWX_FORCE}},
      {"重启", kRestart, IDYES, false, true, {EWX_REBOOT | EWX_FORCE}},
      {"重启", kRestart, IDYES, true, false, {}},
  };
  for (const CommandCase& c : cases) {
    std::string name = std::string(c.item) + (c.answer == IDYES ? " yes" : " no") +
                       (c.ntFamily ? " NT" : " 95") + (c.privilegeGranted ? "" : " no privilege");
    RecordingSessionEnd& recorder = seam_.recorder;
    recorder = {};
    recorder.ntFamily = c.ntFamily;
    recorder.privilegeGranted = c.privilegeGranted;
    Handler command = MenuCommand(c.item);
    ASSERT_NE(command, nullptr) << name;
    BoxAnswerer answerer(c.answer, window_->Handle());
    command(*window_);
    std::vector<Box> boxes = answerer.Finish();
    ASSERT_EQ(boxes.size(), 1u) << name << ": one question and nothing reported";
    EXPECT_EQ(boxes[0].title, "提示") << name;
    EXPECT_EQ(boxes[0].text, c.question) << name;
    EXPECT_TRUE(boxes[0].yes && boxes[0].no && !boxes[0].cancel) << name;
    EXPECT_TRUE(boxes[0].ownerDisabled) << name << ": the box is task-modal";
    EXPECT_EQ(recorder.privilegeRequests, c.answer == IDYES ? 1 : 0) << name;
    EXPECT_EQ(recorder.endings, c.endings) << name;
    EXPECT_EQ(window_->Text().GetText(), "未保存的内容") << name;
    EXPECT_TRUE(window_->Text().IsModified()) << name << ": the document is not saved";
  }
}

TEST_F(ShutDownCommands, ShutDownSystemTellsWhatHappenedAndForcesOnlyWhenAsked) {
  RecordingSessionEnd& recorder = seam_.recorder;
  EXPECT_TRUE(ShutDownSystem(ShutdownKind::PowerOff, false));
  EXPECT_TRUE(ShutDownSystem(ShutdownKind::Restart, false));
  recorder.ntFamily = false;
  EXPECT_TRUE(ShutDownSystem(ShutdownKind::PowerOff, false));
  EXPECT_EQ(recorder.endings, (std::vector<UINT>{EWX_POWEROFF, EWX_REBOOT, EWX_SHUTDOWN}));
  recorder.privilegeGranted = false;
  EXPECT_FALSE(ShutDownSystem(ShutdownKind::Restart, true));
  EXPECT_EQ(recorder.endings.size(), 3u);
}

// The privilege step of Windows itself, on this test process only; nothing here ends anything.
TEST(ShutdownPrivilege, IsEnabledInTheProcessToken) {
  SessionEnd& windows = CurrentSessionEnd();
  EXPECT_TRUE(windows.IsNtFamily());
  ASSERT_TRUE(windows.EnableShutdownPrivilege());

  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  PRIVILEGE_SET wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Control = PRIVILEGE_SET_ALL_NECESSARY;
  ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &wanted.Privilege[0].Luid));
  BOOL held = FALSE;
  EXPECT_TRUE(PrivilegeCheck(token, &wanted, &held));
  EXPECT_TRUE(held);
  CloseHandle(token);
}

}  // namespace
