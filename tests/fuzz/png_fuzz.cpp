// PNG decoding of hostile bytes: no crash, no read out of bounds, and a decoded
// picture stays inside the size limits.

#include "platform/qt/png_decoder.h"
#include "tests/fuzz/fuzz_target.h"

using namespace signmaker;
using signmaker::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QImage image = platform::qt::DecodePng(Bytes(data, data + size));
  if (!image.isNull()) {
    Require(static_cast<unsigned>(image.width()) <= platform::qt::MaxPictureSide &&
                static_cast<unsigned>(image.height()) <= platform::qt::MaxPictureSide,
            "a decoded picture is inside the limits");
  }
  return 0;
}
