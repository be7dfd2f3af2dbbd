// MainWindow: creation from the window data, message routing, the window operations, dragging and
// Tab navigation.
#include "ui/main_window.h"

#include <algorithm>
#include <array>

#include "document/document_commands.h"
#include "editing/editing_commands.h"
#include "ui/menu_skin.h"
#include "ui/skin_controls.h"

namespace {

constexpr char kWindowClass[] = "QuorvaleMainWindow";
constexpr UINT kDestroyRequest = WM_APP + 1;
constexpr UINT_PTR kClockTimerId = 1000;

}  // namespace

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, kWindowClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kWindowClass;
  return RegisterClassExA(&wc) != 0;
}

namespace {

ControlId IdOfWindow(HWND hwnd) {
  return static_cast<ControlId>(GetDlgCtrlID(hwnd));
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, void (*onGone)()) {
  if (!RegisterWindowClass(instance)) return nullptr;

  std::unique_ptr<MainWindow> window(new MainWindow);
  window->onGone_ = onGone;
  const WindowData& data = kMainWindowData;
  int left = (GetSystemMetrics(SM_CXSCREEN) - data.width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - data.height) / 2;
  HWND hwnd = CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, "",
                              WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, left, top, data.width,
                              data.height, nullptr, nullptr, instance, window.get());
  if (!hwnd) return nullptr;

  window->background_ = LoadPictureBitmap(data.backgroundPicture);
  window->bigIcon_ = LoadPictureIcon(data.icon, GetSystemMetrics(SM_CXICON));
  window->smallIcon_ = LoadPictureIcon(data.icon, GetSystemMetrics(SM_CXSMICON));
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window->bigIcon_));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window->smallIcon_));
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  if (!window->CreateControls()) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  window->FireEvent(ControlId::MainWindow, Event::Created);
  return window;
}

MainWindow::~MainWindow() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  for (HFONT font : fonts_) DeleteObject(font);
  if (background_) DeleteObject(background_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

MainWindow* MainWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

HWND MainWindow::Control(ControlId id) const {
  return GetDlgItem(hwnd_, static_cast<int>(id));
}

HFONT MainWindow::FontFor(const FontData& font) {
  if (!font.face) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA logFont{};
  logFont.lfHeight = -font.height;
  logFont.lfCharSet = font.charset;
  logFont.lfPitchAndFamily = font.pitchAndFamily;
  lstrcpynA(logFont.lfFaceName, font.face, LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&logFont);
  if (!created) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.push_back(created);
  return created;
}

HWND MainWindow::CreateControl(const ControlData& data) {
  switch (data.kind) {
    case ControlKind::LineEdit: {
      DWORD style = WS_CHILD | ES_AUTOHSCROLL | ES_LEFT | (data.visible ? WS_VISIBLE : 0) |
                    (data.tabStop ? WS_TABSTOP : 0);
      HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", data.caption, style, data.x, data.y,
                                  data.width, data.height, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(data.id)),
                                  GetModuleHandleA(nullptr), nullptr);
      if (edit) {
        SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(data.font)), FALSE);
      }
      return edit;
    }
    case ControlKind::TextArea:
      textArea_ = std::make_unique<TextArea>(
          hwnd_, data, FontFor(data.font),
          TextArea::Events{[this, id = data.id] { FireEvent(id, Event::TextChanged); },
                           [this, id = data.id] { FireEvent(id, Event::RightButtonDown); },
                           ScrollBarSettingFor});
      return textArea_->Handle();
    case ControlKind::ImageButton:
      return CreateImageButton(hwnd_, data, FontFor(data.font));
    case ControlKind::PictureButton:
      return CreatePictureButton(hwnd_, data);
    case ControlKind::StaticLabel:
      return CreateStaticLabel(hwnd_, data, FontFor(data.font));
    case ControlKind::TransparentLabel:
      return CreateTransparentLabel(hwnd_, data, FontFor(data.font));
    case ControlKind::Timer:
      // The timer counts from its creation; its ticks arrive once the message loop runs.
      return SetTimer(hwnd_, kClockTimerId, kTimerPeriodAtStart, nullptr) ? hwnd_ : nullptr;
    case ControlKind::Printer:
      printer_ = std::make_unique<::Printer>(hwnd_);
      return hwnd_;
    case ControlKind::CommonDialog:
      dialog_ = std::make_unique<CommonDialog>(hwnd_);
      return hwnd_;
    case ControlKind::MenuSkin:
      return hwnd_;
  }
  return nullptr;
}

