// Picture buttons, image buttons (with their tooltips), static labels and transparent labels.
#include "ui/skin_controls.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "ui/window_subclass.h"

namespace {

constexpr char kPictureButtonClass[] = "QuorvalePictureButton";
constexpr char kStaticLabelClass[] = "QuorvaleStaticLabel";
constexpr char kTransparentLabelClass[] = "QuorvaleTransparentLabel";

HMENU IdOf(const ControlData& data) {
  return reinterpret_cast<HMENU>(static_cast<INT_PTR>(data.id));
}

void NotifyClick(HWND control) {
  SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

void Blit(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX, int sourceY) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, x, y, width, height, memory, sourceX, sourceY, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

bool RegisterOnce(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

// ---- Picture buttons -------------------------------------------------------------------------

enum class ButtonState { Normal, MouseOver, Pressed };

struct PictureButton {
  HBITMAP normal;
  HBITMAP mouseOver;
  ButtonState state = ButtonState::Normal;
  ~PictureButton() {
    if (normal) DeleteObject(normal);
    if (mouseOver) DeleteObject(mouseOver);
  }
};

PictureButton* PictureButtonOf(HWND hwnd) {
  return reinterpret_cast<PictureButton*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool ContainsPoint(HWND hwnd, LPARAM lParam) {
  RECT client;
  GetClientRect(hwnd, &client);
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&client, point);
}

void SetButtonState(HWND hwnd, PictureButton& button, ButtonState state) {
  if (button.state == state) return;
  button.state = state;
  InvalidateRect(hwnd, nullptr, FALSE);
}

void PaintPictureButton(HWND hwnd, const PictureButton& button) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBITMAP picture =
      button.state == ButtonState::MouseOver && button.mouseOver ? button.mouseOver : button.normal;
  if (picture) {
    SIZE size = BitmapSize(picture);
    Blit(dc, picture, 0, 0, size.cx, size.cy, 0, 0);
  }
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PictureButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  PictureButton* button = PictureButtonOf(hwnd);
  switch (message) {
    case WM_NCDESTROY:
      delete button;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (!button) break;
      PaintPictureButton(hwnd, *button);
      return 0;
    case WM_MOUSEMOVE: {
      if (!button) break;
      bool leftHeld = (wParam & MK_LBUTTON) != 0;
      if (ContainsPoint(hwnd, lParam)) {
        if (GetCapture() != hwnd) SetCapture(hwnd);
        SetButtonState(hwnd, *button, leftHeld ? ButtonState::Pressed : ButtonState::MouseOver);
      } else {
        SetButtonState(hwnd, *button, ButtonState::Normal);
        if (!leftHeld && GetCapture() == hwnd) ReleaseCapture();
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (!button) break;
      SetButtonState(hwnd, *button, ButtonState::Pressed);
      SetCapture(hwnd);
      return 0;
    case WM_LBUTTONUP:
      if (!button) break;
      if (GetCapture() == hwnd) ReleaseCapture();
      if (ContainsPoint(hwnd, lParam)) {
        SetButtonState(hwnd, *button, ButtonState::Normal);
        NotifyClick(hwnd);
      }
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- Image buttons ---------------------------------------------------------------------------

struct ImageButton {
  HBITMAP normal;
  HBITMAP mouseOver;
  const char* tooltip;
  bool over = false;
  ~ImageButton() {
    if (normal) DeleteObject(normal);
    if (mouseOver) DeleteObject(mouseOver);
  }
};

void ShowImage(HWND hwnd, ImageButton& button, bool over) {
  button.over = over;
  HBITMAP image = over && button.mouseOver ? button.mouseOver : button.normal;
  SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

// The tooltip is made when the mouse first comes over the button: the tooltip control lives in
// comctl32, which is then loaded only for a user who points at a button. The first move is handed
// on to it, as it would have seen it had it been there.
void AddTooltip(HWND button, const char* text, const MSG& firstMove) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, button,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tip) return;
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = button;
  tool.lpszText = const_cast<char*>(text);
  GetClientRect(button, &tool.rect);
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 400);
  SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&firstMove));
}

LRESULT ImageButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, void* data) {
  auto* button = static_cast<ImageButton*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      if (button->tooltip) {
        AddTooltip(hwnd, std::exchange(button->tooltip, nullptr),
                   MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}});
      }
      if (!button->over) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        TrackMouseEvent(&track);
        ShowImage(hwnd, *button, true);
      }
      break;
    case WM_MOUSELEAVE:
      ShowImage(hwnd, *button, false);
      break;
    case WM_NCDESTROY: {
      LRESULT result = CallControlProcedure(hwnd, message, wParam, lParam);
      delete button;
      return result;
    }
  }
  return CallControlProcedure(hwnd, message, wParam, lParam);
}

