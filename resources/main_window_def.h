#pragma once
// The layout of the main window and the names of its controls.

#include <string_view>

#include "platform/window_toolkit.h"

namespace signmaker {

// The product title: the main window's caption and the style list's column title.
inline constexpr std::string_view ProductTitle = "举牌照制作器";

namespace MainWindowControls {
inline constexpr std::string_view Option = "选择框1";      // "不编码字母数字"
inline constexpr std::string_view Tabs = "选择夹1";
inline constexpr std::string_view StyleList = "超级列表框_头像";
inline constexpr std::string_view Picture = "图片框1";
inline constexpr std::string_view Status = "编辑框4";
inline constexpr std::string_view FirstLine = "编辑框1";
inline constexpr std::string_view MakeButton = "按钮1";
inline constexpr std::string_view SaveButton = "按钮2";
inline constexpr std::string_view SecondLine = "编辑框2";
inline constexpr std::string_view ThirdLine = "编辑框3";
}  // namespace MainWindowControls

// The main window: the style list on the left, the picture to its right, the first
// line, the make and save buttons and the status box below it. Three controls lie
// outside the visible area: the option above it, the second and third lines to the right.
platform::WindowDef MainWindowDef();

}  // namespace signmaker
