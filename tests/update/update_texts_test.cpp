// The texts of the update window's list: sizes, percentages, file names.

#include "update/update_texts.h"

#include <gtest/gtest.h>

namespace signmaker {
namespace {

TEST(SizeText, EveryRangeAndBoundary) {
  const struct {
    std::int32_t value;
    const char* text;
  } cases[] = {
      {0, "0 Byte"},           {1, "1 Byte"},          {1023, "1023 Byte"},
      {1024, "1024 Byte"},     {1025, "1 KB"},         {1076, "1.1 KB"},
      {1075, "1 KB"},          {1536, "1.5 KB"},       {1048524, "1023.9 KB"},
      {1048576, "1024 KB"},    {1048628, "1 MB"},      {5000000, "4.8 MB"},
      {104857600, "100 MB"},   {1073741824, "1024 MB"}, {1073741825 + 52428, "1 GB"},
      {2147483647, "2 GB"},    {-5, "-5 Byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.value), c.text) << c.value;
}

TEST(PercentDone, TruncatesAndNeverDividesByZero) {
  const struct {
    std::int32_t done, total, percent;
  } cases[] = {
      {4999999, 5000000, 99}, {5000000, 5000000, 100}, {1, 3, 33},   {2, 3, 66},
      {0, 5000000, 0},        {0, 0, 0},               {12345, 0, 0}, {2147483647, 2147483647, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(PercentDone(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

TEST(LastUrlSegment, TakesTheLastNonEmptySegmentOfTheSplit) {
  const struct {
    const char* url;
    const char* segment;
  } cases[] = {
      {"http://download.signmaker.example/vink.zip", "vink.zip"},
      {"http://host/dir/", "dir"},
      {"vink.zip", "vink.zip"},
      {"", ""},
      {"http://host/a//", ""},
      {"http://host/升级包.zip", "升级包.zip"},
      {"http://host/p.zip?x=1/2", "2"},
  };
  for (const auto& c : cases) EXPECT_EQ(LastUrlSegment(c.url), c.segment) << c.url;
}

}  // namespace
}  // namespace signmaker
