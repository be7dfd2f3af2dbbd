// Print through the real program under Wine, with the session's PDF printers: what reaches the
// printer, print to file, cancelling, and what one print dialog leaves to the next.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <sstream>

#include "driver/ui_driver.h"
#include "printing_fixture.h"

using namespace driver;
using namespace printing;

namespace {

constexpr int kPrintItem = 4;  // 新建, 打开, 保存, 另存为, 打印, 退出

// The text of each non-empty line of a page as pdftotext gives it, trailing blanks dropped.
std::vector<std::string> LinesOf(const std::string& page) {
  std::vector<std::string> lines;
  std::istringstream stream(page);
  for (std::string line; std::getline(stream, line);) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class PrintingProgram : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PDF_PRINTER();
    main_ = program_.MainWindow();
    ASSERT_NE(main_, nullptr);
    before_ = PdfFiles();
  }

  void SetDocument(const std::string& text) {
    SendMessageA(program_.Control(ControlId::编辑框1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
  }

  // Chooses 打印 in the File menu and waits for the print dialog.
  HWND OpenPrintDialog() {
    if (!ChooseMenuItem(program_, ControlId::超级按钮1, kPrintItem)) return nullptr;
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND dialog : program_.TopLevelWindows("#32770"))
        if (GetDlgItem(dialog, cmb4)) found = dialog;
      return found != nullptr;
    });
    return found;
  }

  bool DialogGone(HWND dialog) {
    return WaitUntil([&] { return !IsWindow(dialog); });
  }

  // The program is idle again: no dialog or progress window, MainWindow enabled.
  void ExpectUsableAgain() {
    EXPECT_TRUE(WaitUntil(
        [&] { return IsWindowEnabled(main_) && program_.TopLevelWindows("#32770").empty(); }));
  }

  PrintedPdf PrintConfirmed(const std::string& text) {
    SetDocument(text);
    HWND dialog = OpenPrintDialog();
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return {};
    PressButton(dialog, IDOK);
    std::string name = WaitForNewPdf(before_);
    EXPECT_FALSE(name.empty()) << "no PDF from the printer";
    if (name.empty()) return {};
    std::optional<PrintedPdf> pdf = ReadPdf(name);
    EXPECT_TRUE(pdf.has_value());
    before_.insert(name);
    return pdf.value_or(PrintedPdf{});
  }

  Program program_;
  HWND main_ = nullptr;
  std::set<std::string> before_;
};

TEST_F(PrintingProgram, ShortTextPrintsOnOnePageAsTheUntitledJob) {
  const std::string text =
      "Quorvale prints this line.\r\n第二行：中文与 mixed text\r\n\tthird, after a tab";
  PrintedPdf pdf = PrintConfirmed(text);
  ASSERT_EQ(pdf.pages.size(), 1u);
  EXPECT_EQ(LinesOf(pdf.pages[0]),
            (std::vector<std::string>{"Quorvale prints this line.",
                                      Utf8("第二行：中文与 mixed text"), "third, after a tab"}));
  EXPECT_EQ(JobNameOf(pdf), kJobName);
  ExpectUsableAgain();
}

TEST_F(PrintingProgram, EmptyDocumentPrintsOneEmptyPage) {
  PrintedPdf pdf = PrintConfirmed("");
  ASSERT_EQ(pdf.pages.size(), 1u);
  EXPECT_TRUE(LinesOf(pdf.pages[0]).empty());
  ExpectUsableAgain();
}

