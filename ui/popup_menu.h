// Pop-up menus built from the menu tree whenever they are shown, and destroyed afterwards.
#pragma once
#include <string_view>

class MainWindow;

// Shows the items of one top-level menu with their top-left corner at (x, y), screen coordinates
// used as given, and runs the chosen item's command once the menu has closed.
void PopUpMenu(MainWindow& window, std::string_view topLevelMenu, int x, int y);
