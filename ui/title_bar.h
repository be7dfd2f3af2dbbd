// The title row's commands: the three menu pop-ups, the Edit pop-up of the text area, minimise,
// roll up and unroll.
#pragma once

class MainWindow;

void PopUpFileMenu(MainWindow& window);
void PopUpEditMenu(MainWindow& window);
void PopUpFunctionsMenu(MainWindow& window);
void PopUpEditMenuAtMouse(MainWindow& window);
void Minimise(MainWindow& window);
void RollUp(MainWindow& window);
void Unroll(MainWindow& window);
