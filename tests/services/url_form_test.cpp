#include "services/url_form.h"

#include <gtest/gtest.h>

namespace signmaker::services {
namespace {

TEST(UrlFormTest, PercentDecodesBytesAndRefusesBrokenEscapes) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"AB-9.", "AB-9."},
      {"%E4%B8%AD", "\xE4\xB8\xAD"},
      {"%e4%b8%ad", "\xE4\xB8\xAD"},
      {"%0D%0A", "\r\n"},
      {"a+b%20c", "a b c"},
      {"%2523", "%23"},
      {"", ""},
      {"%", std::nullopt},
      {"%4", std::nullopt},
      {"abc%4", std::nullopt},
      {"%zz", std::nullopt},
      {"%G0", std::nullopt},
  };
  for (const auto& [encoded, decoded] : cases) {
    SCOPED_TRACE(encoded);
    EXPECT_EQ(PercentDecoded(encoded), decoded);
  }
}

TEST(UrlFormTest, SplitsFieldsInOrderKeepingEmptyValues) {
  const auto fields = FormFields("id=%41B&id2=&id4=%23FF0000&flag");
  ASSERT_TRUE(fields);
  const std::vector<FormField> expected = {
      {"id", "AB"}, {"id2", ""}, {"id4", "#FF0000"}, {"flag", ""}};
  EXPECT_EQ(*fields, expected);
  EXPECT_EQ(FormFields("")->size(), 0u);
  EXPECT_FALSE(FormFields("id=1&id2=%Z1"));
}

TEST(UrlFormTest, TellsUtf8FromOtherBytes) {
  const std::pair<std::string, bool> cases[] = {
      {"plain ASCII", true},
      {"\xE4\xB8\xAD\xE6\x96\x87", true},          // two Chinese characters
      {"\xF0\x9F\x98\x80", true},                  // outside the BMP
      {"\xD6\xD0\xCE\xC4", false},                 // the same two characters in GBK
      {"\xE4\xB8", false},                         // cut short
      {"\xC0\xAF", false},                         // overlong
      {"\xED\xA0\x80", false},                     // a surrogate
      {"\xF4\x90\x80\x80", false},                 // past U+10FFFF
      {"\x80", false},
  };
  for (const auto& [bytes, utf8] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(IsUtf8(bytes), utf8);
  }
}

}  // namespace
}  // namespace signmaker::services
