// Pop-up menus built from the menu tree; the chosen item's command runs after the menu closes.
#include "ui/popup_menu.h"

#include <windows.h>

#include "ui/main_window.h"
#include "ui/menu_skin.h"

namespace {

struct MenuHandle {
  HMENU menu = CreatePopupMenu();
  ~MenuHandle() {
    if (menu) DestroyMenu(menu);
  }
};

}  // namespace

void PopUpMenu(MainWindow& window, std::string_view topLevelMenu, int x, int y) {
  auto tree = MenuTree();
  MenuHandle popup;
  if (!popup.menu) return;
  bool inMenu = false;
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].level == 0) {
      inMenu = tree[i].text == topLevelMenu;
      continue;
    }
    // Item ids count from 1 so that 0 can mean "nothing chosen".
    if (inMenu && !AppendSkinnedItem(popup.menu, UINT(i + 1), tree[i].text)) return;
  }
  if (GetMenuItemCount(popup.menu) <= 0) return;

  // The owner must be in the foreground, or the menu is not dismissed by a click elsewhere.
  SetForegroundWindow(window.Handle());
  UINT chosen = TrackPopupMenu(popup.menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0,
                               window.Handle(), nullptr);
  if (chosen == 0 || chosen > tree.size()) return;
  if (Handler command = tree[chosen - 1].command) command(window);
}