// ---- Labels ----------------------------------------------------------------------------------

struct Label {
  HBITMAP picture;
  HFONT font;
  COLORREF textColour;
  ~Label() {
    if (picture) DeleteObject(picture);
  }
};

Label* LabelOf(HWND hwnd) {
  return reinterpret_cast<Label*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void DrawCaption(HWND hwnd, HDC dc, const Label& label) {
  char caption[512];
  int length = GetWindowTextA(hwnd, caption, sizeof caption);
  if (length <= 0) return;
  RECT client;
  GetClientRect(hwnd, &client);
  HGDIOBJ oldFont = SelectObject(dc, label.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.textColour);
  DrawTextA(dc, caption, length, &client, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  SelectObject(dc, oldFont);
}

LRESULT LabelCommon(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool transparent) {
  Label* label = LabelOf(hwnd);
  switch (message) {
    case WM_NCDESTROY:
      delete label;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_PAINT: {
      if (!label) break;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      RECT client;
      GetClientRect(hwnd, &client);
      if (transparent) {
        SendMessageA(GetParent(hwnd), kPaintParentBackground, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd));
      } else if (!DrawTiled(dc, label->picture, client, {0, 0})) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      }
      DrawCaption(hwnd, dc, *label);
      EndPaint(hwnd, &paint);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK StaticLabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return LabelCommon(hwnd, message, wParam, lParam, false);
}

LRESULT CALLBACK TransparentLabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return LabelCommon(hwnd, message, wParam, lParam, true);
}

HWND CreateLabel(HWND parent, const ControlData& data, HFONT font, const char* windowClass,
                 WNDPROC proc, DWORD exStyle) {
  if (!RegisterOnce(windowClass, proc)) return nullptr;
  DWORD style = WS_CHILD | (data.visible ? WS_VISIBLE : 0);
  HWND hwnd = CreateWindowExA(exStyle, windowClass, data.caption ? data.caption : "", style, data.x,
                              data.y, data.width, data.height, parent, IdOf(data),
                              GetModuleHandleA(nullptr), nullptr);
  if (hwnd) {
    auto* label = new Label{LoadPictureBitmap(data.normal), font, data.textColour};
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(label));
  }
  return hwnd;
}

}  // namespace

bool DrawTiled(HDC dc, HBITMAP picture, const RECT& area, POINT origin) {
  SIZE size = BitmapSize(picture);
  if (size.cx <= 0 || size.cy <= 0) return false;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, picture);
  for (int y = origin.y; y < area.bottom; y += size.cy) {
    if (y + size.cy <= area.top) continue;
    for (int x = origin.x; x < area.right; x += size.cx) {
      if (x + size.cx <= area.left) continue;
      BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return true;
}

HWND CreatePictureButton(HWND parent, const ControlData& data) {
  if (!RegisterOnce(kPictureButtonClass, PictureButtonProc)) return nullptr;
  DWORD style = WS_CHILD | (data.visible ? WS_VISIBLE : 0);
  HWND hwnd = CreateWindowExA(0, kPictureButtonClass, "", style, data.x, data.y, data.width,
                              data.height, parent, IdOf(data), GetModuleHandleA(nullptr), nullptr);
  if (hwnd) {
    auto* button =
        new PictureButton{LoadPictureBitmap(data.normal), LoadPictureBitmap(data.mouseOver)};
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
  }
  return hwnd;
}

HWND CreateImageButton(HWND parent, const ControlData& data, HFONT font) {
  DWORD style = WS_CHILD | BS_PUSHBUTTON | BS_BITMAP | BS_FLAT | BS_LEFT |
                (data.visible ? WS_VISIBLE : 0) | (data.tabStop ? WS_TABSTOP : 0);
  HWND hwnd = CreateWindowExA(0, "BUTTON", "", style, data.x, data.y, data.width, data.height,
                              parent, IdOf(data), GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  auto* button = new ImageButton{LoadPictureBitmap(data.normal), LoadPictureBitmap(data.mouseOver),
                                 data.tooltip};
  ShowImage(hwnd, *button, false);
  InstallSubclass(hwnd, ImageButtonProc, button);
  return hwnd;
}

HWND CreateStaticLabel(HWND parent, const ControlData& data, HFONT font) {
  return CreateLabel(parent, data, font, kStaticLabelClass, StaticLabelProc, 0);
}

HWND CreateTransparentLabel(HWND parent, const ControlData& data, HFONT font) {
  return CreateLabel(parent, data, font, kTransparentLabelClass, TransparentLabelProc,
                     WS_EX_TRANSPARENT);
}
