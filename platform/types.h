#pragma once
// The two kinds of data that every part of the program passes around.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace signmaker {

// A text: GBK bytes (a byte of 0x80 or above starts a two-byte character).
// Lengths and positions count bytes.
using Text = std::string;

// Bytes with an explicit length; they may hold zero bytes.
using Bytes = std::vector<std::uint8_t>;

// The bytes up to, not including, the first zero byte (all of them when none is zero).
inline Text TextFromBytes(const Bytes& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return Text(bytes.begin(), end);
}

// The bytes of a text, without a terminating zero.
inline Bytes BytesFromText(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace signmaker
