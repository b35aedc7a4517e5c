#include "web/cookies.h"

#include <gtest/gtest.h>

namespace signmaker {
namespace {

TEST(MergeCookies, Table) {
  struct Case {
    Text cookies;
    Text replyCookies;
    Text merged;
    Text replyCookiesAfter;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"a=1; gone=deleted", "", "a=1", ""},
      {"", "x=1; x=1", "x=1", "x=1;x=1"},
      {"", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
      {"a=1;a=2", "", "a=1", ""},
      {"s=a b", "", "s=ab", ""},
      {"s=a\xA1\xA1" "b", "", "s=ab", ""},  // a full-width space
      {"k; a=1", "K=2", "K=2; k; a=1", "K=2"},
      {"a=1", "x=1; ; y=2", "x=1; ; y=2; a=1", "x=1;;y=2"},
      {"a=1;", "b=2;", "b=2; a=1", "b=2;"},
      {"", "", "", ""},
      {"a=x=deleted", "", "", ""},  // "=deleted" at the end, whatever comes before
      {"a=deletedx", "", "a=deletedx", ""},
      {"\xD6\xD0=1", "\xD6\xD0=2", "\xD6\xD0=2", "\xD6\xD0=2"},  // a GBK name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("cookies [" + c.cookies + "] reply [" + c.replyCookies + "]");
    Text cookies = c.cookies;
    Text replyCookies = c.replyCookies;
    EXPECT_EQ(MergeCookies(cookies, replyCookies), c.merged);
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(replyCookies, c.replyCookiesAfter);
  }
}

TEST(CookieHelpers, NamesAndLookups) {
  EXPECT_EQ(CookieName(" sid =42=x"), "sid");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_EQ(CookieName(""), "");
  const std::vector<Text> entries = {"a=1", "b", "=v"};
  EXPECT_TRUE(HasCookieName(entries, "b"));
  EXPECT_TRUE(HasCookieName(entries, "")) << "an entry starting with = has the empty name";
  EXPECT_FALSE(HasCookieName(entries, "A"));
  EXPECT_FALSE(HasCookieName({}, ""));
  EXPECT_EQ(IndexOfText(entries, "b"), 2);
  EXPECT_EQ(IndexOfText(entries, "a"), -1);
  EXPECT_EQ(IndexOfText({"x", "", ""}, ""), 2);
}

TEST(JoinDistinct, Table) {
  struct Case {
    Text text;
    Text separator;
    Text joined;
  };
  const Case cases[] = {
      {"a; b; a; c; b", "; ", "a; b; c"},
      {"a; ; ; b", "; ", "a; ; b"},  // the empty item once
      {"a; b; ", "; ", "a; b"},      // a trailing separator adds no item
      {"", "; ", ""},
      {"a,A,a", ",", "a,A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(JoinDistinct(c.text, c.separator), c.joined);
  }
}

}  // namespace
}  // namespace signmaker
