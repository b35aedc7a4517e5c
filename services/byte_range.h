#pragma once
// Which bytes of a resource a request's Range header asks for.

#include <cstdint>
#include <string_view>

namespace signmaker::services {

struct ByteRange {
  enum class Kind {
    Whole,          // no usable range: serve everything with 200
    Part,           // serve [first, last] with 206
    Unsatisfiable,  // the range starts at or past the end: 416
  };
  Kind kind = Kind::Whole;
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // inclusive; only for Part
};

// The part of a resource of `size` bytes that `header` (the Range value, e.g.
// "bytes=0-499") asks for. One range of the forms "A-B", "A-" and "-N" is served;
// an end at or past the last byte is clamped to the last byte, as servers do, so
// "bytes=0-500000" of a 500,000-byte file is all of it. A header that is empty,
// malformed, in another unit or lists several ranges asks for the whole resource.
ByteRange RangeOf(std::string_view header, std::uint64_t size);

}  // namespace signmaker::services
