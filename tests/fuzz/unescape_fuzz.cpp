// Escape decoding on arbitrary bytes: no escape makes a one-byte text longer, and a text
// without anything to decode comes back unchanged.

#include "tests/fuzz/fuzz_target.h"
#include "web/unescape_text.h"

using namespace signmaker;
using signmaker::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Text decoded = UnescapeText(text);
  // Bytes that are no GBK character (a lone lead byte) may pair up with a placeholder
  // and come back longer; the length holds for one-byte texts.
  bool oneByte = true;
  for (const char c : text) oneByte = oneByte && static_cast<unsigned char>(c) < 0x80;
  Require(!oneByte || decoded.size() <= text.size(), "decoding never lengthens a one-byte text");
  bool plain = true;
  for (const char c : text) {
    plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
                      c == '.' || c == '/' || c == '<' || c == '>' || c == '"' || c == '=');
  }
  if (plain) Require(decoded == text, "a text without escapes comes back unchanged");
  return 0;
}
