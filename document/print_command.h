// The Print command of the File menu.
#pragma once

class MainWindow;

// Opens a print job on 打印机1 through the print dialog and prints the text of 编辑框1 on it, page
// after page, in the text area's face and style; the job ends by itself when the text is done.
void PrintDocument(MainWindow& window);
