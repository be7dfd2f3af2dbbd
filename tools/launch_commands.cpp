// The launch commands: texts go to Windows exactly as they are, and no failure is reported.
#include "tools/launch_commands.h"

#include "platform/processes.h"
#include "ui/main_window.h"

namespace {

constexpr unsigned kIdleWaitMs = 1000;
constexpr char kBrowserPath[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
// A running Internet Explorer owns what the shell opens, so it can take the URL itself.
constexpr char kBrowserWindowTitle[] = "Microsoft Internet Explorer";

}  // namespace

bool RunCommandLine(const std::string& commandLine) {
  return CurrentLauncher().StartProcess(commandLine, kIdleWaitMs);
}

void OpenUrl(const std::string& url) {
  Launcher& launcher = CurrentLauncher();
  HWND owner = launcher.FindTopLevelWindow(kBrowserWindowTitle);
  launcher.ShellOpen(owner, url.c_str(), nullptr, nullptr);
}

void ChatWithContact(MainWindow& window) {
  OpenUrl(ChatLinkPrefix + window.Text().GetText());
}

void OpenBrowser(MainWindow&) {
  RunCommandLine(kBrowserPath);
}

void RunDocument(MainWindow& window) {
  RunCommandLine(window.Text().GetText());
}

void OpenCommandPrompt(MainWindow&) {
  RunCommandLine("cmd");
}

void OpenRegistryEditor(MainWindow&) {
  RunCommandLine("regedit");
}

void OpenGroupPolicy(MainWindow&) {
  CurrentLauncher().ShellOpen(nullptr, "gpedit.msc", "gpedit.msc", "");
}

void OpenTaskManager(MainWindow&) {
  RunCommandLine("taskmgr");
}

void OpenSelectedUrl(MainWindow& window) {
  TextArea& text = window.Text();
  if (text.GetSelectedCount() <= 0) return;
  OpenUrl(text.GetSelectedText());
  text.Focus();
}
