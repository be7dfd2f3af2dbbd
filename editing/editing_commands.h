// The Edit menu's commands on the text area 编辑框1 (selection, clipboard, case, Find, font) and
// the scroll-bar rule that follows every change of its content.
#pragma once

class MainWindow;

// From this byte length on, the text area shows a vertical scroll bar.
inline constexpr int ScrollBarThreshold = 2156;

void SelectAllText(MainWindow& window);
void CutToClipboard(MainWindow& window);
void CopyToClipboard(MainWindow& window);
void PasteFromClipboard(MainWindow& window);
void ConvertSelectionToUpper(MainWindow& window);
void ConvertSelectionToLower(MainWindow& window);

// The scroll-bar setting for a text of this many bytes: 0 none, 2 vertical.
int ScrollBarSettingFor(int length);
// The text area's TextChanged handler.
void ApplyScrollBarRule(MainWindow& window);

// Asks for a text and selects its first occurrence in the document.
void FindInDocument(MainWindow& window);

// Shows the font dialog and gives the whole text the chosen font and colour.
void ChangeTextFont(MainWindow& window);
