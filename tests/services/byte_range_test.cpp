#include "services/byte_range.h"

#include <gtest/gtest.h>

namespace signmaker::services {
namespace {

using Kind = ByteRange::Kind;

struct RangeCase {
  const char* header;
  std::uint64_t size;
  Kind kind;
  std::uint64_t first = 0, last = 0;
};

TEST(ByteRangeTest, AnswersEachFormOfRange) {
  const RangeCase cases[] = {
      {"bytes=0-499", 1000, Kind::Part, 0, 499},
      {"bytes=500-999", 1000, Kind::Part, 500, 999},
      // The downloader's last range ends one past the last byte: served to the end.
      {"bytes=4194304-5000000", 5000000, Kind::Part, 4194304, 4999999},
      {"bytes=0-500000", 500000, Kind::Part, 0, 499999},
      {"bytes=0-99999999", 1000, Kind::Part, 0, 999},
      {"bytes=999-999", 1000, Kind::Part, 999, 999},
      {"bytes=500-", 1000, Kind::Part, 500, 999},
      {"bytes=-100", 1000, Kind::Part, 900, 999},
      {"bytes=-5000", 1000, Kind::Part, 0, 999},
      {"BYTES=0-0", 1000, Kind::Part, 0, 0},
      {" bytes= 10 - 20 ", 1000, Kind::Part, 10, 20},
      {"bytes=1000-", 1000, Kind::Unsatisfiable},
      {"bytes=1000-2000", 1000, Kind::Unsatisfiable},
      {"bytes=-0", 1000, Kind::Unsatisfiable},
      {"bytes=0-", 0, Kind::Unsatisfiable},
      // Whatever cannot be served as one range asks for the whole.
      {"", 1000, Kind::Whole},
      {"bytes=0-1,5-6", 1000, Kind::Whole},
      {"items=0-1", 1000, Kind::Whole},
      {"bytes=20-10", 1000, Kind::Whole},
      {"bytes=abc", 1000, Kind::Whole},
      {"bytes=1-2x", 1000, Kind::Whole},
      {"bytes=-", 1000, Kind::Whole},
      {"bytes=99999999999999999999-", 1000, Kind::Whole},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::string(c.header) + " of " + std::to_string(c.size));
    const ByteRange range = RangeOf(c.header, c.size);
    EXPECT_EQ(range.kind, c.kind);
    if (c.kind == Kind::Part) {
      EXPECT_EQ(range.first, c.first);
      EXPECT_EQ(range.last, c.last);
    }
  }
}

}  // namespace
}  // namespace signmaker::services
