// The title row's commands: menu pop-ups at the mouse, minimise, roll up to a strip and unroll.
#include "ui/title_bar.h"

#include <windows.h>

#include "ui/main_window.h"
#include "ui/popup_menu.h"

namespace {

constexpr int kMenuDrop = 10;
constexpr int kRolledUpHeight = 25;
constexpr int kUnrolledHeight = 485;

// Each coordinate is read with a call of its own, x first.
int MouseX() {
  POINT point{};
  GetCursorPos(&point);
  return point.x;
}

int MouseY() {
  POINT point{};
  GetCursorPos(&point);
  return point.y;
}

void PopUpBelowMouse(MainWindow& window, const char* menu, int leftShift) {
  int x = MouseX();
  int y = MouseY();
  PopUpMenu(window, menu, x + leftShift, y + kMenuDrop);
}

}  // namespace

void PopUpFileMenu(MainWindow& window) {
  PopUpBelowMouse(window, "文件", -35);
}
void PopUpEditMenu(MainWindow& window) {
  PopUpBelowMouse(window, "编辑", -30);
}
void PopUpFunctionsMenu(MainWindow& window) {
  PopUpBelowMouse(window, "功能", -45);
}

void PopUpEditMenuAtMouse(MainWindow& window) {
  int x = MouseX();
  int y = MouseY();
  PopUpMenu(window, "编辑", x, y);
}

void Minimise(MainWindow& window) {
  window.SetShowState(2);
}

void RollUp(MainWindow& window) {
  window.SetHeight(kRolledUpHeight);
  window.SetVisible(ControlId::图形按钮4, false);
  window.SetVisible(ControlId::图形按钮5, true);
}

void Unroll(MainWindow& window) {
  window.SetHeight(kUnrolledHeight);
  window.SetVisible(ControlId::图形按钮4, true);
  window.SetVisible(ControlId::图形按钮5, false);
}
