#pragma once
// Keeping a caller's cookie text up to date across requests.
//
// A cookie text is a list of name=value entries separated by ";" (written back with
// "; "). Only names and values are handled; attributes never get here.

#include <string_view>
#include <vector>

#include "platform/types.h"

namespace signmaker {

// Merges the cookies that a reply set (`replyCookies`) into the caller's `cookies`.
// Both lose all spaces and full-width spaces first, and are written back so. The
// reply's entries come first, then the old entries whose names the reply did not
// set, in their old order (of several old entries with one name only the first);
// entries ending in "=deleted" are dropped, and so is a repeated entry. The merged
// text, entries joined with "; ", is left in `cookies` and returned as well.
Text MergeCookies(Text& cookies, Text& replyCookies);

// The name of a cookie entry: the text before its first "=" (all of it when it has
// none), trimmed.
Text CookieName(std::string_view entry);

// True when some entry of `entries` has the name `name` (bytes compared exactly).
bool HasCookieName(const std::vector<Text>& entries, std::string_view name);

// `text` cut at `separator` into items and joined again with `separator`, each
// item kept only at its first appearance (an empty item too).
Text JoinDistinct(std::string_view text, std::string_view separator);

// The 1-based position of the first item of `items` equal to `text`; -1 when none is.
int IndexOfText(const std::vector<Text>& items, std::string_view text);

}  // namespace signmaker
