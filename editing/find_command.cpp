// Find: asks for a text, remembered for the whole run, and selects its first occurrence.
#include <memory>

#include "app/program.h"
#include "editing/editing_commands.h"
#include "editing/find_text.h"
#include "editing/input_box.h"
#include "platform/message_box.h"
#include "ui/main_window.h"

void FindInDocument(MainWindow& window) {
  std::string sought = LastSearchText ? *LastSearchText : std::string();
  if (!InputBox(window.Handle(), "请输入欲查找的文本", "查找文本", sought)) return;
  LastSearchText = std::make_unique<std::string>(std::move(sought));

  TextArea& text = window.Text();
  int position = FindText(text.GetText(), *LastSearchText);
  if (position == -1) {
    ShowMessage("没有找到指定文件", MB_OK);
    return;
  }
  text.Focus();
  text.SetSelectionStart(position - 1);
  text.SetSelectedCount(static_cast<int>(LastSearchText->size()));
}
