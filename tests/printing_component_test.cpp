// The printer component 打印机1 of a real MainWindow in the test process, with the session's PDF
// printers: the job and its progress window, "中止打印", the end of the program during a job, the
// device settings and the print dialog's offers.
#include <windows.h>
#include <dlgs.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "document/printer.h"
#include "driver/ui_driver.h"
#include "printing_fixture.h"
#include "ui/main_window.h"

using namespace driver;
using namespace printing;

namespace {

// The texts of a window's children from the first created to the last.
std::vector<std::string> ChildTexts(HWND parent) {
  std::vector<std::string> texts;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    texts.push_back(WindowText(child));
  return texts;
}

std::string PortOf(const std::string& printerName) {
  HANDLE printer = nullptr;
  std::string name = printerName;
  if (!OpenPrinterA(name.data(), &printer, nullptr)) return "";
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed);
  std::string port;
  if (needed && GetPrinterA(printer, 2, info.data(), needed, &needed))
    port = reinterpret_cast<PRINTER_INFO_2A*>(info.data())->pPortName;
  ClosePrinter(printer);
  return port;
}

// Runs the messages of the test's thread for a while, as the program's loop would.
void PumpMessages(Duration duration) {
  WaitUntil(
      [] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
          TranslateMessage(&msg);
          DispatchMessageA(&msg);
        }
        return false;
      },
      duration);
}

class PrinterComponent : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PDF_PRINTER();
    window_ = MainWindow::Create(GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_->Handle(), SW_SHOW);
    before_ = PdfFiles();
  }

  Printer& printer() { return window_->Printer(); }

  std::unique_ptr<MainWindow> window_;
  std::set<std::string> before_;
};

