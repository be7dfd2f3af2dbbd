// Subclassing of the program's controls through their window procedure and a window property.
#include "ui/window_subclass.h"

namespace {

constexpr char kProperty[] = "QuorvaleSubclass";

struct Subclass {
  WNDPROC original;
  WNDPROC originalUnicode;  // the same procedure as a Unicode caller gets it
  SubclassProcedure procedure;
  void* owner;
};

Subclass* SubclassOf(HWND control) {
  return static_cast<Subclass*>(GetPropA(control, kProperty));
}

LRESULT CALLBACK Forward(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclass* subclass = SubclassOf(control);
  if (!subclass) return DefWindowProcA(control, message, wParam, lParam);
  if (message != WM_NCDESTROY)
    return subclass->procedure(control, message, wParam, lParam, subclass->owner);
  LRESULT result = subclass->procedure(control, message, wParam, lParam, subclass->owner);
  RemoveSubclass(control);
  return result;
}

}  // namespace

bool InstallSubclass(HWND control, SubclassProcedure procedure, void* owner) {
  if (SubclassOf(control)) return false;
  auto* subclass =
      new Subclass{nullptr, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)),
                   procedure, owner};
  if (!SetPropA(control, kProperty, subclass)) {
    delete subclass;
    return false;
  }
  subclass->original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Forward)));
  return true;
}

void RemoveSubclass(HWND control) {
  Subclass* subclass = SubclassOf(control);
  if (!subclass) return;
  SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass->original));
  RemovePropA(control, kProperty);
  delete subclass;
}

LRESULT CallControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclass* subclass = SubclassOf(control);
  if (!subclass) return DefWindowProcA(control, message, wParam, lParam);
  return CallWindowProcA(subclass->original, control, message, wParam, lParam);
}

LRESULT CallControlProcedureW(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclass* subclass = SubclassOf(control);
  if (!subclass) return SendMessageW(control, message, wParam, lParam);
  return CallWindowProcW(subclass->originalUnicode, control, message, wParam, lParam);
}
