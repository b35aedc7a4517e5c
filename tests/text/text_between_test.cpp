#include "web/text_between.h"

#include <gtest/gtest.h>

#include <string>

namespace signmaker {
namespace {

TEST(TextBetween, Cases) {
  struct Case {
    const char* name;
    std::string text, left, right;
    int start;
    bool caseSensitive;
    std::string result;
  };
  const Case cases[] = {
      {"version between ampersands", "a&6.4&b", "&", "&", 1, false, "6.4"},
      {"no delimiters", "x", "&", "&", 1, false, ""},
      {"left at the very end", "ab&", "&", "&", 1, false, ""},
      {"right right after left", "a&&b", "&", "&", 1, false, ""},
      {"right only before left", "b]a[", "[", "]", 1, false, ""},
      {"picture path", "<img src=\"../pic/1.jpg\">", "../", "\">", 1, false, "pic/1.jpg"},
      {"placeholder for quotes", "a=\"v\"", "#引号", "#引号", 1, false, "v"},
      {"placeholder inside a delimiter", "<a href=\"x\">", "href=#引号", "#引号>", 1, false, "x"},
      {"case ignored by default", "ABC", "a", "c", 1, false, "B"},
      {"case kept when asked", "ABC", "a", "c", 1, true, ""},
      {"start position", "&1&2&", "&", "&", 2, false, "2"},
      {"empty right", "abc", "a", "", 1, false, ""},
      {"empty left", "abc&d", "", "&", 1, false, "abc"},
      {"two-byte text between", "[中文]", "[", "]", 1, false, "中文"},
      {"delimiter never matched inside a character", "丄x]", "A", "]", 1, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.caseSensitive), c.result);
  }
}

TEST(TextBetween, DefaultsAreStartOneAndCaseInsensitive) {
  EXPECT_EQ(TextBetween("User-agent: x\r\n", "User-Agent:", "\r\n"), " x");
}

TEST(HeaderValue, Cases) {
  struct Case {
    std::string text, value;
  };
  const Case cases[] = {
      {"Location: /a/b", "/a/b"},
      {"A: b: c", "b: c"},
      {"Key:", ""},
      {"no colon", ""},
      {"", ""},
      {"Key:\xA1\xA1 v \xA1\xA1", "v"},
      {"Key:\tv", "\tv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(HeaderValue(c.text), c.value);
  }
}

}  // namespace
}  // namespace signmaker
