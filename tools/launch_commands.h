// The launch commands of the Functions menu and "打开网址" of the Edit menu, with the two launch
// operations they share.
#pragma once
#include <string>

class MainWindow;

// The messenger's registered chat link; the contact's number follows "uin=".
inline constexpr char ChatLinkPrefix[] = "tencent://message/?uin=";

// Starts a program from the command line, unchanged, and returns once it waits for input or after
// a second at most. True when the process was created.
bool RunCommandLine(const std::string& commandLine);

// Hands a URL (or any file or document name) to the shell with the verb "open".
void OpenUrl(const std::string& url);

void ChatWithContact(MainWindow& window);
void OpenBrowser(MainWindow& window);
void RunDocument(MainWindow& window);
void OpenCommandPrompt(MainWindow& window);
void OpenRegistryEditor(MainWindow& window);
void OpenGroupPolicy(MainWindow& window);
void OpenTaskManager(MainWindow& window);
void OpenSelectedUrl(MainWindow& window);
