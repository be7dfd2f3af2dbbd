// The launch commands. On a real MainWindow in the test process, with a Launcher that records
// instead of starting anything: the exact texts each menu item hands to Windows. Through the real
// program under Wine: "运行", "打开网址" and "聊QQ" really starting start_marker.exe, which writes
// down how it was started.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "driver/ui_driver.h"
#include "platform/processes.h"
#include "tools/launch_commands.h"
#include "ui/main_window.h"

namespace {

using namespace std::chrono_literals;

struct Call {
  std::string kind;  // "start" or "shell"
  std::string text;  // the command line, or the shell's file
  DWORD idleWaitMs = 0;
  HWND owner = nullptr;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
  return out << call.kind << " [" << call.text << "] wait " << call.idleWaitMs << " owner "
             << call.owner << " parameters " << call.parameters.value_or("(null)") << " directory "
             << call.directory.value_or("(null)");
}

Call Start(std::string commandLine, DWORD idleWaitMs = 1000) {
  Call call;
  call.kind = "start";
  call.text = std::move(commandLine);
  call.idleWaitMs = idleWaitMs;
  return call;
}

Call Shell(std::string file, HWND owner = nullptr,
           std::optional<std::string> parameters = std::nullopt,
           std::optional<std::string> directory = std::nullopt) {
  Call call;
  call.kind = "shell";
  call.text = std::move(file);
  call.owner = owner;
  call.parameters = std::move(parameters);
  call.directory = std::move(directory);
  return call;
}

std::optional<std::string> Optional(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

std::string Quoted(const std::string& path) {
  std::string quoted = "\"";
  quoted += path;
  quoted += '"';
  return quoted;
}

class RecordingLauncher : public Launcher {
 public:
  bool StartProcess(const std::string& commandLine, DWORD idleWaitMs) override {
    calls.push_back(Start(commandLine, idleWaitMs));
    return !commandLine.empty();
  }
  HWND FindTopLevelWindow(const std::string& title) override {
    searchedTitles.push_back(title);
    return browserWindow;
  }
  void ShellOpen(HWND owner, const char* file, const char* parameters,
                 const char* directory) override {
    calls.push_back(Shell(file, owner, Optional(parameters), Optional(directory)));
  }

  std::vector<Call> calls;
  std::vector<std::string> searchedTitles;
  HWND browserWindow = nullptr;
};

Handler MenuCommand(const std::string& text) {
  for (const MenuItemData& item : MenuTree())
    if (item.level == 1 && item.text == text) return item.command;
  return nullptr;
}

class LaunchCommands : public testing::Test {
 protected:
  void SetUp() override {
    InstallLauncher(&launcher_);
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_->Handle(), SW_SHOW);
    SetForegroundWindow(window_->Handle());
  }
  void TearDown() override {
    window_.reset();
    InstallLauncher(nullptr);
  }

  // Runs a menu item as the pop-up menu would, and checks that the document was left alone.
  void Choose(const std::string& item) {
    Handler command = MenuCommand(item);
    ASSERT_NE(command, nullptr) << item;
    TextArea& text = window_->Text();
    std::string document = text.GetText();
    bool modified = text.IsModified();
    int start = text.GetSelectionStart(), count = text.GetSelectedCount();
    command(*window_);
    EXPECT_EQ(text.GetText(), document) << item;
    EXPECT_EQ(text.IsModified(), modified) << item;
    EXPECT_EQ(text.GetSelectionStart(), start) << item;
    EXPECT_EQ(text.GetSelectedCount(), count) << item;
  }

  RecordingLauncher launcher_;
  std::unique_ptr<MainWindow> window_;
};

struct ToolCase {
  const char* item;
  const char* document;
  Call call;
};

TEST_F(LaunchCommands, EachToolCommandHandsItsExactTextToWindows) {
  const char* kCommandLines = " notepad.exe  \"C:\\a b\\记事.txt\"\r\n第二行 ";
  const ToolCase cases[] = {
      {"打开浏览器", "", Start("C:\\Program Files\\Internet Explorer\\iexplore.exe")},
      {"打开CMD", "", Start("cmd")},
      {"打开注册表", "", Start("regedit")},
      {"打开任务管理器", "", Start("taskmgr")},
      {"打开组策略", "", Shell("gpedit.msc", nullptr, "gpedit.msc", "")},
      {"运行", kCommandLines, Start(kCommandLines)},
      {"运行", "", Start("")},
      {"聊QQ", "", Shell(ChatLinkPrefix)},
      {"聊QQ", "12345", Shell(std::string(ChatLinkPrefix) + "12345")},
      {"聊QQ", "12345\r\n 6", Shell(std::string(ChatLinkPrefix) + "12345\r\n 6")},
  };
  for (const ToolCase& c : cases) {
    window_->Text().SetText(c.document);
    launcher_.calls.clear();
    Choose(c.item);
    ASSERT_EQ(launcher_.calls.size(), 1u) << c.item;
    EXPECT_EQ(launcher_.calls[0], c.call) << c.item << " with [" << c.document << "]";
  }
}

TEST_F(LaunchCommands, ChatLinkPrefixEndsWithTheContactKey) {
  std::string prefix = ChatLinkPrefix;
  ASSERT_GT(prefix.size(), 4u);
  EXPECT_EQ(prefix.substr(prefix.size() - 4), "uin=");
  EXPECT_NE(prefix.find("://"), std::string::npos) << "a URL of a scheme of its own";
}

TEST_F(LaunchCommands, OpenUrlGivesARunningInternetExplorerAsTheOwner) {
  launcher_.browserWindow = window_->Handle();
  OpenUrl("http://example.com/");
  EXPECT_EQ(launcher_.searchedTitles, std::vector<std::string>{"Microsoft Internet Explorer"});
  ASSERT_EQ(launcher_.calls.size(), 1u);
  EXPECT_EQ(launcher_.calls[0], Shell("http://example.com/", window_->Handle()));
}

TEST_F(LaunchCommands, OpenUrlWithNothingSelectedDoesNothing) {
  TextArea& text = window_->Text();
  text.SetText("http://example.com/");
  text.SetSelectionStart(5);
  HWND button = window_->Control(ControlId::超级按钮2);
  SetFocus(button);
  Choose("打开网址");
  EXPECT_TRUE(launcher_.calls.empty());
  EXPECT_TRUE(launcher_.searchedTitles.empty());
  EXPECT_EQ(GetFocus(), button) << "the focus stays where it was";
}

TEST_F(LaunchCommands, OpenUrlHandsAMultiLineSelectionUnchangedAndFocusesTheText) {
  TextArea& text = window_->Text();
  text.SetText("see http://a.example/x y\r\n第二行 z\r\nend");
  text.SetSelectionStart(4);
  text.SetSelectedCount(30);
  std::string selected = text.GetSelectedText();
  ASSERT_EQ(selected, "http://a.example/x y\r\n第二行 z");
  SetFocus(window_->Control(ControlId::超级按钮2));
  Choose("打开网址");
  ASSERT_EQ(launcher_.calls.size(), 1u);
  EXPECT_EQ(launcher_.calls[0], Shell(selected));
  EXPECT_EQ(GetFocus(), text.Handle());
}

TEST(RunCommandLine, TellsWhetherTheProcessWasCreated) {
  RecordingLauncher launcher;
  InstallLauncher(&launcher);
  EXPECT_TRUE(RunCommandLine("cmd"));
  EXPECT_FALSE(RunCommandLine(""));
  InstallLauncher(nullptr);
}

// ---- The real program and start_marker.exe --------------------------------------------------

using namespace driver;

constexpr int kEditMenuOpenUrl = 9;
constexpr int kFunctionsChat = 0;
constexpr int kFunctionsRun = 4;

std::string MarkerPath() {
  return TestFolder() + "\\start_marker.exe";
}
std::string MarkerLog() {
  return TestFolder() + "\\start_marker.log";
}

struct Started {
  DWORD flags = 0;
  unsigned show = 0;
  std::string commandLine;
};

// What start_marker.exe wrote, once it has; nullopt when it was not started in time.
std::optional<Started> WaitForMarker(Duration timeout = 5000ms) {
  if (!WaitUntil([] { return GetFileAttributesA(MarkerLog().c_str()) != INVALID_FILE_ATTRIBUTES; },
                 timeout))
    return std::nullopt;
  std::ifstream file(MarkerLog(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  Started started;
  content >> started.flags >> started.show;
  content.get();
  std::getline(content, started.commandLine, '\0');
  return started;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  return gui.hwndFocus;
}

class LaunchProgram : public testing::Test {
 protected:
  void SetUp() override {
    DeleteFileA(MarkerLog().c_str());
    ASSERT_NE(GetFileAttributesA(MarkerPath().c_str()), INVALID_FILE_ATTRIBUTES);
    main_ = program_.MainWindow();
    ASSERT_NE(main_, nullptr);
    edit_ = program_.Control(ControlId::编辑框1);
  }
  void TearDown() override { DeleteFileA(MarkerLog().c_str()); }

  void SetDocument(const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
  }
  void Select(int start, int end) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit_, EM_SETSEL, start, end, SMTO_ABORTIFHUNG, 5000, &result);
  }

  Program program_;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
};

TEST_F(LaunchProgram, RunStartsTheDocumentsCommandLineShownNormally) {
  std::string commandLine = Quoted(MarkerPath()) + " first \"second arg\" 第三";
  SetDocument(commandLine);
  ASSERT_TRUE(ChooseMenuItem(program_, ControlId::超级按钮4, kFunctionsRun));
  std::optional<Started> started = WaitForMarker();
  ASSERT_TRUE(started.has_value());
  EXPECT_EQ(started->commandLine, commandLine);
  EXPECT_TRUE(started->flags & STARTF_USESHOWWINDOW);
  EXPECT_EQ(started->show, unsigned(SW_SHOWNORMAL));
  EXPECT_EQ(EditText(edit_), commandLine);
  EXPECT_TRUE(program_.TopLevelWindows("#32770").empty()) << "nothing is reported";
}

TEST_F(LaunchProgram, RunWithAnEmptyDocumentFailsSilently) {
  ASSERT_TRUE(ChooseMenuItem(program_, ControlId::超级按钮4, kFunctionsRun));
  EXPECT_FALSE(WaitForMarker(1500ms).has_value());
  EXPECT_TRUE(program_.Running());
  EXPECT_TRUE(program_.TopLevelWindows("#32770").empty()) << "nothing is reported";
  EXPECT_EQ(EditText(edit_), "");
}

TEST_F(LaunchProgram, OpenUrlWithNothingSelectedDoesNothing) {
  SetDocument(MarkerPath());
  Select(3, 3);
  HWND button = program_.Control(ControlId::超级按钮2);
  ASSERT_TRUE(ChooseMenuItem(program_, ControlId::超级按钮2, kEditMenuOpenUrl));
  EXPECT_FALSE(WaitForMarker(1500ms).has_value());
  EXPECT_EQ(FocusOf(main_), button) << "the focus stays on the button that opened the menu";
}

TEST_F(LaunchProgram, OpenUrlHandsTheSelectionToTheShellAndFocusesTheText) {
  std::string path = MarkerPath();
  SetDocument("run " + path + " now");
  Select(4, 4 + int(path.size()));
  ASSERT_TRUE(ChooseMenuItem(program_, ControlId::超级按钮2, kEditMenuOpenUrl));
  std::optional<Started> started = WaitForMarker();
  ASSERT_TRUE(started.has_value());
  EXPECT_NE(started->commandLine.find("start_marker.exe"), std::string::npos)
      << started->commandLine;
  EXPECT_EQ(started->show, unsigned(SW_SHOWNORMAL));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == edit_; }));
}

