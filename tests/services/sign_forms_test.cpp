#include "services/sign_forms.h"

#include <gtest/gtest.h>

namespace signmaker::services {
namespace {

// Three styles in the shapes the program posts: the usual one with the words first,
// one that carries them in the middle of its form, and a second style on the first
// one's endpoint.
const std::vector<SignStyle> Styles = {
    {0, "/p/re119.php", "id=", "&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},
    {1, "/p/re31.php", "id=55Z&id1=33&id3=%230000FF&id7=", "&id9=&id10="},
    {2, "/p/re119.php", "id=", "&id1=165&id4=%23FF0000&id5=%23000000&id6=1"},
};

TEST(SignFormsTest, FindsTheStyleAndDecodesTheWords) {
  struct Case {
    const char* endpoint;
    std::string body;
    int style;
    std::string words;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"/p/re119.php", "id=%E4%B8%AD%20AB-9&id1=156&id4=%23FF73FF&id5=%23000000&id6=1", 0,
       "\xE4\xB8\xAD AB-9", {"", "156", "#FF73FF", "#000000", "1"}},
      {"/p/re119.php", "id=Hi&id1=165&id4=%23FF0000&id5=%23000000&id6=1", 2, "Hi",
       {"", "165", "#FF0000", "#000000", "1"}},
      // The words of this style stand behind id7; id keeps its fixed value.
      {"/p/re31.php", "id=55Z&id1=33&id3=%230000FF&id7=%0D%0Aok&id9=&id10=", 1, "\r\nok",
       {"55Z", "33", "#0000FF", "", "", ""}},
      // A line that could not be encoded arrives empty and still makes a picture.
      {"/p/re119.php", "id=&id1=156&id4=%23FF73FF&id5=%23000000&id6=1", 0, "",
       {"", "156", "#FF73FF", "#000000", "1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const SignCheck check = CheckSignPost(c.endpoint, c.body, Styles);
    ASSERT_TRUE(check.sign) << check.problem;
    EXPECT_EQ(check.sign->style, c.style);
    EXPECT_EQ(check.sign->words, c.words);
    EXPECT_EQ(check.sign->values, c.values);
  }
}

TEST(SignFormsTest, RefusesPostsThatAreNoStyleForm) {
  const std::pair<const char*, std::string> cases[] = {
      {"/p/re86.php", "id=Hi&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},  // nobody posts there
      {"/p/re31.php", "id=Hi&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},  // another endpoint's form
      {"/p/re119.php", "id=Hi&id1=157&id4=%23FF73FF&id5=%23000000&id6=1"}, // a changed fixed field
      {"/p/re119.php", "id=Hi&id1=156&id4=%23FF73FF&id5=%23000000"},       // a field missing
      {"/p/re119.php", "id=Hi&x=1&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},  // a field added
      {"/p/re119.php", "id=%E4%B8&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},  // not UTF-8
      {"/p/re119.php", "id=%D6%D0&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},  // GBK words
      {"/p/re119.php", "id=50%&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},    // broken escape
      {"/p/re119.php", ""},
      {"/p/re119.php", "garbage"},
  };
  for (const auto& [endpoint, body] : cases) {
    SCOPED_TRACE(std::string(endpoint) + " " + body);
    const SignCheck check = CheckSignPost(endpoint, body, Styles);
    EXPECT_FALSE(check.sign);
    EXPECT_FALSE(check.problem.empty());
  }
}

}  // namespace
}  // namespace signmaker::services
