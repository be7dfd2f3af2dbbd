// "字体": the font dialog of 通用对话框1, then its choice on the whole text of the text area.
#include "document/common_dialog.h"
#include "editing/editing_commands.h"
#include "ui/main_window.h"

void ChangeTextFont(MainWindow& window) {
  CommonDialog& dialog = window.Dialog();
  dialog.SetKind(kFontDialog);
  // A cancelled dialog leaves the text as it looks: its untouched first settings would make the
  // text black on the black background.
  if (!dialog.ShowDialog()) return;

  FontRecord font;
  font.bold = dialog.FontBold;
  font.italic = dialog.FontItalic;
  font.strikeOut = dialog.FontStrikeOut;
  font.underline = dialog.FontUnderline;
  font.faceName = dialog.FontName;
  font.size = dialog.FontSize;
  TextArea& text = window.Text();
  text.SetFont(font);
  text.SetTextColour(dialog.FontColour);
}
