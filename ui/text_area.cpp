// The text area 编辑框1: an ANSI multi-line EDIT control with its font and colours, the byte
// offsets the commands use, and the scroll bars that come and go with the document's length.
#include "ui/text_area.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "ui/window_subclass.h"

namespace {

constexpr DWORD kFixedStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                              ES_WANTRETURN | ES_NOHIDESEL | ES_LEFT;
constexpr char kDefaultFace[] = "宋体";

bool HasHorizontalBar(int setting) {
  return setting == 1 || setting == 3;
}
bool HasVerticalBar(int setting) {
  return setting >= 2;
}

// The bytes the first `units` characters of a GBK text take, counted as MultiByteToWideChar counts
// them: a lead byte takes the byte after it along.
int BytesOfUnits(std::string_view text, DWORD units) {
  size_t at = 0;
  for (; units > 0 && at < text.size(); --units)
    at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
  return static_cast<int>(at);
}

}  // namespace

TextArea::TextArea(HWND parent, const ControlData& data, HFONT font, Events events)
    : parent_(parent),
      place_{data.x, data.y, data.x + data.width, data.y + data.height},
      id_(static_cast<int>(data.id)),
      events_(std::move(events)),
      font_(font),
      background_(CreateSolidBrush(RGB(0, 0, 0))),
      textColour_(data.textColour) {
  edit_ = CreateControl(scrollBars_);
  if (!edit_) return;
  LearnOffsetUnits();
  MeasureLineHeight();
}

TextArea::~TextArea() {
  if (edit_) RemoveSubclass(edit_);
  if (ownedFont_) DeleteObject(ownedFont_);
  DeleteObject(background_);
}

// Wine's EDIT cannot take up or drop wrapping after its creation, so only the horizontal setting is
// fixed here; the vertical scroll bar is always added and removed in place (ShowVerticalBar).
HWND TextArea::CreateControl(int scrollBars) {
  DWORD style = kFixedStyle | (HasHorizontalBar(scrollBars) ? WS_HSCROLL | ES_AUTOHSCROLL : 0);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", style, place_.left, place_.top,
                              place_.right - place_.left, place_.bottom - place_.top, parent_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!edit) return nullptr;
  // No length limit: the EDIT control's default is 30,000 characters.
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  InstallSubclass(edit, SubclassProc, this);
  return edit;
}

