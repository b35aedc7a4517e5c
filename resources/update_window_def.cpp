#include "resources/update_window_def.h"

namespace signmaker {

platform::WindowDef UpdateWindowDef() {
  namespace names = UpdateWindowControls;
  using platform::ControlDef;
  using platform::ControlKind;

  platform::WindowDef window;
  window.name = "UpdateWindow";
  window.title = "在线更新.更新完毕后请查看电脑桌面 .如不能自动更新-请点击下方 手动下载";
  window.x = 50;
  window.y = 50;
  window.width = 692;
  window.height = 74;

  ControlDef list;
  list.name = Text(names::List);
  list.kind = ControlKind::ListView;
  list.width = 608;
  list.height = 64;
  list.textColour = platform::Colour{0, 0, 0};
  list.backColour = platform::Colour{255, 255, 255};
  list.columns = {{"ID", 50}, {"文件名", 120}, {"已完成大小", 150}, {"文件大小", 150}, {"进度", 50}, {"状态", 70}};
  list.showHeader = true;
  list.fullRowSelect = true;
  list.hotTracking = true;
  list.reorderableColumns = true;
  list.sunkenBorder = true;
  list.keepSelectionVisible = true;
  window.controls.push_back(list);

  ControlDef manual;
  manual.name = Text(names::ManualDownload);
  manual.kind = ControlKind::Button;
  manual.x = 608;
  manual.width = 80;
  manual.height = 48;
  manual.text = "手动下载";
  window.controls.push_back(manual);

  ControlDef timer;
  timer.name = Text(names::Timer);
  timer.kind = ControlKind::Timer;
  timer.intervalMs = 800;
  window.controls.push_back(timer);

  // Right of the visible area.
  const struct {
    std::string_view name;
    int y, width;
    const char* text;
  } hiddenButtons[] = {{names::Start, 64, 75, "开始下载"},
                       {names::PauseAll, 96, 75, "全暂停"},
                       {names::ResumeAll, 128, 76, "全部继续"},
                       {names::StopAll, 160, 75, "全部停止"}};
  for (const auto& hidden : hiddenButtons) {
    ControlDef button;
    button.name = Text(hidden.name);
    button.kind = ControlKind::Button;
    button.x = 693;
    button.y = hidden.y;
    button.width = hidden.width;
    button.height = 32;
    button.text = hidden.text;
    window.controls.push_back(button);
  }

  // Left of the visible area.
  ControlDef url;
  url.name = Text(names::Url);
  url.kind = ControlKind::EditBox;
  url.x = -688;
  url.y = 56;
  url.width = 584;
  url.height = 32;
  url.text = Text(PackageUrl);
  window.controls.push_back(url);
  return window;
}

}  // namespace signmaker
