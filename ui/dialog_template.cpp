// An in-memory dialog template built word by word.
#include "ui/dialog_template.h"

#include <string>

DialogTemplate::DialogTemplate(DWORD style, short width, short height, std::string_view caption,
                               std::string_view face, WORD points) {
  AddDword(style | DS_SETFONT);
  AddDword(0);  // extended style
  itemCount_ = words_.size();
  words_.push_back(0);
  for (short value : {short(0), short(0), width, height}) words_.push_back(WORD(value));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  AddText(caption);
  words_.push_back(points);
  AddText(face);
}

void DialogTemplate::AddItem(DialogItemClass itemClass, DWORD style, short x, short y, short width,
                             short height, WORD id, std::string_view text) {
  if (words_.size() % 2) words_.push_back(0);  // every item starts on a DWORD boundary
  AddDword(style | WS_CHILD | WS_VISIBLE);
  AddDword(0);
  for (short value : {x, y, width, height}) words_.push_back(WORD(value));
  words_.push_back(id);
  words_.push_back(0xFFFF);
  words_.push_back(itemClass);
  AddText(text);
  words_.push_back(0);  // no creation data
  ++words_[itemCount_];
}

void DialogTemplate::AddDword(DWORD value) {
  words_.push_back(LOWORD(value));
  words_.push_back(HIWORD(value));
}

void DialogTemplate::AddText(std::string_view gbk) {
  int length = MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), wide.data(), length);
  words_.insert(words_.end(), wide.begin(), wide.end());
  words_.push_back(0);
}