TEST_F(PrinterComponent, AJobShowsItsProgressWindowAndKeepsTheMainWindowDisabled) {
  ASSERT_TRUE(printer().StartPrintJob(false, true, 0, 0));
  EXPECT_TRUE(printer().JobOpen());
  HWND progress = printer().ProgressWindow();
  ASSERT_TRUE(IsWindow(progress));
  EXPECT_TRUE(IsWindowVisible(progress));
  EXPECT_FALSE(IsWindowEnabled(window_->Handle()));

  EXPECT_EQ(WindowText(progress), "正在进行打印，请稍候 ......");
  LONG style = GetWindowLongA(progress, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, 0);
  RECT area = WindowRect(progress);
  EXPECT_NEAR((area.left + area.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((area.top + area.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(progress, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "宋体");
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);

  std::string destination = std::string(kDefaultPrinter) + " 上的 " + PortOf(kDefaultPrinter);
  EXPECT_EQ(ChildTexts(progress),
            (std::vector<std::string>{"打印作业名：", kJobName, "打印目的：", destination, "",
                                      "已打印份数：", "1", "当前页号：", "1", "中止打印"}));
  EXPECT_EQ(WindowText(GetDlgItem(progress, IDCANCEL)), "中止打印");

  ASSERT_TRUE(printer().NextPage());
  EXPECT_EQ(printer().PageNumber(), 2);
  EXPECT_EQ(ChildTexts(progress)[8], "2");

  printer().EndPrintJob();
  EXPECT_FALSE(printer().JobOpen());
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
  std::string name = WaitForNewPdf(before_);
  ASSERT_FALSE(name.empty());
  std::optional<PrintedPdf> pdf = ReadPdf(name);
  ASSERT_TRUE(pdf.has_value());
  EXPECT_EQ(pdf->pages.size(), 2u);
  EXPECT_EQ(JobNameOf(*pdf), kJobName);
}

TEST_F(PrinterComponent, AbortButtonAbandonsTheJob) {
  ASSERT_TRUE(printer().StartPrintJob(false, true, 0, 0));
  TextOutA(printer().Dc(), 0, 0, "abandoned", 9);
  HWND progress = printer().ProgressWindow();
  PressButton(progress, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !printer().KeepResponsive(); }));
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

TEST_F(PrinterComponent, ASecondJobCannotStartWhileOneIsOpen) {
  ASSERT_TRUE(printer().StartPrintJob(false, true, 0, 0));
  HWND progress = printer().ProgressWindow();
  EXPECT_FALSE(printer().StartPrintJob(false, true, 0, 0));
  EXPECT_TRUE(printer().JobOpen());
  EXPECT_EQ(printer().ProgressWindow(), progress);
  printer().AbortPrintJob();
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
}

TEST_F(PrinterComponent, WithoutTheProgressWindowNothingIsDisabled) {
  ASSERT_TRUE(printer().StartPrintJob(false, false, 0, 0));
  EXPECT_EQ(printer().ProgressWindow(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
  printer().AbortPrintJob();
}

TEST_F(PrinterComponent, DocumentNameNamesTheJob) {
  printer().DocumentName = "季度报告";
  ASSERT_TRUE(printer().StartPrintJob(false, false, 0, 0));
  printer().EndPrintJob();
  std::string name = WaitForNewPdf(before_);
  ASSERT_FALSE(name.empty());
  std::optional<PrintedPdf> pdf = ReadPdf(name);
  ASSERT_TRUE(pdf.has_value());
  EXPECT_EQ(JobNameOf(*pdf), "季度报告");
}

// Ending the program while a job is open: by destroying the window, as the program's end does, or
// by destroying MainWindow and its components with it.
class EndingTheProgram : public PrinterComponent, public testing::WithParamInterface<bool> {};

TEST_P(EndingTheProgram, AbandonsAnOpenJobAsTheAbortButtonDoes) {
  ASSERT_TRUE(printer().StartPrintJob(false, true, 0, 0));
  TextOutA(printer().Dc(), 0, 0, "abandoned", 9);
  HWND progress = printer().ProgressWindow();
  bool destroyWindowOnly = GetParam();
  if (destroyWindowOnly) {
    DestroyWindow(window_->Handle());
    EXPECT_FALSE(printer().JobOpen());
    EXPECT_EQ(printer().ProgressWindow(), nullptr);
  } else {
    window_.reset();
  }
  EXPECT_FALSE(IsWindow(progress));
  PumpMessages(500ms);
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

INSTANTIATE_TEST_SUITE_P(WindowOrWholeComponent, EndingTheProgram, testing::Bool());

// The paper and orientation asked for reach the device the job prints on.
TEST_F(PrinterComponent, PaperAndOrientationReachTheDevice) {
  struct PageSize {
    int width, height;
  };
  auto pageOf = [&](int paper, int orientation) {
    EXPECT_TRUE(printer().StartPrintJob(false, false, paper, orientation));
    HDC dc = printer().Dc();
    PageSize size{dc ? GetDeviceCaps(dc, PHYSICALWIDTH) : 0,
                  dc ? GetDeviceCaps(dc, PHYSICALHEIGHT) : 0};
    printer().AbortPrintJob();
    return size;
  };
  PageSize portrait = pageOf(0, 0);
  PageSize landscape = pageOf(0, 1);
  PageSize portraitAgain = pageOf(0, 2);
  PageSize a5 = pageOf(DMPAPER_A5, 0);
  PageSize paperKept = pageOf(0, 0);
  EXPECT_LT(portrait.width, portrait.height);
  EXPECT_EQ(landscape.width, portrait.height);
  EXPECT_EQ(landscape.height, portrait.width);
  EXPECT_EQ(portraitAgain.width, portrait.width) << "any orientation but 1 is portrait";
  EXPECT_EQ(portraitAgain.height, portrait.height);
  EXPECT_LT(a5.width, portrait.width);
  EXPECT_LT(a5.height, portrait.height);
  EXPECT_EQ(paperKept.width, a5.width) << "paper 0 leaves the paper as it is";
  EXPECT_EQ(paperKept.height, a5.height);
}

// Answers the print dialog that the test's own thread shows, from a helper thread.
class DialogAnswerer {
 public:
  template <typename Answer>
  explicit DialogAnswerer(Answer answer)
      : owner_(GetCurrentThreadId()), thread_([this, answer] {
          HWND dialog = nullptr;
          WaitUntil([&] {
            EnumThreadWindows(owner_, FindPrintDialog, reinterpret_cast<LPARAM>(&dialog));
            return dialog != nullptr;
          });
          if (dialog) answer(dialog);
        }) {}
  ~DialogAnswerer() { thread_.join(); }

 private:
  static BOOL CALLBACK FindPrintDialog(HWND window, LPARAM found) {
    if (!GetDlgItem(window, cmb4) || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }

  DWORD owner_;
  std::thread thread_;
};

TEST_F(PrinterComponent, SelectionAndPageNumbersAreOfferedWhenTheSettingsAllowThem) {
  printer().Selection = 0;
  printer().FirstPage = 1;
  printer().Copies = 0;
  std::atomic<bool> selectionOffered{false}, pagesOffered{false};
  std::string copies;
  {
    DialogAnswerer answerer([&](HWND dialog) {
      selectionOffered = IsWindowEnabled(GetDlgItem(dialog, rad2)) != FALSE;
      pagesOffered = IsWindowEnabled(GetDlgItem(dialog, rad3)) != FALSE;
      copies = ItemText(dialog, edt3);
      CheckRadioButton(dialog, rad1, rad3, rad2);
      PressButton(dialog, IDOK);
    });
    EXPECT_TRUE(printer().StartPrintJob(true, false, 0, 0));
  }
  EXPECT_TRUE(selectionOffered);
  EXPECT_TRUE(pagesOffered);
  EXPECT_EQ(copies, "1") << "fewer than one copy counts as one";
  EXPECT_EQ(printer().Selection, 1);
  EXPECT_EQ(printer().FirstPage, 1);
  EXPECT_EQ(printer().Copies, 1);
  printer().AbortPrintJob();
}

TEST_F(PrinterComponent, PrintingToAFileShowsTheFileAsTheDestination) {
  std::string output = PrintFolder() + "/component.prn";
  DeleteFileA(WindowsPath(output).c_str());
  {
    DialogAnswerer answerer([&](HWND dialog) {
      SendMessageA(GetDlgItem(dialog, chx1), BM_SETCHECK, BST_CHECKED, 0);
      PressButton(dialog, IDOK);
      HWND file = nullptr;
      WaitUntil([&] {
        file = FindWindowA("#32770", "打印到文件");
        return file != nullptr;
      });
      if (!file) return;
      HWND name = GetDlgItem(file, cmb13) ? GetDlgItem(file, cmb13) : GetDlgItem(file, edt1);
      SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WindowsPath(output).c_str()));
      PressButton(file, IDOK);
    });
    ASSERT_TRUE(printer().StartPrintJob(true, true, 0, 0));
  }
  EXPECT_EQ(ChildTexts(printer().ProgressWindow())[3], "component.prn");
  printer().EndPrintJob();
  EXPECT_GT(FileSize(output), 0);
  EXPECT_FALSE(NewPdfAppears(before_, 2000ms)) << "nothing went to the printer";
}

TEST_F(PrinterComponent, ACancelledDialogOpensNoJob) {
  {
    DialogAnswerer answerer([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_FALSE(printer().StartPrintJob(true, true, 0, 0));
  }
  EXPECT_FALSE(printer().JobOpen());
  EXPECT_EQ(printer().ProgressWindow(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
  EXPECT_EQ(printer().ChosenPrinter(), kDefaultPrinter);
}

}  // namespace
