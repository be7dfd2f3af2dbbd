// Exit, the close button and closes from outside: the document is never thrown away unasked.
#include "document/document_commands.h"

#include "ui/main_window.h"

bool MayEndProgram(MainWindow& window) {
  return GuardUnsavedChanges(window) == kMayGoOn;
}

void ExitProgram(MainWindow& window) {
  if (MayEndProgram(window)) window.RequestDestroy();
}