bool MainWindow::CreateControls() {
  // Created bottom-up so that each new window goes under none: the first row ends topmost.
  auto controls = Controls();
  for (auto row = controls.rbegin(); row != controls.rend(); ++row) {
    HWND control = CreateControl(*row);
    if (!control) return false;
    if (control != hwnd_)
      SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  textArea_->Focus();
  return true;
}

void MainWindow::FireEvent(ControlId id, Event event) {
  for (const EventBinding& binding : EventBindings())
    if (binding.control == id && binding.event == event && binding.handler) binding.handler(*this);
}

// ---- Window operations -----------------------------------------------------------------------

void MainWindow::SetShowState(int state) {
  storedShowState_ = std::clamp(state, 0, 3);
  if (!IsWindowVisible(hwnd_)) return;
  switch (storedShowState_) {
    case 0:
      ShowWindow(hwnd_, SW_SHOWNORMAL);
      break;
    case 1: {
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      RECT outer;
      GetWindowRect(hwnd_, &outer);
      int width = outer.right - outer.left;
      int height = outer.bottom - outer.top;
      int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
      int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
      if (outer.left != left || outer.top != top)
        SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case 2:
      ShowWindow(hwnd_, SW_MINIMIZE);
      break;
    case 3:
      ShowWindow(hwnd_, SW_MAXIMIZE);
      break;
  }
}

int MainWindow::ShowState() const {
  if (IsIconic(hwnd_)) return 2;
  if (IsZoomed(hwnd_)) return 3;
  return 0;
}

void MainWindow::SetHeight(int height) {
  height = std::clamp(height, 0, 32627);
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, height,
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
}

void MainWindow::SetVisible(ControlId id, bool visible) {
  ShowWindow(Control(id), visible ? SW_SHOW : SW_HIDE);
}

void MainWindow::SetCaption(ControlId id, std::string_view text) {
  HWND label = Control(id);
  std::string caption(text);
  SetWindowTextA(label, caption.c_str());

  // The label has no background of its own: the window repaints what lies behind it first, then
  // the siblings that overlap it, then the label draws the new text over that.
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(hwnd_, &area, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (HWND sibling = GetWindow(hwnd_, GW_CHILD); sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling == label || !IsWindowVisible(sibling)) continue;
    RECT siblingArea, overlap;
    GetWindowRect(sibling, &siblingArea);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&siblingArea), 2);
    if (IntersectRect(&overlap, &area, &siblingArea))
      RedrawWindow(sibling, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  InvalidateRect(label, nullptr, FALSE);
}

void MainWindow::SetTimerPeriod(int period) {
  period = std::max(period, 0);
  if (period == timerPeriod_) return;
  timerPeriod_ = period;
  KillTimer(hwnd_, kClockTimerId);
  if (period > 0) SetTimer(hwnd_, kClockTimerId, UINT(period), nullptr);
}

std::string MainWindow::Caption(ControlId id) const {
  HWND control = Control(id);
  std::string text(GetWindowTextLengthA(control), '\0');
  if (!text.empty()) text.resize(GetWindowTextA(control, text.data(), int(text.size()) + 1));
  return text;
}

void MainWindow::RequestDestroy() {
  destroyPending_ = true;
  PostMessageA(hwnd_, kDestroyRequest, 0, 0);
}

// ---- Input pre-processing --------------------------------------------------------------------

bool MainWindow::IsDragHandle(HWND hwnd) const {
  return hwnd == Control(ControlId::标签1) || hwnd == Control(ControlId::标签2);
}

void MainWindow::MoveFocus(bool backwards) {
  // The tab order runs from the bottom of the z-order up: 编辑框1, 超级按钮1, 超级按钮2, 超级按钮4.
  std::vector<HWND> order;
  auto controls = Controls();
  for (auto row = controls.rbegin(); row != controls.rend(); ++row) {
    HWND control = row->tabStop ? Control(row->id) : nullptr;
    if (control && IsWindowVisible(control) && IsWindowEnabled(control)) order.push_back(control);
  }
  if (order.empty()) return;
  auto current = std::find(order.begin(), order.end(), GetFocus());
  size_t index = current == order.end() ? 0 : size_t(current - order.begin());
  size_t next = current == order.end() ? 0
                : backwards            ? (index + order.size() - 1) % order.size()
                                       : (index + 1) % order.size();
  SetFocus(order[next]);
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
  if (msg.hwnd != hwnd_ && GetAncestor(msg.hwnd, GA_ROOT) != hwnd_) return false;
  if (msg.message == WM_LBUTTONDOWN) {
    bool onBackground = msg.hwnd == hwnd_;
    if (onBackground || IsDragHandle(msg.hwnd)) {
      PostMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return !onBackground;
    }
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_TAB &&
      !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
    MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return true;
  }
  return false;
}

// ---- Messages --------------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    static_cast<MainWindow*>(created)->hwnd_ = hwnd;
  }
  MainWindow* window = FromHandle(hwnd);
  if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    window->hwnd_ = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    if (window->onGone_) window->onGone_();
    return result;
  }
  return window->HandleMessage(message, wParam, lParam);
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND source = reinterpret_cast<HWND>(lParam);
  if (!source) return;
  ControlId id = IdOfWindow(source);
  switch (HIWORD(wParam)) {
    case BN_CLICKED:
      FireEvent(id, Event::Click);
      break;
    case EN_CHANGE:
      if (textArea_ && source == textArea_->Handle()) textArea_->OnContentChanged();
      break;
  }
}