TEST_F(PrintingProgram, LongTextRunsOverFullPagesWithNothingLostOrDuplicated) {
  constexpr int kLines = 180;
  std::string text;
  std::vector<std::string> expected;
  for (int n = 1; n <= kLines; ++n) {
    char line[64];
    wsprintfA(line, "第%03d行 line %03d", n, n);
    text += line;
    if (n < kLines) text += "\r\n";
    expected.push_back(Utf8(line));
  }
  PrintedPdf pdf = PrintConfirmed(text);
  ASSERT_GE(pdf.pages.size(), 2u);

  std::vector<std::string> printed;
  std::vector<size_t> perPage;
  for (const std::string& page : pdf.pages) {
    std::vector<std::string> lines = LinesOf(page);
    perPage.push_back(lines.size());
    printed.insert(printed.end(), lines.begin(), lines.end());
  }
  EXPECT_EQ(printed, expected);
  // Every page but the last is full, and the last holds the rest.
  size_t full = perPage[0];
  for (size_t page = 1; page + 1 < perPage.size(); ++page) EXPECT_EQ(perPage[page], full) << page;
  EXPECT_EQ(pdf.pages.size(), (kLines + full - 1) / full);

  // Full means that the lines fill the page from its top down to where no further line fits.
  ASSERT_EQ(pdf.geometry.size(), pdf.pages.size());
  const PrintedPdf::Geometry& first = pdf.geometry[0];
  ASSERT_EQ(first.lineTops.size(), full);
  double pitch = (first.lineTops.back() - first.lineTops.front()) / double(full - 1);
  double glyphOffset = first.lineTops.front();  // the first line's cell starts at the top
  EXPECT_LT(glyphOffset, pitch);
  double lastLineBottom = first.lineTops.back() - glyphOffset + pitch;
  EXPECT_LE(first.bottom, first.height);
  EXPECT_LE(lastLineBottom, first.height + 0.5);
  EXPECT_GT(lastLineBottom + pitch, first.height) << "another line would have fitted";

  // The lines are as high on paper as they are on the screen in the text area's font.
  const FontData& face = ControlById(ControlId::编辑框1).font;
  LOGFONTA font{};
  font.lfHeight = -face.height;
  font.lfCharSet = face.charset;
  font.lfPitchAndFamily = face.pitchAndFamily;
  lstrcpynA(font.lfFaceName, face.face, LF_FACESIZE);
  HFONT screenFont = CreateFontIndirectA(&font);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, screenFont);
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  double screenPitch = metrics.tmHeight * 72.0 / GetDeviceCaps(screen, LOGPIXELSY);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(screenFont);
  EXPECT_NEAR(pitch, screenPitch, 1.0);
  ExpectUsableAgain();
}

TEST_F(PrintingProgram, LinesWiderThanThePageWrapWithoutLosingOrSplittingCharacters) {
  std::string words, hanzi;
  for (int n = 0; n < 60; ++n) words += "word" + std::to_string(n) + " ";
  for (int n = 0; n < 20; ++n) hanzi += "汉字排版测试";
  PrintedPdf pdf = PrintConfirmed(words + "\r\n" + hanzi);
  ASSERT_EQ(pdf.pages.size(), 1u);
  std::vector<std::string> lines = LinesOf(pdf.pages[0]);
  ASSERT_GE(lines.size(), 4u) << "both lines wrap at least once";

  // The words come back whole, in order, each line ending at a word; the Chinese characters come
  // back whole and in order.
  std::string joinedWords, joinedHanzi;
  for (const std::string& line : lines) {
    if (line.rfind("word", 0) == 0)
      joinedWords += line + " ";
    else
      joinedHanzi += line;
  }
  EXPECT_EQ(joinedWords, words);
  EXPECT_EQ(joinedHanzi, Utf8(hanzi));
}

// A document long enough that its job is still printing when the test acts on it.
std::string LongDocument() {
  std::string text;
  for (int n = 1; n <= 20000; ++n) text += "第" + std::to_string(n) + "行，一份很长的文件\r\n";
  return text;
}

class DuringALongJob : public PrintingProgram {
 protected:
  // Prints the long document and waits until the progress window shows page 2 or later.
  HWND StartLongJob() {
    SetDocument(LongDocument());
    HWND dialog = OpenPrintDialog();
    if (!dialog) return nullptr;
    PressButton(dialog, IDOK);
    HWND progress = program_.WaitForDialog("正在进行打印，请稍候 ......", 10000ms);
    if (!progress) return nullptr;
    EXPECT_TRUE(WaitUntil([&] { return std::atoi(LastChildText(progress).c_str()) >= 2; }, 20000ms))
        << "the progress window follows the pages";
    EXPECT_FALSE(IsWindowEnabled(main_));
    return progress;
  }

  // The current page number: the text of the last label, just before the button.
  static std::string LastChildText(HWND progress) {
    HWND button = GetDlgItem(progress, IDCANCEL);
    HWND label = GetWindow(button, GW_HWNDPREV);
    return label ? WindowText(label) : "";
  }
};

