#pragma once
// Picking pieces out of replies and header lines.

#include <string_view>

#include "platform/types.h"

namespace signmaker {

// The text between the first `left` at or after position `start` and the first
// `right` after it; empty when either is missing or `right` follows `left` directly.
// In both delimiters "#引号" stands for a double quote. The searches ignore the case
// of ASCII letters unless `caseSensitive`. An empty `left` matches at position 1, an
// empty `right` at position 1 too (so the result is then empty).
Text TextBetween(std::string_view text, std::string_view left, std::string_view right,
                 int start = 1, bool caseSensitive = false);

// The value of a header line: everything after its first colon, trimmed of spaces
// and full-width spaces; empty when the line holds no colon.
Text HeaderValue(std::string_view text);

}  // namespace signmaker
