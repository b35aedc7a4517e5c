// The form value of the user's words. "中" is GBK D6 D0 in the sources; "丂" (81 40)
// is in GBK but not in GB2312.
#include "maker/encode_line.h"

#include <gtest/gtest.h>

#include <string>

namespace signmaker {
namespace {

TEST(EncodeLine, Cases) {
  struct Case {
    const char* name;
    std::string line;
    bool plainAlphanumerics;
    std::string encoded;
  };
  const Case cases[] = {
      {"empty line", "", true, ""},
      {"empty line, option off", "", false, ""},
      {"capitals, digits and dash stay", "AB-9", true, "AB-9"},
      {"slash is escaped", "A-Z.0/9", true, "A-Z.0%2F9"},
      {"small letters are escaped", "abc", true, "%61%62%63"},
      {"blank and underscore", " _", true, "%20%5F"},
      {"punctuation", "!~*'()@", true, "%21%7E%2A%27%28%29%40"},
      {"option off escapes everything", "A1-.", false, "%41%31%2D%2E"},
      {"two-byte character, option on", "中", true, "%E4%B8%AD"},
      {"two-byte character, option off", "中", false, "%E4%B8%AD"},
      {"mixed", "I中9", true, "I%E4%B8%AD9"},
      {"line break", "A\r\nB", true, "A%0D%0AB"},
      {"single hex digit gets a zero", "\t", true, "%09"},
      {"delete", "\x7F", true, "%7F"},
      {"character GB2312 lacks empties the whole line", "AB中\x81\x40" "CD", true, ""},
      {"broken character at the end", "AB\xD6", true, ""},
  };
  const auto& conversion = platform::CodeConversion::Default();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodeLine(c.line, c.plainAlphanumerics, conversion), c.encoded);
  }
}

}  // namespace
}  // namespace signmaker
