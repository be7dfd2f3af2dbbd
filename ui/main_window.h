// MainWindow: the program's one borderless, skinned window. It builds its controls from the window
// data, owns them, routes their events to the bound handlers and offers the window operations.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/common_dialog.h"
#include "document/printer.h"
#include "ui/text_area.h"
#include "ui/window_data.h"

class MainWindow {
 public:
  // Creates the window hidden and centred on the screen, with all its controls, and runs the
  // window-created handlers. Null when the window cannot be created. `onGone` runs after the
  // window's last message (WM_NCDESTROY).
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, void (*onGone)());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Control(ControlId id) const;
  static MainWindow* FromHandle(HWND hwnd);

  // 0 normal, 1 normal and centred, 2 minimised, 3 maximised.
  void SetShowState(int state);
  int ShowState() const;
  void SetHeight(int height);
  void SetVisible(ControlId id, bool visible);
  void SetCaption(ControlId id, std::string_view text);
  std::string Caption(ControlId id) const;
  // The period of 时钟1 in ms; a negative value counts as 0 (stopped). Writing the period the timer
  // already has changes nothing; another value restarts the countdown with it.
  void SetTimerPeriod(int period);
  int TimerPeriod() const { return timerPeriod_; }

  // Posts a private message; the window is destroyed once when it arrives, however often asked.
  void RequestDestroy();

  TextArea& Text() { return *textArea_; }
  ::Printer& Printer() { return *printer_; }
  CommonDialog& Dialog() { return *dialog_; }

  // Mouse and keyboard pre-processing of every message of the window and its children before it
  // is dispatched: dragging by the background and the top labels, Tab between controls. True
  // when the message was consumed.
  bool PreTranslateMessage(MSG& msg);

  // Runs the handlers bound to an event of a control, in the order of the bindings.
  void FireEvent(ControlId id, Event event);

 private:
  MainWindow() = default;
  static bool RegisterWindowClass(HINSTANCE instance);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateControls();
  HWND CreateControl(const ControlData& data);
  HFONT FontFor(const FontData& font);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void PaintBackground();
  void MoveFocus(bool backwards);
  bool IsDragHandle(HWND hwnd) const;

  HWND hwnd_ = nullptr;
  void (*onGone_)() = nullptr;
  int storedShowState_ = 1;
  int timerPeriod_ = kTimerPeriodAtStart;
  bool destroyPending_ = false;
  std::unique_ptr<TextArea> textArea_;
  std::unique_ptr<::Printer> printer_;
  std::unique_ptr<CommonDialog> dialog_;
  std::vector<HFONT> fonts_;
  HBITMAP background_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};
