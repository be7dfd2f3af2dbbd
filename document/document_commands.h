// The document commands of the File and Edit menus, the guard they share and the close paths
// that must not lose text.
#pragma once

class MainWindow;

enum GuardAnswer { kMayGoOn = 0, kMustStop = 1 };

// Asks before a modified document is thrown away, and saves it when the user wants that. The
// command must stop when the user cancelled, or chose to save and the save did not happen.
GuardAnswer GuardUnsavedChanges(MainWindow& window);

// New ("新建") and Clear ("清空"): the guard, then an empty text area.
void NewDocument(MainWindow& window);
void ClearDocument(MainWindow& window);

// Open ("打开"): the guard, the open dialog, then the chosen file in the text area.
void OpenDocument(MainWindow& window);
// Save ("保存"): a modified document goes into CurrentPath, or into a file chosen in the save
// dialog when there is none.
void SaveDocument(MainWindow& window);
// Save As ("另存为"): the save dialog, then the document into the chosen file.
void SaveDocumentAs(MainWindow& window);

// Exit ("退出") and the close button: the guard, then a request to destroy the window.
void ExitProgram(MainWindow& window);

// A close from outside the program (Alt+F4, WM_CLOSE, the end of the session): the guard decides
// whether the program may end now.
bool MayEndProgram(MainWindow& window);
