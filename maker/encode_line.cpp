#include "maker/encode_line.h"

namespace signmaker {
namespace {

bool StaysPlain(std::uint8_t byte) {
  return byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') ||
         (byte >= 'A' && byte <= 'Z');
}

}  // namespace

Text EncodeLine(std::string_view line, bool plainAlphanumerics,
                const platform::CodeConversion& conversion) {
  const auto utf8 = conversion.Convert(BytesFromText(line), "GB2312", "UTF-8");
  if (!utf8) return Text();
  constexpr std::string_view HexDigits = "0123456789ABCDEF";
  Text encoded;
  encoded.reserve(utf8->size() * 3);
  for (const std::uint8_t byte : *utf8) {
    if (plainAlphanumerics && StaysPlain(byte)) {
      encoded += static_cast<char>(byte);
    } else {
      encoded += '%';
      encoded += HexDigits[byte >> 4];
      encoded += HexDigits[byte & 0x0F];
    }
  }
  return encoded;
}

}  // namespace signmaker
