// Code conversion through the system's converter. In the sources "中" is GBK D6 D0;
// u8 literals stay UTF-8.
#include "platform/code_conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace signmaker::platform {
namespace {

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

const CodeConversion& conversion = CodeConversion::Default();

TEST(CodeConversion, ConvertFailsWholeOnAnyBadCharacter) {
  struct Case {
    const char* name;
    std::string input;
    const char* from;
    const char* to;
    std::optional<std::string> output;
  };
  const Case cases[] = {
      {"GB2312 character", "A中", "GB2312", "UTF-8", Utf8(u8"A中")},
      {"empty input", "", "GB2312", "UTF-8", ""},
      {"character only in GBK", "A\x81\x40", "GB2312", "UTF-8", std::nullopt},
      {"the same character from GBK", "A\x81\x40", "GBK", "UTF-8", Utf8(u8"A丂")},
      {"cut-off character", "A\xD6", "GB2312", "UTF-8", std::nullopt},
      {"not representable in the target", Utf8(u8"한"), "UTF-8", "GBK", std::nullopt},
      {"unknown encoding", "A", "NO-SUCH-CODE", "UTF-8", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto output = conversion.Convert(BytesFromText(c.input), c.from, c.to);
    if (c.output) {
      ASSERT_TRUE(output.has_value());
      EXPECT_EQ(*output, BytesFromText(*c.output));
    } else {
      EXPECT_FALSE(output.has_value());
    }
  }
}

TEST(CodeConversion, LongInputIsConvertedWhole) {
  std::string gbk;
  for (int i = 0; i < 5000; ++i) gbk += "中a";
  const std::string utf8 = conversion.GbkToUtf8(gbk);
  EXPECT_EQ(utf8.size(), 5000u * 4);
  EXPECT_EQ(conversion.Utf8ToGbk(utf8), gbk);
}

TEST(CodeConversion, GbkAndUtf8MarkBadCharactersWithQuestionMarks) {
  EXPECT_EQ(conversion.GbkToUtf8("中a丂"), Utf8(u8"中a丂"));
  EXPECT_EQ(conversion.GbkToUtf8("a\xFF" "b\xD6"), "a?b?");
  EXPECT_EQ(conversion.Utf8ToGbk(Utf8(u8"中é한😀b")), "中\xA8\xA6??b");
  EXPECT_EQ(conversion.Utf8ToGbk("a\xC3" "b\xE4\xB8"), "a?b?");
  EXPECT_EQ(conversion.Utf8ToGbk(""), "");
}

TEST(CodeConversion, GbkAndUtf16MarkBadCharactersWithQuestionMarks) {
  EXPECT_EQ(conversion.GbkToUtf16("中A丂"), u"中A丂");
  EXPECT_EQ(conversion.GbkToUtf16("A\xFF"), u"A?");
  EXPECT_EQ(conversion.Utf16ToGbk(u"中A"), "中A");
  EXPECT_EQ(conversion.Utf16ToGbk(u"한😀A"), "??A");
  const char16_t loneSurrogates[] = {u'a', 0xD800, u'b', 0xDC00, 0xD800};
  EXPECT_EQ(conversion.Utf16ToGbk(std::u16string_view(loneSurrogates, 5)), "a?b??");
}

}  // namespace
}  // namespace signmaker::platform
