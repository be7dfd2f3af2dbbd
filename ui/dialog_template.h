// An in-memory dialog template, for the program's own small dialogs (the input box of Find, the
// progress window of printing), which need no resource of their own.
#pragma once
#include <windows.h>

#include <string_view>
#include <vector>

// The predefined window classes an item can name by number.
enum DialogItemClass : WORD { kButtonItem = 0x0080, kEditItem = 0x0081, kStaticItem = 0x0082 };

// A DLGTEMPLATE with its items, laid out word by word as the dialog manager reads it. Texts are
// GBK; the template holds them as UTF-16. Positions and sizes are in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short width, short height, std::string_view caption,
                 std::string_view face, WORD points);

  void AddItem(DialogItemClass itemClass, DWORD style, short x, short y, short width, short height,
               WORD id, std::string_view text);

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(DWORD value);
  void AddText(std::string_view gbk);

  std::vector<WORD> words_;
  size_t itemCount_ = 0;
};
