// The common-dialog object 通用对话框1: its settings and the file and font dialogs of comdlg32.
#include "document/common_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdlib>

namespace {

bool IsLeadByte(char byte) {
  auto value = static_cast<unsigned char>(byte);
  return value >= 0x81 && value <= 0xFE;
}

// Copies as many whole GBK characters of `text` as fit into `size` bytes with the terminator.
void CopyWholeCharacters(std::string_view text, char* buffer, size_t size) {
  size_t length = 0;
  while (length < text.size()) {
    size_t next = length + (IsLeadByte(text[length]) && length + 1 < text.size() ? 2 : 1);
    if (next > size - 1) break;
    length = next;
  }
  std::copy_n(text.data(), length, buffer);
  buffer[length] = '\0';
}

const char* NullIfEmpty(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

std::string FilterList(std::string_view filter) {
  filter = filter.substr(0, filter.find_last_not_of(" \t\r\n\v\f") + 1);
  if (filter.empty()) return {};
  // A "|" is a separator only where it is a character of its own, never the second byte of a
  // double-byte character.
  std::string list;
  int separatorsAtEnd = 0;
  for (size_t i = 0; i < filter.size(); ++i) {
    if (IsLeadByte(filter[i]) && i + 1 < filter.size()) {
      list.append(filter.substr(i++, 2));
      separatorsAtEnd = 0;
    } else if (filter[i] == '|') {
      list += '\0';
      ++separatorsAtEnd;
    } else {
      list += filter[i];
      separatorsAtEnd = 0;
    }
  }
  if (separatorsAtEnd < 2) list.append(2, '\0');
  return list;
}

void CommonDialog::SetKind(int kind) {
  kind_ = std::clamp(kind, 0, 3);
}

void CommonDialog::SetFilterIndex(int index) {
  filterIndex_ = std::max(index, 0);
}

bool CommonDialog::ShowDialog() {
  switch (kind_) {
    case kFileOpenDialog:
    case kFileSaveDialog:
      return ShowFileDialog();
    case kFontDialog:
      return ShowFontDialog();
    default:
      return false;
  }
}

bool CommonDialog::ShowFileDialog() {
  std::string filters = FilterList(Filter);
  char name[MAX_PATH];
  CopyWholeCharacters(FileName, name, sizeof name);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = NullIfEmpty(filters);
  dialog.nFilterIndex = filters.empty() ? 0 : DWORD(filterIndex_) + 1;
  dialog.lpstrFile = name;
  dialog.nMaxFile = sizeof name;
  dialog.lpstrInitialDir = NullIfEmpty(InitialFolder);
  dialog.lpstrTitle = NullIfEmpty(Title);
  dialog.lpstrDefExt = NullIfEmpty(DefaultExtension);
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
  if (CreatePrompt) dialog.Flags |= OFN_CREATEPROMPT;
  if (FileMustExist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (OverwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  if (PathMustExist) dialog.Flags |= OFN_PATHMUSTEXIST;
  if (NoChangeDir) dialog.Flags |= OFN_NOCHANGEDIR;

  bool confirmed = kind_ == kFileOpenDialog ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (confirmed) FileName = name;
  return confirmed;
}

bool CommonDialog::ShowFontDialog() {
  int pixelsPerInch = ScreenPixelsPerInch();
  LOGFONTA font{};
  if (FontBold) font.lfWeight = FW_BOLD;
  font.lfItalic = FontItalic;
  font.lfStrikeOut = FontStrikeOut;
  font.lfUnderline = FontUnderline;
  if (!FontName.empty()) CopyWholeCharacters(FontName, font.lfFaceName, LF_FACESIZE);
  if (FontSize != 0) font.lfHeight = -MulDiv(FontSize, pixelsPerInch, 72);

  CHOOSEFONTA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  dialog.rgbColors = FontColour;
  if (!ChooseFontA(&dialog)) return false;

  // The script and any weight between regular and bold are not kept.
  FontColour = dialog.rgbColors;
  FontBold = font.lfWeight >= FW_BOLD;
  FontItalic = font.lfItalic != 0;
  FontStrikeOut = font.lfStrikeOut != 0;
  FontUnderline = font.lfUnderline != 0;
  FontName = font.lfFaceName;
  FontSize = MulDiv(std::abs(font.lfHeight), 72, pixelsPerInch);
  return true;
}
