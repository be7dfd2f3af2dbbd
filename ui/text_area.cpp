// The text area 编辑框1: an ANSI multi-line EDIT control with its fixed font and colours.
#include "ui/text_area.h"

#include <commctrl.h>

namespace {

constexpr DWORD kFixedStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                              ES_WANTRETURN | ES_NOHIDESEL | ES_LEFT;

}  // namespace

TextArea::TextArea(HWND parent, const ControlData& data, HFONT font, Events events)
    : parent_(parent),
      events_(std::move(events)),
      font_(font),
      background_(CreateSolidBrush(RGB(0, 0, 0))),
      textColour_(data.textColour) {
  edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kFixedStyle, data.x, data.y, data.width,
                          data.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(data.id)),
                          GetModuleHandleA(nullptr), nullptr);
  if (!edit_) return;
  // No length limit: the EDIT control's default is 30,000 characters.
  SendMessageA(edit_, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetWindowSubclass(edit_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TextArea::~TextArea() {
  if (edit_) RemoveWindowSubclass(edit_, SubclassProc, 1);
  if (ownedFont_) DeleteObject(ownedFont_);
  DeleteObject(background_);
}

std::string TextArea::GetText() const {
  std::string text(TextLength(), '\0');
  if (!text.empty()) {
    int copied = GetWindowTextA(edit_, text.data(), static_cast<int>(text.size()) + 1);
    text.resize(copied > 0 ? copied : 0);
  }
  return text;
}

int TextArea::TextLength() const { return GetWindowTextLengthA(edit_); }

void TextArea::SetText(std::string_view text) {
  std::string terminated(text);
  settingText_ = true;
  SetWindowTextA(edit_, terminated.c_str());
  settingText_ = false;
  OnContentChanged();
}

bool TextArea::IsModified() const { return SendMessageA(edit_, EM_GETMODIFY, 0, 0) != 0; }

int TextArea::GetSelectionStart() const {
  DWORD start = 0, end = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TextArea::GetSelectedCount() const {
  DWORD start = 0, end = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

std::string TextArea::GetSelectedText() const {
  int start = GetSelectionStart();
  int count = GetSelectedCount();
  if (count <= 0) return {};
  return GetText().substr(start, count);
}

void TextArea::SetSelectionStart(int start) {
  if (start == -1) {
    storedStart_ = TextLength();
    storedCount_ = 0;
  } else {
    storedStart_ = start < 0 ? 0 : start;
  }
  ApplyStoredSelection();
}

void TextArea::SetSelectedCount(int count) {
  if (count == -1) {
    storedStart_ = 0;
    storedCount_ = TextLength();
  } else {
    storedCount_ = count < 0 ? 0 : count;
  }
  ApplyStoredSelection();
}

void TextArea::ApplyStoredSelection() {
  SendMessageA(edit_, EM_SETSEL, storedStart_, storedStart_ + storedCount_);
  SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
}

void TextArea::ReplaceSelection(std::string_view text) {
  std::string terminated(text);
  SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(terminated.c_str()));
}

void TextArea::SetScrollBars(int setting) {
  setting = setting < 0 ? 0 : (setting > 3 ? 3 : setting);
  scrollBars_ = setting;
}

void TextArea::SetFont(const FontRecord&) {}

void TextArea::SetTextColour(COLORREF colour) {
  textColour_ = colour;
  InvalidateRect(edit_, nullptr, TRUE);
}

void TextArea::Focus() { SetFocus(edit_); }
void TextArea::CopySelection() { SendMessageA(edit_, WM_COPY, 0, 0); }
void TextArea::PasteClipboard() { SendMessageA(edit_, WM_PASTE, 0, 0); }
void TextArea::CutSelection() { SendMessageA(edit_, WM_CUT, 0, 0); }

HBRUSH TextArea::Colours(HDC dc) const {
  SetTextColor(dc, textColour_);
  SetBkColor(dc, RGB(0, 0, 0));
  return background_;
}

void TextArea::OnContentChanged() {
  if (settingText_) return;
  if (events_.textChanged) events_.textChanged();
}

LRESULT CALLBACK TextArea::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
  // The right-button event fires before the control sees the press, which then goes on as usual.
  if (message == WM_RBUTTONDOWN) {
    auto* area = reinterpret_cast<TextArea*>(self);
    if (area->events_.rightButtonDown) area->events_.rightButtonDown();
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}
