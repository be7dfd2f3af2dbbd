// What the document commands share: CurrentPath, the text of 编辑框2, and the save of the text
// area's text that tells the user when it failed.
#pragma once
#include <string>
#include <string_view>

class MainWindow;

std::string CurrentPath(const MainWindow& window);
void SetCurrentPath(MainWindow& window, std::string_view path);

// Writes the text area's whole text into the file; a failure is shown as "文件保存失败：" with the
// path. True when the file holds the text.
bool WriteDocument(MainWindow& window, const std::string& path);

enum class SaveOutcome { Saved, Cancelled, Failed };

// The save dialog captioned "保存", then the write into the file chosen there.
SaveOutcome SaveThroughDialog(MainWindow& window);
