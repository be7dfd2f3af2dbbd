// The printer component 打印机1: the print settings and the printer choice it keeps for the whole
// run, the print dialogs, the open print job and the progress window shown while it lasts.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Printer {
 public:
  // `owner` is MainWindow: it owns the dialogs and the progress window.
  explicit Printer(HWND owner);
  // An open job is abandoned, as "中止打印" does.
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // What the print dialog offers; its choices are stored back.
  int Copies = 1;
  bool Collate = false;
  int FirstPage = -1;  // negative: no page numbers offered
  int Selection = -1;  // negative: no selection offered; 0: offered; positive: chosen
  std::string DocumentName;

  // Opens a job and starts its first page; false when the dialogs were cancelled or the job could
  // not start. Paper 0 keeps the printer's paper; orientation 1 asks for landscape, else portrait.
  bool StartPrintJob(bool showPrintDialog, bool showProgressWindow, int paper, int orientation);
  // Ends the page and the job: the printer receives what was drawn.
  void EndPrintJob();
  // Abandons the job ("中止打印"): the printer receives nothing.
  void AbortPrintJob();

  bool JobOpen() const { return dc_ != nullptr; }
  // The open job's device context; null when no job is open.
  HDC Dc() const { return dc_.get(); }
  int PageNumber() const { return page_; }
  // Ends the current page and starts the next one; false when the job is gone.
  bool NextPage();
  // Handles the messages waiting for the program, so that "中止打印" can be pressed meanwhile;
  // false once the job is gone.
  bool KeepResponsive();

  HWND ProgressWindow() const { return progress_; }
  // The printer that the next print dialog offers; empty before the first Print.
  std::string ChosenPrinter() const;

 private:
  struct GlobalFreer {
    void operator()(void* memory) const { GlobalFree(memory); }
  };
  struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
  };
  using GlobalMemory = std::unique_ptr<void, GlobalFreer>;

  DWORD DialogFlags() const;
  bool TakeDefaultPrinter();
  void TakePrinter(const std::string& name);
  void ApplyPaperAndOrientation(int paper, int orientation);
  // What a confirmed print dialog returns besides the printer choice.
  struct DialogChoices {
    DWORD flags;
    WORD copies;
    WORD fromPage;
  };

  // Puts Copies and Collate into the device settings; the copy count for the dialog.
  short ApplyCopiesAndCollate();
  // None when the dialog was cancelled.
  std::optional<DialogChoices> ShowPrintDialog();
  void StoreDialogChoices(const DialogChoices& choices);
  HDC CreatePrinterDc() const;
  std::string Destination(const std::string& outputFile) const;
  void ShowProgressWindow(const std::string& jobName, const std::string& destination);
  void CloseProgressWindow();
  static INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  HWND owner_;
  GlobalMemory devMode_;
  GlobalMemory devNames_;
  std::unique_ptr<HDC__, DcDeleter> dc_;
  bool pageOpen_ = false;
  int page_ = 0;
  HWND progress_ = nullptr;
  std::vector<std::pair<HWND, bool>> disabledWindows_;
};
