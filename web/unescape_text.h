#pragma once
// Decoding the escapes of a web reply: "\u", "%u" and "%" escapes become the
// characters that they stand for.

#include <string_view>

#include "platform/code_conversion.h"
#include "platform/types.h"

namespace signmaker {

// Decodes `text` as a script would that put the text in a single-quoted string
// literal and passed it to `unescape`:
//  - "\r\n" pairs and apostrophes are kept as they are (they are protected from the
//    literal), a carriage return at the very start is dropped, and "\u" escapes are
//    read as "%u" escapes;
//  - the literal's backslash escapes are decoded (\n \r \t \b \f \v \0 \xHH, a line
//    continuation, any other character after a backslash stands for itself);
//  - then %XX and %uXXXX escapes; a "%" without such digits stays.
// A text that the literal could not hold gives the empty text: a lone carriage
// return or line feed (or a line or paragraph separator) inside it, or an odd
// number of backslashes at its end. A decoded character that GBK cannot hold
// becomes "?". Any thread; linear in the length of `text`.
Text UnescapeText(std::string_view text,
                  const platform::CodeConversion& conversion = platform::CodeConversion::Default());

}  // namespace signmaker
