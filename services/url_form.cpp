#include "services/url_form.h"

#include <cstdint>

namespace signmaker::services {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> PercentDecoded(std::string_view encoded) {
  std::string bytes;
  bytes.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (c == '+') {
      bytes.push_back(' ');
    } else if (c != '%') {
      bytes.push_back(c);
    } else {
      if (i + 2 >= encoded.size()) return std::nullopt;
      const int high = HexValue(encoded[i + 1]);
      const int low = HexValue(encoded[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      bytes.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    }
  }
  return bytes;
}

std::optional<std::vector<FormField>> FormFields(std::string_view body) {
  std::vector<FormField> fields;
  if (body.empty()) return fields;
  std::size_t from = 0;
  while (from <= body.size()) {
    std::size_t amp = body.find('&', from);
    if (amp == std::string_view::npos) amp = body.size();
    const std::string_view pair = body.substr(from, amp - from);
    const std::size_t equals = pair.find('=');
    auto name = PercentDecoded(pair.substr(0, equals));
    auto value = PercentDecoded(equals == std::string_view::npos ? std::string_view{}
                                                                  : pair.substr(equals + 1));
    if (!name || !value) return std::nullopt;
    fields.emplace_back(std::move(*name), std::move(*value));
    from = amp + 1;
  }
  return fields;
}

bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    int continuation = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      continuation = 1, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      continuation = 2, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      continuation = 3, code = lead & 0x07;
    } else {
      return false;
    }
    if (i + continuation >= bytes.size()) return false;
    for (int k = 1; k <= continuation; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((continuation == 2 && code < 0x800) || (continuation == 3 && code < 0x10000) ||
        (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
      return false;
    }
    i += continuation + 1;
  }
  return true;
}

}  // namespace signmaker::services
