#include "resources/style_captions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "maker/style_catalogue.h"
#include "platform/code_conversion.h"
#include "web/text_ops.h"

namespace signmaker {
namespace {

TEST(StyleCaptions, OnePerRowWithTheKnownOnesInPlace) {
  const auto captions = StyleCaptions();
  ASSERT_EQ(captions.size(), static_cast<std::size_t>(StyleCatalogue::Size));
  const std::pair<int, std::string_view> known[] = {
      {3, "举心形牌子照"},   {4, "举牌头像制作"},   {15, "制作你的ID照"},
      {47, "展示手机举牌照"}, {84, "手写文字举牌"},   {108, "圣诞老人举牌"},
      {128, "告白举牌照"},   {132, "举牌照之素人举牌"},
  };
  for (const auto& [index, caption] : known) EXPECT_EQ(captions[index], caption) << index;
}

// A caption is the name of the saved picture: no two may share a name, and each must
// be a valid file name on Linux and Windows that survives the trip to UTF-8.
TEST(StyleCaptions, DistinctValidFileNames) {
  const auto& conversion = platform::CodeConversion::Default();
  std::set<std::string_view> seen;
  for (std::size_t index = 0; index < StyleCaptions().size(); ++index) {
    const std::string_view caption = StyleCaptions()[index];
    SCOPED_TRACE(index);
    ASSERT_FALSE(caption.empty());
    EXPECT_TRUE(seen.insert(caption).second) << "repeated";
    for (std::size_t offset = 0; offset < caption.size(); offset += CharLength(caption, offset)) {
      if (CharLength(caption, offset) == 2) continue;
      const char c = caption[offset];
      EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 ||
                   std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
          << "character " << static_cast<int>(c);
    }
    EXPECT_FALSE(caption.ends_with('.') || caption.ends_with(' '));
    const std::string utf8 = conversion.GbkToUtf8(caption);
    EXPECT_EQ(utf8.find('?'), std::string::npos);
    EXPECT_EQ(conversion.Utf8ToGbk(utf8), caption);
  }
}

}  // namespace
}  // namespace signmaker