void MainWindow::PaintBackground() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  if (!DrawTiled(dc, background_, paint.rcPaint, {0, 0})) {
    HBRUSH brush = CreateSolidBrush(kMainWindowData.background);
    FillRect(dc, &paint.rcPaint, brush);
    DeleteObject(brush);
  }
  EndPaint(hwnd_, &paint);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kDestroyRequest:
      if (destroyPending_) {
        destroyPending_ = false;
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_CLOSE:
      // A close from outside (Alt+F4, the taskbar, another program) asks about unsaved text too.
      if (MayEndProgram(*this)) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      // A print job still open when the program ends is abandoned, as "中止打印" does.
      if (printer_) printer_->AbortPrintJob();
      break;
    case WM_QUERYENDSESSION:
      return MayEndProgram(*this) ? TRUE : FALSE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintBackground();
      return 0;
    case kPaintParentBackground: {
      HWND child = reinterpret_cast<HWND>(lParam);
      RECT area;
      GetClientRect(child, &area);
      POINT origin{0, 0};
      MapWindowPoints(child, hwnd_, &origin, 1);
      if (!DrawTiled(reinterpret_cast<HDC>(wParam), background_, area, {-origin.x, -origin.y})) {
        HBRUSH brush = CreateSolidBrush(kMainWindowData.background);
        FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
        DeleteObject(brush);
      }
      return 0;
    }
    case WM_CTLCOLOREDIT:
      if (textArea_ && reinterpret_cast<HWND>(lParam) == textArea_->Handle())
        return reinterpret_cast<LRESULT>(textArea_->Colours(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kClockTimerId) FireEvent(ControlId::时钟1, Event::Tick);
      return 0;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (HandleMenuSkinMessage(message, lParam)) return TRUE;
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}
