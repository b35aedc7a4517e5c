#include "web/unescape_text.h"

#include <gtest/gtest.h>

#include <string>

namespace signmaker {
namespace {

TEST(UnescapeText, Table) {
  struct Case {
    const char* name;
    Text text;
    Text decoded;
  };
  const Case cases[] = {
      {"json escapes of Chinese", "\\u4e2d\\u6587", "中文"},
      {"percent escapes", "%41%u0042%e9", "AB\xA8\xA6"},  // U+00E9 is in GBK
      {"a bad percent stays", "%zz %4 %u12 %", "%zz %4 %u12 %"},
      {"an escaped slash", "a\\/b", "a/b"},
      {"literal escapes", "\\n\\r\\t\\b\\f\\v\\\"\\\\\\q", "\n\r\t\b\f\v\"\\q"},
      {"\\0 is a zero character", "a\\0b", Text("a\0b", 3)},
      {"hex escapes, and \\x without two digits", "\\x41\\x4g\\x4", "Ax4gx4"},
      {"an escaped backslash before u stays a backslash", "\\\\u0041", "A"},
      {"escapes are decoded before percent escapes", "\\x25\\x34\\x31", "A"},
      {"apostrophes come back", "it's", "it's"},
      {"an escaped apostrophe too", "it\\'s", "it's"},
      {"a right quotation mark becomes an apostrophe", "it’s", "it's"},
      {"the line-break placeholder becomes a line break", "a{$}b", "a\r\nb"},
      {"line breaks survive", "line1\r\nline2", "line1\r\nline2"},
      {"a leading lone carriage return is dropped", "\rabc", "abc"},
      {"an escaped line feed continues the line", "ab\\\ncd", "abcd"},
      {"an even number of trailing backslashes", "ab\\\\", "ab\\"},
      {"Chinese text is left alone", "中文：正在制作", "中文：正在制作"},
      {"a GBK character whose second byte is a backslash", "\x95\\u", "\x95\\u"},
      {"a character GBK cannot hold", "%u00e4%uD83D%uDE00x", "??x"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UnescapeText(c.text), c.decoded);
  }
}

TEST(UnescapeText, TextsTheLiteralCannotHoldGiveNothing) {
  for (const Text& text : {Text("a\nb"), Text("a\rb"), Text("\r\rab"), Text("ab\\"), Text("\\\\\\"),
                          Text("a\r\n\nb"), Text("%41\\u0042\n")}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(UnescapeText(text), "");
  }
}

}  // namespace
}  // namespace signmaker
