// The program's one message box over MessageBoxA.
#include "platform/message_box.h"

#include <string>

int ShowMessage(std::string_view text, UINT flags, std::string_view title) {
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  std::string terminatedText(text);
  std::string terminatedTitle(title);
  int pressed = MessageBoxA(nullptr, terminatedText.c_str(), terminatedTitle.c_str(), flags);
  return pressed >= IDOK && pressed <= IDNO ? pressed - 1 : 0;
}
