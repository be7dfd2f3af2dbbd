// The window data of MainWindow as tables: controls in z-order, the menu tree, the event bindings.
#include "ui/window_data.h"

#include "app/program.h"
#include "document/document_commands.h"
#include "document/print_command.h"
#include "editing/editing_commands.h"
#include "status/status_line.h"
#include "tools/launch_commands.h"
#include "tools/shut_down.h"
#include "ui/title_bar.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr FontData kGuiFont{nullptr, 0, 0, 0};
constexpr FontData kTitleFont{"MS Gothic", 14, ANSI_CHARSET, FIXED_PITCH};
constexpr FontData kTextFont{"宋体-PUA", 20, GB2312_CHARSET, VARIABLE_PITCH};
constexpr FontData kNoFont{nullptr, 0, 0, 0};

using enum ControlId;
using enum ControlKind;
using P = Picture;

// clang-format off
constexpr ControlData kControls[] = {
//  id          kind              x    y    w    h    visible tab    caption          tooltip           normal  over   text colour         font
  {编辑框2,     LineEdit,         192, 104, 176, 24,  false,  true,  "",              nullptr,          P::None, P::None, RGB(0, 0, 0),     kGuiFont},
  {打印机1,     Printer,          432, 216, 24,  32,  false,  false, nullptr,         nullptr,          P::None, P::None, 0,                kNoFont},
  {通用对话框1, CommonDialog,     352, 136, 48,  32,  false,  false, nullptr,         nullptr,          P::None, P::None, 0,                kNoFont},
  {超级菜单1,   MenuSkin,         352, 216, 24,  48,  false,  false, nullptr,         nullptr,          P::None, P::None, 0,                kNoFont},
  {超级按钮4,   ImageButton,      200, 0,   16,  16,  true,   true,  "",              "打开和保存文件", P::P5,   P::P6,   0,                kGuiFont},
  {超级按钮2,   ImageButton,      168, 0,   16,  16,  true,   true,  "",              "编辑文件",       P::P5,   P::P6,   0,                kGuiFont},
  {超级按钮1,   ImageButton,      136, 0,   16,  16,  true,   true,  "",              "打开和保存文件", P::P5,   P::P6,   0,                kGuiFont},
  {标签2,       StaticLabel,      33,  0,   128, 23,  true,   false, "Quorvale专用",  nullptr,          P::P3,   P::None, RGB(236, 236, 236), kTitleFont},
  {标签1,       StaticLabel,      5,   4,   16,  16,  true,   false, "",              nullptr,          P::P4,   P::None, RGB(0, 0, 0),     kGuiFont},
  {图形按钮5,   PictureButton,    536, 0,   16,  16,  false,  false, nullptr,         nullptr,          P::P9,   P::P10,  0,                kNoFont},
  {图形按钮4,   PictureButton,    536, 0,   16,  16,  true,   false, nullptr,         nullptr,          P::P5,   P::P6,   0,                kNoFont},
  {透明标签2,   TransparentLabel, 256, 462, 464, 24,  true,   false, "",              nullptr,          P::None, P::None, kGreen,           kGuiFont},
  {时钟1,       Timer,            296, 216, 32,  32,  false,  false, nullptr,         nullptr,          P::None, P::None, 0,                kNoFont},
  {透明标签1,   TransparentLabel, 16,  462, 232, 24,  true,   false, "",              nullptr,          P::None, P::None, kGreen,           kGuiFont},
  {关闭,        PictureButton,    619, 0,   42,  17,  true,   false, nullptr,         nullptr,          P::P7,   P::P8,   0,                kNoFont},
  {图形按钮2,   PictureButton,    593, 0,   26,  17,  true,   false, nullptr,         nullptr,          P::P11,  P::None, 0,                kNoFont},
  {最小化,      PictureButton,    564, 0,   29,  17,  true,   false, nullptr,         nullptr,          P::P12,  P::P13,  0,                kNoFont},
  {编辑框1,     TextArea,         0,   24,  662, 439, true,   true,  "",              nullptr,          P::None, P::None, kGreen,           kTextFont},
};

constexpr MenuItemData kMenuTree[] = {
  {0, "文件",           nullptr},
  {1, "新建",           NewDocument},
  {1, "打开",           OpenDocument},
  {1, "保存",           SaveDocument},
  {1, "另存为",         SaveDocumentAs},
  {1, "打印",           PrintDocument},
  {1, "退出",           ExitProgram},
  {0, "编辑",           nullptr},
  {1, "全选",           SelectAllText},
  {1, "-",              nullptr},
  {1, "剪切",           CutToClipboard},
  {1, "复制",           CopyToClipboard},
  {1, "粘贴",           PasteFromClipboard},
  {1, "字体",           ChangeTextFont},
  {1, "小写转大写",     ConvertSelectionToUpper},
  {1, "大写转小写",     ConvertSelectionToLower},
  {1, "-",              nullptr},
  {1, "清空",           ClearDocument},
  {1, "查找",           FindInDocument},
  {1, "-",              nullptr},
  {1, "打开网址",       OpenSelectedUrl},
  {0, "功能",           nullptr},
  {1, "聊QQ",           ChatWithContact},
  {1, "打开浏览器",     OpenBrowser},
  {1, "-",              nullptr},
  {1, "关机",           ShutDown},
  {1, "重启",           Restart},
  {1, "-",              nullptr},
  {1, "运行",           RunDocument},
  {1, "打开CMD",        OpenCommandPrompt},
  {1, "打开注册表",     OpenRegistryEditor},
  {1, "打开组策略",     OpenGroupPolicy},
  {1, "打开任务管理器", OpenTaskManager},
};

constexpr EventBinding kEventBindings[] = {
  {ControlId::MainWindow, Event::Created,         SettleShowState},
  {ControlId::MainWindow, Event::Created,         ShowAddressLine},
  {超级按钮1,             Event::Click,           PopUpFileMenu},
  {超级按钮2,             Event::Click,           PopUpEditMenu},
  {超级按钮4,             Event::Click,           PopUpFunctionsMenu},
  {编辑框1,               Event::RightButtonDown, PopUpEditMenuAtMouse},
  {编辑框1,               Event::TextChanged,     ApplyScrollBarRule},
  {最小化,                Event::Click,           Minimise},
  {图形按钮4,             Event::Click,           RollUp},
  {图形按钮5,             Event::Click,           Unroll},
  {关闭,                  Event::Click,           ExitProgram},
  {时钟1,                 Event::Tick,            ShowClockLine},
};
// clang-format on

}  // namespace

const WindowData kMainWindowData{660, 483, RGB(0, 0, 0), Picture::P1, Picture::P2};

std::span<const ControlData> Controls() {
  return kControls;
}

const ControlData& ControlById(ControlId id) {
  for (const ControlData& control : kControls)
    if (control.id == id) return control;
  return kControls[0];
}

std::span<const MenuItemData> MenuTree() {
  return kMenuTree;
}
std::span<const EventBinding> EventBindings() {
  return kEventBindings;
}
