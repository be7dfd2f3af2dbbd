// The text area 编辑框1: the standard multi-line EDIT control that holds the document, and every
// operation the commands perform on it. Offsets and counts are bytes of the GBK text.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/window_data.h"

// A font as the commands describe it; sizes are in points.
struct FontRecord {
  int angle = 0;  // tenths of a degree
  int bold = 0;
  int italic = 0;
  int strikeOut = 0;
  int underline = 0;
  int size = 0;
  std::string faceName;
};

class TextArea {
 public:
  struct Events {
    std::function<void()> textChanged;
    std::function<void()> rightButtonDown;
    // The scroll-bar setting that the TextChanged handler will give a text of this many bytes.
    // SetText asks it before the text goes in, so a long text is laid out once, not once more
    // when its scroll bar appears. Without it SetText leaves the scroll bars to the handler.
    std::function<int(int length)> scrollBarsFor = nullptr;
  };

  TextArea(HWND parent, const ControlData& data, HFONT font, Events events);
  ~TextArea();
  TextArea(const TextArea&) = delete;
  TextArea& operator=(const TextArea&) = delete;

  HWND Handle() const { return edit_; }

  std::string GetText() const;
  // The byte length of the content, without copying it.
  int TextLength() const;
  // The byte length, or `limit` when the content is at least that long; cheap for a long text.
  int TextLengthUpTo(int limit) const;
  // Clears the modified flag and the undo history and fires TextChanged once.
  void SetText(std::string_view text);
  bool IsModified() const;

  int GetSelectionStart() const;
  int GetSelectedCount() const;
  std::string GetSelectedText() const;
  void SetSelectionStart(int start);
  void SetSelectedCount(int count);
  void ReplaceSelection(std::string_view text);

  // 0 none, 1 horizontal, 2 vertical, 3 both.
  void SetScrollBars(int setting);
  int ScrollBars() const { return scrollBars_; }
  void SetFont(const FontRecord& font);
  void SetTextColour(COLORREF colour);
  COLORREF TextColour() const { return textColour_; }

  void Focus();
  void CopySelection();
  void PasteClipboard();
  void CutSelection();

  // The parent forwards these: WM_CTLCOLOREDIT for the colours, EN_CHANGE for TextChanged.
  HBRUSH Colours(HDC dc) const;
  void OnContentChanged();

 private:
  static LRESULT SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, void* self);
  HWND CreateControl(int scrollBars);
  void LearnOffsetUnits();
  void MeasureLineHeight();

  void ApplyScrollBars(int setting);
  void ShowVerticalBar(bool show);
  void Rebuild(int setting);
  void KeepVerticalBarInStep();
  void ScrollToThumb(bool stillDragging);

  void ApplyStoredSelection();
  std::string TextBefore(long long bytes) const;
  std::pair<int, int> SelectionBytes() const;

  HWND parent_;
  RECT place_;
  int id_;
  HWND edit_ = nullptr;
  Events events_;
  HFONT font_ = nullptr;
  HFONT ownedFont_ = nullptr;
  HBRUSH background_;
  COLORREF textColour_;
  int scrollBars_ = 0;
  int storedStart_ = 0;
  int storedCount_ = 0;
  bool settingText_ = false;
  bool countsCharacters_ = false;
  int lineHeight_ = 1;
  bool draggingThumb_ = false;
  bool steppingBar_ = false;
  SCROLLINFO shownBar_{};  // what was last given to the vertical bar
};
