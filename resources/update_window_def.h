#pragma once
// The layout of the update window and the names of its controls.

#include <string_view>

#include "platform/window_toolkit.h"

namespace signmaker {

// Where the update package is published; the window's URL box holds it and the manual
// download button opens it.
inline constexpr std::string_view PackageUrl = "http://download.signmaker.example/vink.zip";

namespace UpdateWindowControls {
inline constexpr std::string_view List = "超级列表框1";
inline constexpr std::string_view ManualDownload = "按钮5";  // "手动下载"
inline constexpr std::string_view Timer = "时钟1";
inline constexpr std::string_view Start = "按钮1";           // "开始下载"
inline constexpr std::string_view PauseAll = "按钮3";        // "全暂停"
inline constexpr std::string_view ResumeAll = "按钮4";       // "全部继续"
inline constexpr std::string_view StopAll = "按钮2";         // "全部停止"
inline constexpr std::string_view Url = "编辑框1";
}  // namespace UpdateWindowControls

// Columns of the update window's list.
namespace UpdateListColumns {
inline constexpr int Id = 0;
inline constexpr int FileName = 1;
inline constexpr int Done = 2;
inline constexpr int Size = 3;
inline constexpr int Progress = 4;
inline constexpr int State = 5;
}  // namespace UpdateListColumns

// The update window: the download list and the manual download button side by side, the
// 800 ms timer; the start, pause, resume and stop buttons lie to the right of the visible
// area and the URL box to its left.
platform::WindowDef UpdateWindowDef();

}  // namespace signmaker
