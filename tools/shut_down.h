// "关机" and "重启": a Yes/No question, then Windows is closed by force.
#pragma once

class MainWindow;

enum class ShutdownKind { PowerOff = 1, Restart = 2 };

// The shutdown privilege first, then ExitWindowsEx with the flags of the kind and the Windows
// family. False when the privilege step or ExitWindowsEx failed.
bool ShutDownSystem(ShutdownKind kind, bool force);

void ShutDown(MainWindow& window);
void Restart(MainWindow& window);
