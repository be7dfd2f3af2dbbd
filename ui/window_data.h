// The fixed description of MainWindow: its settings, every control and component, the menu tree
// and the event bindings. Everything the window is at start comes from here.
#pragma once
#include <windows.h>

#include <span>

#include "ui/pictures.h"

class MainWindow;
using Handler = void (*)(MainWindow&);

// Control identifiers double as the child windows' control ids.
enum class ControlId : int {
  MainWindow = 1000,
  编辑框2,
  打印机1,
  通用对话框1,
  超级菜单1,
  超级按钮4,
  超级按钮2,
  超级按钮1,
  标签2,
  标签1,
  图形按钮5,
  图形按钮4,
  透明标签2,
  时钟1,
  透明标签1,
  关闭,
  图形按钮2,
  最小化,
  编辑框1,
};

enum class ControlKind {
  LineEdit,
  TextArea,
  ImageButton,
  PictureButton,
  StaticLabel,
  TransparentLabel,
  Timer,
  CommonDialog,
  Printer,
  MenuSkin,
};

struct FontData {
  const char* face;  // null: the stock DEFAULT_GUI_FONT
  int height;        // character height in pixels
  BYTE charset;
  BYTE pitchAndFamily;
};

struct ControlData {
  ControlId id;
  ControlKind kind;
  int x, y, width, height;
  bool visible;
  bool tabStop;
  const char* caption;
  const char* tooltip;
  Picture normal;
  Picture mouseOver;
  COLORREF textColour;
  FontData font;
};

struct WindowData {
  int width, height;
  COLORREF background;
  Picture backgroundPicture;
  Picture icon;
};

enum class Event { Created, Click, TextChanged, RightButtonDown, Tick };

struct EventBinding {
  ControlId control;
  Event event;
  Handler handler;
};

struct MenuItemData {
  int level;         // 0: a hidden top-level menu, 1: one of its items
  const char* text;  // "-" is a separator
  Handler command;
};

extern const WindowData kMainWindowData;

// In z-order, topmost first.
std::span<const ControlData> Controls();
const ControlData& ControlById(ControlId id);

std::span<const MenuItemData> MenuTree();
std::span<const EventBinding> EventBindings();

inline constexpr UINT kTimerPeriodAtStart = 100;
