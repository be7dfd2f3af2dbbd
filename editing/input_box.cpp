// InputBox, built from a dialog template made in memory: the prompt in a sunken frame, the entry,
// and the buttons "确认输入(&O)" and "取消(&C)".
#include "editing/input_box.h"

#include "ui/dialog_template.h"

namespace {

constexpr char kDefaultCaption[] = "请输入：";
constexpr char kFace[] = "宋体";
constexpr WORD kPoints = 9;

// In dialog units.
constexpr short kWidth = 180;
constexpr short kMargin = 7;
constexpr short kPromptHeight = 24;
constexpr short kEntryHeight = 13;
constexpr short kButtonWidth = 60;
constexpr short kButtonHeight = 15;
constexpr short kGap = 6;

void CentreOnScreen(HWND dialog) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  int left = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string EntryText(HWND dialog) {
  HWND entry = GetDlgItem(dialog, kInputBoxEntryId);
  std::string text(GetWindowTextLengthA(entry), '\0');
  if (!text.empty()) text.resize(GetWindowTextA(entry, text.data(), int(text.size()) + 1));
  return text;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      HWND entry = GetDlgItem(dialog, kInputBoxEntryId);
      SetWindowTextA(entry, reinterpret_cast<std::string*>(lParam)->c_str());
      CentreOnScreen(dialog);
      SetFocus(entry);
      SendMessageA(entry, EM_SETSEL, 0, -1);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      // Esc and the close box arrive as IDCANCEL, Enter as IDOK (the default button).
      if (LOWORD(wParam) == IDOK) {
        *reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER)) = EntryText(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool InputBox(HWND owner, std::string_view prompt, std::string_view caption, std::string& text) {
  short top = kMargin;
  short promptTop = top;
  if (!prompt.empty()) top += kPromptHeight + kGap;
  short entryTop = top;
  short buttonTop = short(entryTop + kEntryHeight + kGap);
  short height = short(buttonTop + kButtonHeight + kMargin);

  DialogTemplate box(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, kWidth, height,
                     caption.empty() ? kDefaultCaption : caption, kFace, kPoints);
  short innerWidth = kWidth - 2 * kMargin;
  if (!prompt.empty())
    box.AddItem(kStaticItem, SS_LEFT | SS_SUNKEN, kMargin, promptTop, innerWidth, kPromptHeight,
                kInputBoxPromptId, prompt);
  box.AddItem(kEditItem, WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, kMargin, entryTop,
              innerWidth, kEntryHeight, kInputBoxEntryId, "");
  short buttonsLeft = (kWidth - 2 * kButtonWidth - kGap) / 2;
  box.AddItem(kButtonItem, WS_TABSTOP | BS_DEFPUSHBUTTON, buttonsLeft, buttonTop, kButtonWidth,
              kButtonHeight, IDOK, "确认输入(&O)");
  box.AddItem(kButtonItem, WS_TABSTOP | BS_PUSHBUTTON, short(buttonsLeft + kButtonWidth + kGap),
              buttonTop, kButtonWidth, kButtonHeight, IDCANCEL, "取消(&C)");

  INT_PTR answer = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), box.Get(), owner,
                                           InputBoxProc, reinterpret_cast<LPARAM>(&text));
  return answer == IDOK;
}
