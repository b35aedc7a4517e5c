#include "resources/main_window_def.h"

#include "resources/style_captions.h"

namespace signmaker {
namespace {

using platform::Colour;
using platform::ControlDef;
using platform::ControlKind;

constexpr Colour White{255, 255, 255};
constexpr Colour Black{0, 0, 0};
// The list, the first line and the status box use the CJK font at this height.
constexpr int LargeFontPixels = 19;

ControlDef Control(std::string_view name, ControlKind kind, std::string_view parent, int x, int y,
                   int width, int height, std::string_view text = {}) {
  ControlDef control;
  control.name = Text(name);
  control.kind = kind;
  control.parent = Text(parent);
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.text = Text(text);
  return control;
}

}  // namespace

platform::WindowDef MainWindowDef() {
  namespace names = MainWindowControls;
  platform::WindowDef window;
  window.name = "MainWindow";
  window.title = Text(ProductTitle);
  window.x = 50;
  window.y = 50;
  window.width = 646;
  window.height = 579;

  ControlDef option = Control(names::Option, ControlKind::CheckBox, {}, 0, -16, 120, 16, "不编码字母数字");
  option.checked = true;
  window.controls.push_back(option);

  window.controls.push_back(Control(names::Tabs, ControlKind::TabControl, {}, 0, 0, 640, 576, "头像"));

  ControlDef list = Control(names::StyleList, ControlKind::ListView, names::Tabs, 0, 0, 200, 536);
  list.columns = {{Text(ProductTitle), 230}};
  for (const std::string_view caption : StyleCaptions()) list.rows.emplace_back(caption);
  list.fontPixels = LargeFontPixels;
  list.textColour = White;
  list.backColour = Black;
  list.handCursor = true;
  window.controls.push_back(list);

  ControlDef picture = Control(names::Picture, ControlKind::PictureBox, names::Tabs, 200, 0, 440, 456);
  picture.tabStop = false;
  window.controls.push_back(picture);

  ControlDef status = Control(names::Status, ControlKind::EditBox, names::Tabs, 208, 459, 192, 37);
  status.centred = true;
  status.enabled = false;
  status.fontPixels = LargeFontPixels;
  status.textColour = White;
  status.backColour = Black;
  window.controls.push_back(status);

  ControlDef firstLine =
      Control(names::FirstLine, ControlKind::EditBox, names::Tabs, 400, 456, 240, 96, "砚禾网络");
  firstLine.multiLine = true;
  firstLine.fontPixels = LargeFontPixels;
  firstLine.textColour = White;
  firstLine.backColour = Black;
  window.controls.push_back(firstLine);

  ControlDef make = Control(names::MakeButton, ControlKind::Button, names::Tabs, 200, 500, 100, 50, "马上制作");
  make.handCursor = true;
  window.controls.push_back(make);
  window.controls.push_back(
      Control(names::SaveButton, ControlKind::Button, names::Tabs, 300, 500, 100, 50, "保存举牌"));

  ControlDef secondLine =
      Control(names::SecondLine, ControlKind::EditBox, names::Tabs, 640, 360, 224, 40, "第二行");
  secondLine.textColour = White;
  secondLine.backColour = Black;
  window.controls.push_back(secondLine);

  ControlDef thirdLine =
      Control(names::ThirdLine, ControlKind::EditBox, names::Tabs, 744, 440, 224, 40, "第三行");
  thirdLine.textColour = Black;
  thirdLine.backColour = Black;
  window.controls.push_back(thirdLine);
  return window;
}

}  // namespace signmaker
