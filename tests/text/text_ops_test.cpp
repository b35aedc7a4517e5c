// The basic text operations on GBK texts. "中" is D6 D0 and "文" CE C4 in GBK;
// "丄" is 81 41 and "乤" 81 61: two-byte characters whose second byte is "A" / "a".
#include "web/text_ops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace signmaker {
namespace {

struct SearchCase {
  const char* name;
  std::string text;
  std::string needle;
  int start;
  bool caseSensitive;
  int first;  // Search
  int last;   // SearchLast
};

TEST(TextOps, SearchAndSearchLast) {
  const SearchCase cases[] = {
      {"from the start", "abcabc", "bc", 1, true, 2, 5},
      {"start zero or negative counts as 1", "abcabc", "bc", -5, true, 2, 5},
      {"start skips an earlier match", "abcabc", "bc", 3, true, 5, 5},
      {"start on the last byte", "abcabc", "bc", 6, true, NotFound, NotFound},
      {"start beyond the end", "abcabc", "c", 7, true, NotFound, NotFound},
      {"needle longer than the text", "ab", "abc", 1, true, NotFound, NotFound},
      {"case-insensitive", "xABCabc", "b", 1, false, 3, 6},
      {"case-sensitive", "xABCabc", "B", 1, true, 3, 3},
      {"empty needle in a text", "abc", "", 3, true, 1, 1},
      {"empty needle in an empty text", "", "", 1, true, NotFound, NotFound},
      {"empty text", "", "a", 1, true, NotFound, NotFound},
      {"two-byte characters", "中a中", "中", 1, true, 1, 4},
      {"not across two characters", "中文", "\xD0\xCE", 1, true, NotFound, NotFound},
      {"not on a second byte", "丄A", "A", 1, true, 3, 3},
      {"not on a second byte, any case", "乤a", "A", 1, false, 3, 3},
      {"second bytes keep their case", "乤", "丄", 1, false, NotFound, NotFound},
      {"start inside a character", "中A", "\xD0", 2, true, NotFound, NotFound},
      {"start inside a character finds the next", "中A", "A", 2, true, 3, 3},
      {"lone lead byte at the end", "a\xD6", "\xD6", 1, true, 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Search(c.text, c.needle, c.start, c.caseSensitive), c.first);
    EXPECT_EQ(SearchLast(c.text, c.needle, c.start, c.caseSensitive), c.last);
  }
}

TEST(TextOps, Split) {
  struct Case {
    std::string text;
    std::string delimiter;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"a,b,,c", ",", {"a", "b", "", "c"}},
      {",a", ",", {"", "a"}},
      {"a,", ",", {"a"}},
      {"a,,", ",", {"a", ""}},
      {",", ",", {""}},
      {"", ",", {}},
      {"abc", ",", {"abc"}},
      {"a::b", "::", {"a", "b"}},
      {"a中b中", "中", {"a", "b"}},
      {"中文", "\xD0\xCE", {"中文"}},
      {"丄A丄", "A", {"丄", "丄"}},
      {"abc", "", {"abc"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " at " + c.delimiter);
    EXPECT_EQ(Split(c.text, c.delimiter), c.items);
  }
}

TEST(TextOps, TrimAndRemoveSpaces) {
  struct Case {
    std::string text;
    std::string trimmed;
    std::string withoutSpaces;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "ab"},
      {"\xA1\xA1 a\xA1\xA1" "b \xA1\xA1", "a\xA1\xA1" "b", "ab"},
      {"\ta \r\n", "\ta \r\n", "\ta\r\n"},
      {" \xA1\xA1 ", "", ""},
      {"", "", ""},
      // B0 A1 is one character; the last A1 stands alone and is no full-width space.
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"\xB0\xA1\xA1\xA1 ", "\xB0\xA1", "\xB0\xA1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Trim(c.text), c.trimmed);
    EXPECT_EQ(RemoveSpaces(c.text), c.withoutSpaces);
  }
}

TEST(TextOps, ReplaceAll) {
  struct Case {
    std::string text, from, to, result;
  };
  const Case cases[] = {
      {"a-b-c", "-", "--", "a--b--c"},
      {"aaa", "aa", "b", "ba"},
      {"#引号x#引号", "#引号", "\"", "\"x\""},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
      {"abc", "b", "", "ac"},
      {"中文", "\xD0\xCE", "x", "中文"},
      {"丄A", "A", "B", "丄B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.result);
  }
}

TEST(TextOps, LowerLeavesTwoByteCharactersAlone) {
  EXPECT_EQ(Lower("AbC-Z中丄"), "abc-z中丄");
  EXPECT_EQ(Lower("A\xC4"), "a\xC4");
}

TEST(TextOps, LeftAndRight) {
  struct Case {
    int count;
    std::string left, right;
  };
  const Case cases[] = {
      {2, "ab", "bc"}, {3, "abc", "abc"}, {9, "abc", "abc"}, {0, "", ""}, {-1, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(Left("abc", c.count), c.left);
    EXPECT_EQ(Right("abc", c.count), c.right);
  }
}

}  // namespace
}  // namespace signmaker