// The messenger's chat-link scheme registered with Windows, opening start_marker.exe.
class ChatScheme {
 public:
  explicit ChatScheme(const std::string& scheme) : key_(scheme) {
    HKEY key = nullptr;
    std::string command = Quoted(MarkerPath()) + " \"%1\"";
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, (key_ + "\\shell\\open\\command").c_str(), 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   DWORD(command.size() + 1));
    RegCloseKey(key);
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
      RegSetValueExA(key, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
      RegCloseKey(key);
      registered_ = true;
    }
  }
  ~ChatScheme() { RegDeleteTreeA(HKEY_CLASSES_ROOT, key_.c_str()); }
  bool Registered() const { return registered_; }

 private:
  std::string key_;
  bool registered_ = false;
};

TEST_F(LaunchProgram, ChatOpensThePrefixFollowedByTheText) {
  std::string prefix = ChatLinkPrefix;
  ChatScheme scheme(prefix.substr(0, prefix.find(':')));
  ASSERT_TRUE(scheme.Registered());
  SetDocument("12345");
  ASSERT_TRUE(ChooseMenuItem(program_, ControlId::超级按钮4, kFunctionsChat));
  std::optional<Started> started = WaitForMarker();
  ASSERT_TRUE(started.has_value());
  EXPECT_NE(started->commandLine.find(prefix + "12345"), std::string::npos) << started->commandLine;
}

}  // namespace
