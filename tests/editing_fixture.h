// What the editing tests share: the real program under Wine with its text area in reach, the
// clipboard of the session, the Edit menu's items by position, and the answering of a modal
// dialog shown in the test's own process.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "driver/ui_driver.h"
#include "program_fixture.h"

namespace editing {

// Items of the Edit menu, counted without its separators.
enum EditMenuItem {
  kSelectAll = 0,
  kCut = 1,
  kCopy = 2,
  kPaste = 3,
  kFont = 4,
  kToUpper = 5,
  kToLower = 6,
  kClear = 7,
  kFind = 8,
};

struct Selection {
  int start, end;
  bool operator==(const Selection&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Selection& s) {
  return out << "(" << s.start << ", " << s.end << ")";
}

// The clipboard's text, or "<none>" when it holds no text.
inline std::string ClipboardText() {
  std::string text = "<none>";
  for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Puts a text on the clipboard; "<none>" empties it.
inline void SetClipboardText(const std::string& text) {
  for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  EmptyClipboard();
  if (text != "<none>") {
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(data), text.c_str(), text.size() + 1);
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
  }
  CloseClipboard();
}

inline BOOL CALLBACK KeepVisibleDialog(HWND hwnd, LPARAM found) {
  if (!IsWindowVisible(hwnd) || driver::ClassName(hwnd) != "#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// Runs `modal` on this thread while `answer` acts, from a second thread, on the dialog that
// `modal` shows. A dialog that the answer leaves open is cancelled, so a failing test ends.
inline void AnswerModalDialog(const std::function<void()>& modal,
                              const std::function<void(HWND dialog)>& answer) {
  DWORD thread = GetCurrentThreadId();
  std::thread helper([&] {
    HWND dialog = nullptr;
    auto find = [&] {
      EnumThreadWindows(thread, KeepVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
      return dialog != nullptr;
    };
    if (!driver::WaitUntil(find)) {
      ADD_FAILURE() << "no dialog";
      return;
    }
    answer(dialog);
    if (!driver::WaitUntil([&] { return !IsWindow(dialog); }, driver::Duration(3000))) {
      ADD_FAILURE() << "the dialog stayed open";
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  modal();
  helper.join();
}

class EditingProgram : public ProgramTest {
 protected:
  std::wstring WideText() {
    std::wstring text(65536, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(TextArea(), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
  }

  static int BytesOf(const std::wstring& text, int units) {
    return WideCharToMultiByte(936, 0, text.data(), std::min<int>(units, int(text.size())), nullptr,
                               0, nullptr, nullptr);
  }

  // Puts the text in place the way another program would; the program's TextChanged does not run.
  void PlaceText(const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(TextArea(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
  }

  // Selections in bytes of the GBK text, as the program counts them. Wine's EDIT counts its
  // offsets in UTF-16 units, so they are converted through the text.
  Selection GetSelection() {
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(TextArea(), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &packed);
    std::wstring text = WideText();
    return {BytesOf(text, LOWORD(packed)), BytesOf(text, HIWORD(packed))};
  }

  void Select(int start, int end) {
    std::string text = Text();
    auto units = [&](int bytes) {
      return MultiByteToWideChar(936, 0, text.data(), bytes, nullptr, 0);
    };
    DWORD_PTR result = 0;
    SendMessageTimeoutA(TextArea(), EM_SETSEL, units(start), units(end), SMTO_ABORTIFHUNG, 5000,
                        &result);
  }

  bool IsModified() {
    DWORD_PTR modified = 0;
    SendMessageTimeoutA(TextArea(), EM_GETMODIFY, 0, 0, SMTO_ABORTIFHUNG, 5000, &modified);
    return modified != 0;
  }

  bool HasVerticalScrollBar() { return (GetWindowLongA(TextArea(), GWL_STYLE) & WS_VSCROLL) != 0; }

  HWND Focus() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui);
    return gui.hwndFocus;
  }

  // The caret's place in the text area's client area.
  POINT CaretPosition() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui);
    return {gui.rcCaret.left, gui.rcCaret.top};
  }

  // Where the character at a byte offset is drawn, in the text area's client area.
  POINT PositionOfByte(int bytes) {
    std::string text = Text();
    int units = MultiByteToWideChar(936, 0, text.data(), bytes, nullptr, 0);
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(TextArea(), EM_POSFROMCHAR, units, 0, SMTO_ABORTIFHUNG, 5000, &packed);
    return {short(LOWORD(packed)), short(HIWORD(packed))};
  }

  // Clicks into the text area so that it has the keyboard focus, then puts the caret at the end.
  void FocusTextAreaAtEnd() {
    POINT centre = driver::Centre(TextArea());
    driver::ClickAt(centre.x, centre.y);
    driver::PressKeys({VK_CONTROL}, VK_END);
  }

  bool Choose(ControlId from, EditMenuItem item) {
    return driver::ChooseMenuItem(program_, from, item);
  }
};

}  // namespace editing
