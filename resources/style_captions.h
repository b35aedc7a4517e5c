#pragma once
// The captions of the picture styles, one per catalogue row in catalogue order (GBK):
// what the style list shows and the file name under which a picture is saved, so each
// is distinct and a valid file name on Linux and Windows.

#include <span>
#include <string_view>

namespace signmaker {

std::span<const std::string_view> StyleCaptions();

}  // namespace signmaker
