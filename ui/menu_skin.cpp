// 超级菜单1: owner-drawn menu items in the font "宋体" of 12 pixels and the skin's colour set.
#include "ui/menu_skin.h"

#include <cstring>

namespace {

// The colour set, in the order it is given to the menu skin.
constexpr COLORREF kMenuBackground = RGB(249, 248, 247);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kSeparator = RGB(141, 141, 141);
constexpr COLORREF kSideStripLight = RGB(255, 255, 255);
constexpr COLORREF kHighlight = RGB(227, 239, 255);
constexpr COLORREF kHighlightBorder = RGB(136, 174, 228);
constexpr COLORREF kHighlightText = RGB(0, 0, 0);
constexpr COLORREF kCheckMark = RGB(0, 0, 0);
constexpr COLORREF kDisabledText = RGB(0, 0, 128);
constexpr COLORREF kSideStrip = RGB(106, 140, 203);

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 7;
constexpr int kSideStripWidth = 22;
constexpr int kTextMargin = 8;

HFONT MenuFont() {
  static HFONT font = [] {
    LOGFONTA logFont{};
    logFont.lfHeight = -12;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(logFont.lfFaceName, "宋体", LF_FACESIZE);
    return CreateFontIndirectA(&logFont);
  }();
  return font;
}

bool IsSeparator(const char* text) {
  return text && std::strcmp(text, "-") == 0;
}

void FillSolid(HDC dc, const RECT& area, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void Measure(MEASUREITEMSTRUCT& item) {
  const char* text = reinterpret_cast<const char*>(item.itemData);
  if (IsSeparator(text)) {
    item.itemWidth = 0;
    item.itemHeight = kSeparatorHeight;
    return;
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, MenuFont());
  SIZE size{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  item.itemWidth = kSideStripWidth + 2 * kTextMargin + size.cx;
  item.itemHeight = kItemHeight;
}

void Draw(const DRAWITEMSTRUCT& item) {
  const char* text = reinterpret_cast<const char*>(item.itemData);
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  RECT strip = area;
  strip.right = strip.left + kSideStripWidth;
  RECT body = area;
  body.left = strip.right;
  FillSolid(dc, strip, kSideStrip);
  RECT stripEdge = strip;
  stripEdge.left = stripEdge.right - 1;
  FillSolid(dc, stripEdge, kSideStripLight);
  FillSolid(dc, body, kMenuBackground);

  if (IsSeparator(text)) {
    RECT line = body;
    line.left += kTextMargin / 2;
    line.top = (area.top + area.bottom) / 2;
    line.bottom = line.top + 1;
    FillSolid(dc, line, kSeparator);
    return;
  }
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  if (selected && !disabled) {
    RECT border = area;
    InflateRect(&border, -1, 0);
    FillSolid(dc, border, kHighlightBorder);
    InflateRect(&border, -1, -1);
    FillSolid(dc, border, kHighlight);
  }
  if (item.itemState & ODS_CHECKED) {
    RECT mark = strip;
    InflateRect(&mark, -8, -8);
    FillSolid(dc, mark, kCheckMark);
  }
  HGDIOBJ old = SelectObject(dc, MenuFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? kDisabledText : selected ? kHighlightText : kText);
  RECT textArea = body;
  textArea.left += kTextMargin;
  DrawTextA(dc, text, -1, &textArea, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, old);
}

}  // namespace

bool AppendSkinnedItem(HMENU menu, UINT id, const char* text) {
  UINT flags = MF_OWNERDRAW | (IsSeparator(text) ? MF_SEPARATOR : MF_STRING);
  return AppendMenuA(menu, flags, id, text) != FALSE;
}

bool HandleMenuSkinMessage(UINT message, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_MENU) return false;
    Measure(*item);
    return true;
  }
  if (message == WM_DRAWITEM) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_MENU) return false;
    Draw(*item);
    return true;
  }
  return false;
}
