// The printer component: the print dialog with the kept printer choice, the print-to-file dialog,
// the job's pages and the progress window that keeps the program's windows disabled meanwhile.
#include "document/printer.h"

#include <commdlg.h>
#include <dlgs.h>
#include <winspool.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace {

constexpr char kDefaultJobName[] = "未命名打印作业";
constexpr char kPrintFileTitle[] = "打印到文件";
// Two file types; the literal's own terminator ends the list.
constexpr char kPrintFileTypes[] = "打印输出文件 (*.prn)\0*.prn\0所有文件 (*.*)\0*.*\0";
constexpr char kCancelledChoiceProperty[] = "QuorvaleCancelledPrinter";

constexpr WORD kJobNameId = 101;
constexpr WORD kDestinationId = 102;
constexpr WORD kCopiesId = 103;
constexpr WORD kPageId = 104;
constexpr WORD kNoId = 0xFFFF;

// A global memory block locked for as long as this lives.
template <typename T>
class Locked {
 public:
  explicit Locked(HGLOBAL memory)
      : memory_(memory), data_(memory ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
  ~Locked() {
    if (data_) GlobalUnlock(memory_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  T* get() const { return data_; }
  T* operator->() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  HGLOBAL memory_;
  T* data_;
};

struct DeviceNames {
  std::string driver, device, port;
};

DeviceNames NamesIn(HGLOBAL devNames) {
  Locked<DEVNAMES> names(devNames);
  if (!names) return {};
  const char* base = reinterpret_cast<const char*>(names.get());
  return {base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset};
}

HGLOBAL MakeDevNames(const DeviceNames& names) {
  size_t size =
      sizeof(DEVNAMES) + names.driver.size() + names.device.size() + names.port.size() + 3;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  Locked<DEVNAMES> block(memory);
  if (!block) return memory;
  char* base = reinterpret_cast<char*>(block.get());
  WORD offset = sizeof(DEVNAMES);
  for (auto [field, text] : {std::pair{&DEVNAMES::wDriverOffset, &names.driver},
                             std::pair{&DEVNAMES::wDeviceOffset, &names.device},
                             std::pair{&DEVNAMES::wOutputOffset, &names.port}}) {
    block.get()->*field = offset;
    std::copy(text->begin(), text->end(), base + offset);
    offset = static_cast<WORD>(offset + text->size() + 1);
  }
  return memory;
}

struct PrinterCloser {
  void operator()(HANDLE printer) const { ClosePrinter(printer); }
};
using PrinterHandle = std::unique_ptr<void, PrinterCloser>;

PrinterHandle OpenPrinterNamed(const std::string& name) {
  HANDLE printer = nullptr;
  std::string writable = name;
  if (!OpenPrinterA(writable.data(), &printer, nullptr)) return nullptr;
  return PrinterHandle(printer);
}

// The print dialog of Windows keeps a cancelled choice to itself: this hook notes the printer that
// was shown when the user cancelled, so that the next dialog can offer it again.
UINT_PTR CALLBACK NotePrinterOnCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* settings = reinterpret_cast<PRINTDLGA*>(lParam);
    SetPropA(dialog, kCancelledChoiceProperty, reinterpret_cast<HANDLE>(settings->lCustData));
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    if (auto* noted = static_cast<std::string*>(GetPropA(dialog, kCancelledChoiceProperty))) {
      char name[256] = "";
      GetDlgItemTextA(dialog, cmb4, name, sizeof name);
      *noted = name;
    }
  }
  if (message == WM_DESTROY) RemovePropA(dialog, kCancelledChoiceProperty);
  return 0;
}

std::optional<std::string> AskOutputFile(HWND owner) {
  char path[MAX_PATH] = "Output.prn";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kPrintFileTypes;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = kPrintFileTitle;
  dialog.lpstrDefExt = "prn";
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  return std::string(path);
}

DialogTemplate ProgressTemplate() {
  DialogTemplate layout(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 180, 104,
                        "正在进行打印，请稍候 ......", "宋体", 9);
  constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
  layout.AddItem(kStaticItem, kLabel, 8, 8, 52, 10, kNoId, "打印作业名：");
  layout.AddItem(kStaticItem, kLabel, 62, 8, 110, 10, kJobNameId, "");
  layout.AddItem(kStaticItem, kLabel, 8, 22, 60, 10, kNoId, "打印目的：");
  layout.AddItem(kStaticItem, SS_CENTER | SS_NOPREFIX, 8, 34, 164, 10, kDestinationId, "");
  layout.AddItem(kStaticItem, SS_ETCHEDHORZ, 8, 48, 164, 1, kNoId, "");
  layout.AddItem(kStaticItem, kLabel, 8, 56, 52, 10, kNoId, "已打印份数：");
  layout.AddItem(kStaticItem, kLabel, 62, 56, 40, 10, kCopiesId, "");
  layout.AddItem(kStaticItem, kLabel, 8, 68, 52, 10, kNoId, "当前页号：");
  layout.AddItem(kStaticItem, kLabel, 62, 68, 40, 10, kPageId, "");
  layout.AddItem(kButtonItem, BS_DEFPUSHBUTTON | WS_TABSTOP, 60, 84, 60, 14, IDCANCEL, "中止打印");
  return layout;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

Printer::Printer(HWND owner) : owner_(owner) {}

Printer::~Printer() {
  AbortPrintJob();
}

DWORD Printer::DialogFlags() const {
  DWORD flags = PD_USEDEVMODECOPIESANDCOLLATE;
  if (FirstPage < 0) flags |= PD_NOPAGENUMS;
  if (Collate) flags |= PD_COLLATE;
  if (Selection < 0) flags |= PD_NOSELECTION;
  if (Selection > 0) flags |= PD_SELECTION;
  return flags;
}

bool Printer::TakeDefaultPrinter() {
  PRINTDLGA defaults{};
  defaults.lStructSize = sizeof defaults;
  defaults.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgA(&defaults)) return false;
  devMode_.reset(defaults.hDevMode);
  devNames_.reset(defaults.hDevNames);
  return true;
}

void Printer::TakePrinter(const std::string& name) {
  PrinterHandle printer = OpenPrinterNamed(name);
  if (!printer) return;
  DWORD needed = 0;
  GetPrinterA(printer.get(), 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (!needed || !GetPrinterA(printer.get(), 2, buffer.data(), needed, &needed)) return;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());

  std::string device = info->pPrinterName;
  LONG size = DocumentPropertiesA(owner_, printer.get(), device.data(), nullptr, nullptr, 0);
  if (size <= 0) return;
  GlobalMemory mode(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  {
    Locked<DEVMODEA> settings(mode.get());
    if (!settings || DocumentPropertiesA(owner_, printer.get(), device.data(), settings.get(),
                                         nullptr, DM_OUT_BUFFER) < 0)
      return;
  }
  devMode_ = std::move(mode);
  devNames_.reset(MakeDevNames({"winspool", device, info->pPortName ? info->pPortName : ""}));
}

std::string Printer::ChosenPrinter() const {
  return NamesIn(devNames_.get()).device;
}

void Printer::ApplyPaperAndOrientation(int paper, int orientation) {
  Locked<DEVMODEA> settings(devMode_.get());
  if (!settings) return;
  std::string device = NamesIn(devNames_.get()).device;
  PrinterHandle printer = OpenPrinterNamed(device);
  if (printer) settings->dmFields = 0;
  if (paper != 0) {
    settings->dmFields |= DM_PAPERSIZE;
    settings->dmPaperSize = static_cast<short>(paper);
  }
  settings->dmFields |= DM_ORIENTATION;
  settings->dmOrientation = orientation == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  if (printer)
    DocumentPropertiesA(owner_, printer.get(), device.data(), settings.get(), settings.get(),
                        DM_IN_BUFFER | DM_OUT_BUFFER);
}

short Printer::ApplyCopiesAndCollate() {
  auto copies = static_cast<short>(std::clamp(Copies, 1, int(SHRT_MAX)));
  Locked<DEVMODEA> settings(devMode_.get());
  if (!settings) return copies;
  settings->dmCopies = copies;
  if (Collate) {
    settings->dmCollate = DMCOLLATE_TRUE;
    settings->dmFields |= DM_COLLATE;
  }
  return copies;
}

std::optional<Printer::DialogChoices> Printer::ShowPrintDialog() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.Flags = DialogFlags() | PD_ENABLEPRINTHOOK;
  if (FirstPage >= 0) {
    dialog.nMinPage = 1;
    dialog.nMaxPage = 0xFFFF;
    dialog.nFromPage = dialog.nToPage = static_cast<WORD>(std::clamp(FirstPage, 1, 0xFFFF));
  }
  std::string cancelledChoice;
  dialog.lpfnPrintHook = NotePrinterOnCancel;
  dialog.lCustData = reinterpret_cast<LPARAM>(&cancelledChoice);
  dialog.nCopies = ApplyCopiesAndCollate();

  dialog.hDevMode = devMode_.release();
  dialog.hDevNames = devNames_.release();
  bool confirmed = PrintDlgA(&dialog) != FALSE;
  devMode_.reset(dialog.hDevMode);
  devNames_.reset(dialog.hDevNames);
  if (!confirmed) {
    if (!cancelledChoice.empty() && cancelledChoice != ChosenPrinter())
      TakePrinter(cancelledChoice);
    return std::nullopt;
  }
  return DialogChoices{dialog.Flags, dialog.nCopies, dialog.nFromPage};
}

void Printer::StoreDialogChoices(const DialogChoices& choices) {
  Locked<DEVMODEA> settings(devMode_.get());
  // With PD_USEDEVMODECOPIESANDCOLLATE the dialog reports its copy count in the device settings.
  Copies = settings && (settings->dmFields & DM_COPIES) ? settings->dmCopies : choices.copies;
  Collate = settings && settings->dmCollate == DMCOLLATE_TRUE;
  if (Selection >= 0) Selection = (choices.flags & PD_SELECTION) ? 1 : 0;
  if (FirstPage >= 0 && (choices.flags & PD_PAGENUMS)) FirstPage = choices.fromPage;
}

HDC Printer::CreatePrinterDc() const {
  DeviceNames names = NamesIn(devNames_.get());
  if (names.device.empty()) return nullptr;
  Locked<DEVMODEA> settings(devMode_.get());
  return CreateDCA(names.driver.c_str(), names.device.c_str(), nullptr, settings.get());
}

std::string Printer::Destination(const std::string& outputFile) const {
  if (!outputFile.empty()) {
    char title[MAX_PATH] = "";
    GetFileTitleA(outputFile.c_str(), title, sizeof title);
    return title;
  }
  DeviceNames names = NamesIn(devNames_.get());
  std::string destination(names.device.size() + names.port.size() + 16, '\0');
  destination.resize(
      wsprintfA(destination.data(), "%s 上的 %s", names.device.c_str(), names.port.c_str()));
  return destination;
}

bool Printer::StartPrintJob(bool showPrintDialog, bool showProgressWindow, int paper,
                            int orientation) {
  if (JobOpen()) return false;
  if (!devNames_ && !TakeDefaultPrinter() && !showPrintDialog) return false;
  ApplyPaperAndOrientation(paper, orientation);

  std::optional<DialogChoices> dialog;
  if (showPrintDialog) {
    dialog = ShowPrintDialog();
    if (!dialog) return false;
  } else {
    ApplyCopiesAndCollate();
  }

  std::unique_ptr<HDC__, DcDeleter> dc(CreatePrinterDc());
  if (!dc) return false;
  std::string outputFile;
  if (dialog && (dialog->flags & PD_PRINTTOFILE)) {
    std::optional<std::string> chosen = AskOutputFile(owner_);
    if (!chosen) return false;
    outputFile = *chosen;
  }
  if (dialog) StoreDialogChoices(*dialog);

  std::string jobName = DocumentName.empty() ? kDefaultJobName : DocumentName;
  if (showProgressWindow) ShowProgressWindow(jobName, Destination(outputFile));

  DOCINFOA document{};
  document.cbSize = sizeof document;
  document.lpszDocName = jobName.c_str();
  document.lpszOutput = outputFile.empty() ? nullptr : outputFile.c_str();
  if (StartDocA(dc.get(), &document) <= 0) {
    CloseProgressWindow();
    return false;
  }
  dc_ = std::move(dc);
  page_ = 1;
  if (StartPage(dc_.get()) <= 0) {
    AbortPrintJob();
    return false;
  }
  pageOpen_ = true;
  return true;
}

bool Printer::NextPage() {
  if (!JobOpen()) return false;
  pageOpen_ = false;
  if (EndPage(dc_.get()) <= 0 || StartPage(dc_.get()) <= 0) {
    AbortPrintJob();
    return false;
  }
  pageOpen_ = true;
  ++page_;
  if (progress_) SetDlgItemInt(progress_, kPageId, page_, TRUE);
  return true;
}

void Printer::EndPrintJob() {
  if (JobOpen()) {
    if (pageOpen_) EndPage(dc_.get());
    pageOpen_ = false;
    EndDoc(dc_.get());
    dc_.reset();
  }
  CloseProgressWindow();
}

void Printer::AbortPrintJob() {
  if (JobOpen()) {
    pageOpen_ = false;
    AbortDoc(dc_.get());
    dc_.reset();
  }
  CloseProgressWindow();
}

bool Printer::KeepResponsive() {
  MSG msg;
  while (JobOpen() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The program is ending: the loop that waits for this must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      AbortPrintJob();
      break;
    }
    if (progress_ && IsDialogMessageA(progress_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return JobOpen();
}

void Printer::ShowProgressWindow(const std::string& jobName, const std::string& destination) {
  DialogTemplate layout = ProgressTemplate();
  progress_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), owner_,
                                         ProgressProc, reinterpret_cast<LPARAM>(this));
  if (!progress_) return;
  SetDlgItemTextA(progress_, kJobNameId, jobName.c_str());
  SetDlgItemTextA(progress_, kDestinationId, destination.c_str());
  SetDlgItemTextA(progress_, kCopiesId, "1");
  SetDlgItemTextA(progress_, kPageId, "1");
  RECT area;
  GetWindowRect(progress_, &area);
  SetWindowPos(progress_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (area.right - area.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (area.bottom - area.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(progress_, SW_SHOW);

  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    // Hidden helper windows of the thread take no input anyway; the program's own are visible.
    if (window == progress_ || !IsWindowVisible(window)) continue;
    disabledWindows_.emplace_back(window, IsWindowEnabled(window) != FALSE);
    EnableWindow(window, FALSE);
  }
}

void Printer::CloseProgressWindow() {
  // The windows come back before the progress window goes, so that the activation returns to them.
  for (auto& [window, wasEnabled] : disabledWindows_)
    if (IsWindow(window)) EnableWindow(window, wasEnabled);
  disabledWindows_.clear();
  if (progress_ && IsWindow(progress_)) DestroyWindow(progress_);
  progress_ = nullptr;
}

INT_PTR CALLBACK Printer::ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    if (auto* printer = reinterpret_cast<Printer*>(GetWindowLongPtrA(dialog, DWLP_USER)))
      printer->AbortPrintJob();
    return TRUE;
  }
  return FALSE;
}