// Windows counts an ANSI control's offsets in bytes; Wine counts them in UTF-16 units, so there a
// double-byte character is one unit. One such character tells which.
void TextArea::LearnOffsetUnits() {
  settingText_ = true;
  SetWindowTextA(edit_, "中");
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  DWORD end = 0;
  SendMessageA(edit_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  countsCharacters_ = end == 1;
  SetWindowTextA(edit_, "");
  settingText_ = false;
}

void TextArea::MeasureLineHeight() {
  HDC dc = GetDC(edit_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit_, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(edit_, dc);
  lineHeight_ = std::max<int>(metrics.tmHeight, 1);
}

// ---- Content ---------------------------------------------------------------------------------

std::string TextArea::GetText() const {
  std::string text(TextLength(), '\0');
  if (!text.empty()) {
    int copied = GetWindowTextA(edit_, text.data(), static_cast<int>(text.size()) + 1);
    text.resize(copied > 0 ? copied : 0);
  }
  return text;
}

int TextArea::TextLength() const {
  return GetWindowTextLengthA(edit_);
}

// The control keeps its count of UTF-16 units at hand, while its byte count converts the whole
// text. No two units take fewer than one byte, so a text of twice the limit in units is long
// enough, and only a shorter one, cheap to convert, is counted in bytes.
int TextArea::TextLengthUpTo(int limit) const {
  if (CallControlProcedureW(edit_, WM_GETTEXTLENGTH, 0, 0) >= 2LL * limit) return limit;
  return std::min(TextLength(), limit);
}

void TextArea::SetText(std::string_view text) {
  std::string content(text.substr(0, text.find('\0')));
  settingText_ = true;
  if (events_.scrollBarsFor) {
    int wanted = std::clamp(events_.scrollBarsFor(static_cast<int>(content.size())), 0, 3);
    if (wanted != scrollBars_) {
      // A change of scroll bars lays the whole text out again, which for a long text costs as
      // much as loading it: the bars change while the control is empty.
      SetWindowTextA(edit_, "");
      ApplyScrollBars(wanted);
    }
  }
  SetWindowTextA(edit_, content.c_str());
  settingText_ = false;
  OnContentChanged();
}

bool TextArea::IsModified() const {
  return SendMessageA(edit_, EM_GETMODIFY, 0, 0) != 0;
}

void TextArea::ReplaceSelection(std::string_view text) {
  std::string terminated(text);
  SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(terminated.c_str()));
}

// ---- Selection -------------------------------------------------------------------------------

// Where the control counts characters, the offsets are turned into bytes with the text before them
// only: a long document is not copied for a selection near its start.
std::string TextArea::TextBefore(long long bytes) const {
  std::string text(static_cast<size_t>(std::clamp<long long>(bytes, 0, INT_MAX - 1)), '\0');
  text.resize(GetWindowTextA(edit_, text.data(), static_cast<int>(text.size()) + 1));
  return text;
}

std::pair<int, int> TextArea::SelectionBytes() const {
  DWORD start = 0, end = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (!countsCharacters_) return {static_cast<int>(start), static_cast<int>(end)};
  // No character takes more than two bytes.
  std::string before = TextBefore(2LL * end);
  return {BytesOfUnits(before, start), BytesOfUnits(before, end)};
}

int TextArea::GetSelectionStart() const {
  return SelectionBytes().first;
}

int TextArea::GetSelectedCount() const {
  auto [start, end] = SelectionBytes();
  return end - start;
}

std::string TextArea::GetSelectedText() const {
  auto [start, end] = SelectionBytes();
  if (end <= start) return {};
  return TextBefore(end).substr(start);
}

void TextArea::SetSelectionStart(int start) {
  if (start == -1) {
    storedStart_ = TextLength();
    storedCount_ = 0;
  } else {
    storedStart_ = std::max(start, 0);
  }
  ApplyStoredSelection();
}

void TextArea::SetSelectedCount(int count) {
  if (count == -1) {
    storedStart_ = 0;
    storedCount_ = TextLength();
  } else {
    storedCount_ = std::max(count, 0);
  }
  ApplyStoredSelection();
}

// Offsets beyond the end of the text select up to the end.
void TextArea::ApplyStoredSelection() {
  int length = TextLength();
  int start = std::min(storedStart_, length);
  int end = static_cast<int>(std::min<long long>(0LL + storedStart_ + storedCount_, length));
  if (countsCharacters_) {
    std::string before = TextBefore(end);
    int size = static_cast<int>(before.size());
    start = MultiByteToWideChar(CP_ACP, 0, before.data(), std::min(start, size), nullptr, 0);
    end = MultiByteToWideChar(CP_ACP, 0, before.data(), size, nullptr, 0);
  }
  SendMessageA(edit_, EM_SETSEL, start, end);
  SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
}

// ---- Scroll bars -----------------------------------------------------------------------------

void TextArea::SetScrollBars(int setting) {
  setting = std::clamp(setting, 0, 3);
  if (setting == scrollBars_) return;
  ApplyScrollBars(setting);
  SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
}

// The vertical bar changes in place, which keeps the control with its selection, undo history and
// modified flag; a change of wrapping needs a new control.
void TextArea::ApplyScrollBars(int setting) {
  bool rewrap = HasHorizontalBar(setting) != HasHorizontalBar(scrollBars_);
  scrollBars_ = setting;
  if (rewrap)
    Rebuild(setting);
  else
    ShowVerticalBar(HasVerticalBar(setting));
}

void TextArea::ShowVerticalBar(bool show) {
  LONG style = GetWindowLongA(edit_, GWL_STYLE);
  SetWindowLongA(edit_, GWL_STYLE, show ? style | WS_VSCROLL : style & ~WS_VSCROLL);
  SetWindowPos(edit_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  shownBar_ = {};
  shownBar_.nMax = -1;  // no line count gives this: the bar is set afresh
  KeepVerticalBarInStep();
}

void TextArea::Rebuild(int setting) {
  HWND old = edit_;
  HWND fresh = CreateControl(setting);
  if (!fresh) return;
  bool hadFocus = GetFocus() == old;
  bool modified = IsModified();
  DWORD start = 0, end = 0;
  SendMessageA(old, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::string text = GetText();

  SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  edit_ = fresh;
  settingText_ = true;
  // A modified document goes in as an edit, so the new control holds it modified as well.
  if (modified)
    SendMessageA(fresh, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  else
    SetWindowTextA(fresh, text.c_str());
  settingText_ = false;
  SendMessageA(fresh, EM_SETSEL, start, end);
  ShowVerticalBar(HasVerticalBar(setting));
  if (hadFocus) SetFocus(fresh);

  // The old control may be the one whose notification led here and still be inside its own
  // window procedure: it is hidden now and destroyed once its messages are done.
  RemoveSubclass(old);
  SetWindowLongPtrA(old, GWLP_ID, 0);
  ShowWindow(old, SW_HIDE);
  PostMessageA(old, WM_CLOSE, 0, 0);
}

// Wine's EDIT keeps only the scroll bars it was created with; it treats one added later as a bar
// of 0 to 100 that it never moves. The range, page and position are set here from the control's
// own lines after every message, as the control would for a bar of its own.
void TextArea::KeepVerticalBarInStep() {
  if (!HasVerticalBar(scrollBars_) || draggingThumb_ || steppingBar_) return;
  // The messages sent from here come back through the subclass.
  steppingBar_ = true;
  RECT format{};
  SendMessageA(edit_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  SCROLLINFO wanted{};
  wanted.cbSize = sizeof wanted;
  wanted.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  wanted.nMax = static_cast<int>(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0)) - 1;
  wanted.nPage = static_cast<UINT>(std::max<LONG>(format.bottom - format.top, 0) / lineHeight_);
  wanted.nPos = static_cast<int>(SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
  if (wanted.nMax != shownBar_.nMax || wanted.nPage != shownBar_.nPage ||
      wanted.nPos != shownBar_.nPos) {
    shownBar_ = wanted;
    SetScrollInfo(edit_, SB_VERT, &wanted, TRUE);
  }
  steppingBar_ = false;
}

// The thumb's place is a line number here, not the control's 0 to 100, and may pass 65535.
void TextArea::ScrollToThumb(bool stillDragging) {
  SCROLLINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_TRACKPOS;
  GetScrollInfo(edit_, SB_VERT, &bar);
  draggingThumb_ = stillDragging;
  int first = static_cast<int>(SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageA(edit_, EM_LINESCROLL, 0, bar.nTrackPos - first);
}

// ---- Font, colour, focus, clipboard ----------------------------------------------------------

void TextArea::SetFont(const FontRecord& font) {
  LOGFONTA logFont{};
  logFont.lfEscapement = logFont.lfOrientation = font.angle;
  logFont.lfWeight = font.bold ? FW_BOLD : 0;
  logFont.lfItalic = font.italic ? 1 : 0;
  logFont.lfStrikeOut = font.strikeOut ? 1 : 0;
  logFont.lfUnderline = font.underline ? 1 : 0;
  HDC screen = GetDC(nullptr);
  logFont.lfHeight = -MulDiv(std::max(font.size, 0), GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  size_t faceLength = std::strlen(font.faceName.c_str());
  const char* face = faceLength >= 1 && faceLength <= 30 ? font.faceName.c_str() : kDefaultFace;
  lstrcpynA(logFont.lfFaceName, face, LF_FACESIZE);

  HFONT created = CreateFontIndirectA(&logFont);
  font_ = created ? created : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  if (ownedFont_) DeleteObject(ownedFont_);
  ownedFont_ = created;
  MeasureLineHeight();
  KeepVerticalBarInStep();
}

void TextArea::SetTextColour(COLORREF colour) {
  textColour_ = colour;
  InvalidateRect(edit_, nullptr, TRUE);
}

void TextArea::Focus() {
  SetFocus(edit_);
}
void TextArea::CopySelection() {
  SendMessageA(edit_, WM_COPY, 0, 0);
}
void TextArea::PasteClipboard() {
  SendMessageA(edit_, WM_PASTE, 0, 0);
}
void TextArea::CutSelection() {
  SendMessageA(edit_, WM_CUT, 0, 0);
}

HBRUSH TextArea::Colours(HDC dc) const {
  SetTextColor(dc, textColour_);
  SetBkColor(dc, RGB(0, 0, 0));
  return background_;
}

// Windows sends EN_CHANGE for WM_SETTEXT and Wine does not: SetText fires the event itself.
void TextArea::OnContentChanged() {
  if (settingText_) return;
  if (events_.textChanged) events_.textChanged();
}

LRESULT TextArea::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, void* self) {
  auto* area = reinterpret_cast<TextArea*>(self);
  switch (message) {
    case WM_RBUTTONDOWN:
      // The right-button event fires before the control sees the press, which then goes on.
      if (area->events_.rightButtonDown) area->events_.rightButtonDown();
      break;
    case WM_VSCROLL:
      if (HasVerticalBar(area->scrollBars_) &&
          (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION)) {
        area->ScrollToThumb(LOWORD(wParam) == SB_THUMBTRACK);
        area->KeepVerticalBarInStep();
        return 0;
      }
      area->draggingThumb_ = false;
      break;
    case WM_DESTROY:
    case WM_NCDESTROY:
      return CallControlProcedure(hwnd, message, wParam, lParam);
  }
  LRESULT result = CallControlProcedure(hwnd, message, wParam, lParam);
  if (hwnd == area->edit_) area->KeepVerticalBarInStep();
  return result;
}