TEST_F(DuringALongJob, AbortButtonAbandonsTheJob) {
  HWND progress = StartLongJob();
  ASSERT_NE(progress, nullptr);
  PressButton(progress, IDCANCEL);
  ASSERT_TRUE(DialogGone(progress));
  ExpectUsableAgain();
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

TEST_F(DuringALongJob, ClosingTheProgramAbandonsTheJobAndEndsTheProgram) {
  ASSERT_NE(StartLongJob(), nullptr);
  PostMessageA(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(program_.WaitForExit(), 0u);
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

TEST_F(PrintingProgram, CancellingThePrintDialogPrintsNothing) {
  SetDocument("not to be printed");
  HWND dialog = OpenPrintDialog();
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(DialogGone(dialog));
  ExpectUsableAgain();
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

class PrintToFile : public PrintingProgram {
 protected:
  void SetUp() override {
    PrintingProgram::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    DeleteFileA(WindowsPath(output_).c_str());
  }

  // Ticks "print to file", confirms the print dialog and waits for the file dialog.
  HWND OpenPrintToFileDialog() {
    HWND print = OpenPrintDialog();
    if (!print) return nullptr;
    SendMessageA(GetDlgItem(print, chx1), BM_SETCHECK, BST_CHECKED, 0);
    PressButton(print, IDOK);
    return program_.WaitForDialog("打印到文件");
  }

  // Beside the printer's PDFs, where pdftotext can read it too.
  std::string output_ = PrintFolder() + "/to-file.prn";
};

TEST_F(PrintToFile, WritesTheJobToTheChosenFile) {
  const std::string text = "to the file\r\n打印到文件的内容";
  SetDocument(text);
  HWND dialog = OpenPrintToFileDialog();
  ASSERT_NE(dialog, nullptr);

  HWND types = GetDlgItem(dialog, cmb1);
  ASSERT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ComboItem(types, 0), "打印输出文件 (*.prn)");
  EXPECT_EQ(ComboItem(types, 1), "所有文件 (*.*)");
  HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
  EXPECT_EQ(WindowText(name), "Output.prn");

  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WindowsPath(output_).c_str()));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return FileSize(output_) > 0; }, 10000ms));
  ExpectUsableAgain();

  // The file holds the printer's PostScript; made into a PDF it shows the document's text.
  std::string converted = PrintFolder() + "/from-file/printed.pdf";
  ASSERT_TRUE(RunUnixShell("mkdir -p " + Quoted(PrintFolder() + "/from-file") + " && ps2pdf " +
                               Quoted(output_) + " " + Quoted(converted + ".part") + " && mv " +
                               Quoted(converted + ".part") + " " + Quoted(converted),
                           converted));
  std::optional<PrintedPdf> pdf = ReadPdf("from-file/printed.pdf");
  ASSERT_TRUE(pdf.has_value());
  ASSERT_EQ(pdf->pages.size(), 1u);
  EXPECT_EQ(LinesOf(pdf->pages[0]),
            (std::vector<std::string>{"to the file", Utf8("打印到文件的内容")}));
  EXPECT_FALSE(NewPdfAppears(before_, 1000ms)) << "nothing went to the printer";
}

TEST_F(PrintToFile, CancellingTheFileDialogPrintsNothing) {
  SetDocument("not to be printed");
  HWND dialog = OpenPrintToFileDialog();
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(DialogGone(dialog));
  ExpectUsableAgain();
  EXPECT_FALSE(NewPdfAppears(before_, 4000ms));
}

TEST_F(PrintingProgram, CopiesAndCollateCarryOverWhileRangesStayUnavailable) {
  HWND first = OpenPrintDialog();
  ASSERT_NE(first, nullptr);
  for (int unavailable : {rad2, rad3, edt1, edt2})
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(first, unavailable))) << unavailable;
  EXPECT_EQ(ItemText(first, edt3), "1");
  SendMessageA(GetDlgItem(first, edt3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3"));
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(first, chx2))) << "collate is offered for 3 copies";
  SendMessageA(GetDlgItem(first, chx2), BM_SETCHECK, BST_CHECKED, 0);
  PressButton(first, IDOK);
  ASSERT_FALSE(WaitForNewPdf(before_).empty());
  ExpectUsableAgain();

  HWND second = OpenPrintDialog();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ItemText(second, edt3), "3");
  EXPECT_EQ(SendMessageA(GetDlgItem(second, chx2), BM_GETCHECK, 0, 0), BST_CHECKED);
  for (int unavailable : {rad2, rad3, edt1, edt2})
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(second, unavailable))) << unavailable;
  PressButton(second, IDCANCEL);
  ExpectUsableAgain();
}

TEST_F(PrintingProgram, PrinterChosenInACancelledDialogIsOfferedNextTime) {
  HWND first = OpenPrintDialog();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ItemText(first, cmb4), kDefaultPrinter);
  HWND printers = GetDlgItem(first, cmb4);
  ASSERT_NE(
      SendMessageA(printers, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(kOtherPrinter)),
      CB_ERR);
  SendMessageA(first, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(printers));
  PressButton(first, IDCANCEL);
  ASSERT_TRUE(DialogGone(first));
  ExpectUsableAgain();

  HWND second = OpenPrintDialog();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ItemText(second, cmb4), kOtherPrinter);
  PressButton(second, IDCANCEL);
  ExpectUsableAgain();
  EXPECT_FALSE(NewPdfAppears(before_, 2000ms));
}

}  // namespace
