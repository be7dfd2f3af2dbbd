// 超级菜单1: draws every menu of MainWindow itself (owner-drawn items) in a flat, light style.
#pragma once
#include <windows.h>

// Appends an owner-drawn item (or an owner-drawn separator for the text "-") to a menu. The text
// must outlive the menu.
bool AppendSkinnedItem(HMENU menu, UINT id, const char* text);

// Handles WM_MEASUREITEM and WM_DRAWITEM for menu items; false for anything else.
bool HandleMenuSkinMessage(UINT message, LPARAM lParam);
