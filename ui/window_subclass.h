// Subclassing of the program's controls: a procedure of ours sees a control's messages before the
// control does. Done with the window procedure itself rather than comctl32's helpers, which would
// load comctl32 at every start of the program.
#pragma once
#include <windows.h>

// Our procedure for a control; `owner` is what InstallSubclass was given. It passes on what it
// does not keep with CallControlProcedure.
using SubclassProcedure = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, void* owner);

// Puts the procedure in front of the control's own until the control is destroyed; the
// procedure still sees WM_NCDESTROY, after which the control's own is back in place.
bool InstallSubclass(HWND control, SubclassProcedure procedure, void* owner);
// Takes the procedure away again, as if it had never been installed.
void RemoveSubclass(HWND control);

LRESULT CallControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// The same message handed to the control's own procedure as a Unicode one, bypassing our ANSI
// procedure: a Unicode WM_GETTEXTLENGTH sent to the window would pass through it and be answered
// by counting the bytes of the whole text.
LRESULT CallControlProcedureW(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
