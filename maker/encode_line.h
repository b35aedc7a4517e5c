#pragma once
// The user's words as the value of a URL-encoded form field.

#include <string_view>

#include "platform/code_conversion.h"
#include "platform/types.h"

namespace signmaker {

// `line` (GBK, as the edit box holds it) converted from GB2312 to UTF-8, every byte
// then written "%XX" with upper-case hexadecimal digits. With `plainAlphanumerics`
// the bytes of "-", ".", "0" to "9" and "A" to "Z" stay as they are (small letters are
// still escaped). Empty when the line holds a character that GB2312 lacks, or a
// broken one. No state, no side effects.
Text EncodeLine(std::string_view line, bool plainAlphanumerics,
                const platform::CodeConversion& conversion);

}  // namespace signmaker
