// The document commands of the File and Edit menus and the close paths that must not lose text.
#pragma once

class MainWindow;

// Exit and the close button: the guard first, then a request to destroy the window.
void ExitProgram(MainWindow& window);

// A close from outside the program (Alt+F4, the taskbar, the end of the session): true when the
// program may end now.
bool MayEndProgram(MainWindow& window);
