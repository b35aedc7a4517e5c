#pragma once
// The texts that the update window shows for a download.

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace signmaker {

// A byte count for people: up to 1024 in "Byte", then "KB", "MB" and "GB", each value
// rounded to one decimal place (halves away from zero) without trailing zeros, e.g.
// "1023 Byte", "1 KB", "1.5 KB", "1024 KB", "1 MB", "2 GB". A unit steps up only once
// the rounded value exceeds 1024 of it, so 1048576 is "1024 KB" and exactly 1024 bytes
// "1024 Byte".
Text SizeText(std::int32_t value);

// `done` of `total` in whole percent, truncated toward zero; 0 when `total` is 0.
std::int32_t PercentDone(std::int32_t done, std::int32_t total);

// The last "/"-separated segment of `url`; a trailing "/" is ignored ("a/dir/" gives
// "dir"), a text without "/" is returned whole, an empty text gives an empty text.
Text LastUrlSegment(std::string_view url);

}  // namespace signmaker
