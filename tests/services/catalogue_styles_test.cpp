#include "services/catalogue_styles.h"

#include <gtest/gtest.h>

#include "maker/style_catalogue.h"

namespace signmaker::services {
namespace {

// Every post that the program can make is a sign form to the stand-in service, and
// its words come back as they were typed.
TEST(CatalogueStylesTest, AcceptsThePostOfEveryStyle) {
  const std::vector<SignStyle> styles = CatalogueStyles();
  ASSERT_EQ(styles.size(), static_cast<std::size_t>(StyleCatalogue::Size));
  const std::string prefix = "http://" + std::string(ServiceHost);
  for (int index = 0; index < StyleCatalogue::Size; ++index) {
    SCOPED_TRACE(index);
    const StyleRow* row = StyleCatalogue::Lookup(index);
    ASSERT_NE(row, nullptr);
    for (const char* encoded : {"%E4%B8%AD%E6%96%87%20AB-9", ""}) {
      const SignRequest request = StyleCatalogue::Build(*row, encoded);
      ASSERT_TRUE(request.url.starts_with(prefix));
      const std::string endpoint = request.url.substr(prefix.size());
      const SignCheck check = CheckSignPost(endpoint, request.body, styles);
      ASSERT_TRUE(check.sign) << check.problem;
      EXPECT_EQ(check.sign->words, *encoded ? "\xE4\xB8\xAD\xE6\x96\x87 AB-9" : "");
      // An identical earlier form may answer for it; it must post the same.
      const SignStyle& found = styles[static_cast<std::size_t>(check.sign->style)];
      EXPECT_EQ(found.endpoint, row->endpointPath);
      EXPECT_EQ(found.head, row->head);
      EXPECT_EQ(found.tail, row->tail);
    }
  }
}

}  // namespace
}  // namespace signmaker::services
