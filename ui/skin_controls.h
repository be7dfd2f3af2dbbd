// The skinned kinds of control: picture buttons, image buttons, static labels and transparent
// labels. Each is created from its row of the window data and reports clicks to its parent as
// WM_COMMAND with BN_CLICKED.
#pragma once
#include <windows.h>

#include "ui/window_data.h"

HWND CreatePictureButton(HWND parent, const ControlData& data);
HWND CreateImageButton(HWND parent, const ControlData& data, HFONT font);
HWND CreateStaticLabel(HWND parent, const ControlData& data, HFONT font);
HWND CreateTransparentLabel(HWND parent, const ControlData& data, HFONT font);

// The parent paints its own background into a child's device context when asked with this
// message: wParam the DC, lParam the child window. Transparent labels draw their text over it.
inline constexpr UINT kPaintParentBackground = WM_APP + 10;

// Draws a picture tiled from (0, 0) over the rectangle; false when there is no picture.
bool DrawTiled(HDC dc, HBITMAP picture, const RECT& area, POINT origin);
