// Skin files from arbitrary bytes: decoding never reads out of bounds, and whatever
// decodes encodes to a file that decodes to the same skin. The input is tried as a
// whole file and, so that the section parser is reached past the checksum, as a
// payload behind a correct header whose section count is the input's first byte.

#include "skin/skin_file.h"
#include "tests/fuzz/fuzz_target.h"

using namespace signmaker::skin;
using signmaker::fuzz::Require;

namespace {

void Check(std::span<const std::uint8_t> bytes) {
  const auto skin = DecodeSkinFile(bytes);
  if (!skin) return;
  Require(DecodeSkinFile(EncodeSkinFile(*skin)) == skin, "a decoded skin survives encoding");
}

std::vector<std::uint8_t> WithHeader(std::span<const std::uint8_t> input) {
  const std::uint16_t sections = input.empty() ? 0 : input[0];
  const auto payload = input.empty() ? input : input.subspan(1);
  std::vector<std::uint8_t> file(SkinMagic.begin(), SkinMagic.end());
  const std::uint32_t length = static_cast<std::uint32_t>(payload.size()), crc = Crc32(payload);
  for (const std::uint32_t value : {std::uint32_t{SkinFormatVersion}, std::uint32_t{sections}}) {
    file.push_back(static_cast<std::uint8_t>(value));
    file.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  for (const std::uint32_t value : {length, crc}) {
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  Check(input);
  Check(WithHeader(input));
  return 0;
}
