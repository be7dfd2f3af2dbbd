// Select all, cut, copy, paste and the two case conversions, and the scroll-bar rule.
#include "editing/editing_commands.h"

#include "editing/gbk_case.h"
#include "ui/main_window.h"

void SelectAllText(MainWindow& window) {
  TextArea& text = window.Text();
  text.SetSelectedCount(-1);
  text.Focus();
}

// The text area cuts by itself: a Delete key sent through the input stream would reach whatever
// has the focus, which is the button that opened the menu, or another program.
void CutToClipboard(MainWindow& window) {
  window.Text().CutSelection();
}

void CopyToClipboard(MainWindow& window) {
  window.Text().CopySelection();
}

void PasteFromClipboard(MainWindow& window) {
  window.Text().PasteClipboard();
}

namespace {

void ReplaceSelectionConverted(MainWindow& window, std::string (*convert)(std::string_view)) {
  TextArea& text = window.Text();
  std::string selected = text.GetSelectedText();
  if (!selected.empty()) text.ReplaceSelection(convert(selected));
  text.Focus();
}

}  // namespace

void ConvertSelectionToUpper(MainWindow& window) {
  ReplaceSelectionConverted(window, ToUpper);
}
void ConvertSelectionToLower(MainWindow& window) {
  ReplaceSelectionConverted(window, ToLower);
}

int ScrollBarSettingFor(int length) {
  return length < ScrollBarThreshold ? 0 : 2;
}

// Runs on every keystroke, so it asks only whether the text reaches the threshold: a copy of a long
// text, or even a count of all its bytes, would cost more than the edit itself.
void ApplyScrollBarRule(MainWindow& window) {
  TextArea& text = window.Text();
  text.SetScrollBars(ScrollBarSettingFor(text.TextLengthUpTo(ScrollBarThreshold)));
}
