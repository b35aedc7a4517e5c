#include "services/options.h"

#include <gtest/gtest.h>

namespace signmaker::services {
namespace {

TEST(OptionsTest, ReadsEachOptionInBothForms) {
  std::string problem;
  const auto defaults = ParseOptions({}, problem);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->port, 0);
  EXPECT_EQ(defaults->version, "6.4");

  const auto options =
      ParseOptions({"--port", "8123", "--version=6.5", "--package-size", "3000000"}, problem);
  ASSERT_TRUE(options) << problem;
  EXPECT_EQ(options->port, 8123);
  EXPECT_EQ(options->version, "6.5");
  EXPECT_EQ(options->packageSize, 3000000u);
}

TEST(OptionsTest, RefusesBadCommandLinesWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--port"},
      {"--port", "70000"},
      {"--port", "-1"},
      {"--port", "80x"},
      {"--version", ""},
      {"--version", "6&5"},
      {"--package-size", "2000000000"},
      {"--colour", "red"},
      {"8080"},
  };
  for (const auto& arguments : bad) {
    std::string problem;
    EXPECT_FALSE(ParseOptions(arguments, problem)) << arguments.front();
    EXPECT_FALSE(problem.empty()) << arguments.front();
  }
}

}  // namespace
}  // namespace signmaker::services
