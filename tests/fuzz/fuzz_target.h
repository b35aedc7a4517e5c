#pragma once
// Fuzz targets take the libFuzzer entry point, so that the same file serves the
// coverage-guided fuzzer (scripts/fuzz) and the bounded run of the test suite.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace signmaker::fuzz {

// Cuts the input at its first `count - 1` zero bytes into `count` pieces (the last
// pieces are empty when there are fewer zero bytes).
inline std::vector<std::string_view> Pieces(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    const auto zero = rest.find('\0');
    if (zero == std::string_view::npos) break;
    pieces.push_back(rest.substr(0, zero));
    rest.remove_prefix(zero + 1);
  }
  pieces.push_back(rest);
  pieces.resize(count);
  return pieces;
}

// Called before a failed expectation stops the run (the bounded driver prints the input).
inline void (*on_failure)() = nullptr;

// Stops the run with a message when an expectation about a result does not hold.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz expectation failed: %s\n", what);
  if (on_failure != nullptr) on_failure();
  std::abort();
}

}  // namespace signmaker::fuzz
