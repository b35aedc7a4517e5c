#include "skin/skin_file.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace signmaker::skin {
namespace {

using Span = std::span<const std::uint8_t>;

constexpr std::array<char, 4> TagStyleSheet = {'Q', 'S', 'S', ' '};
constexpr std::array<char, 4> TagName = {'N', 'A', 'M', 'E'};
constexpr std::array<char, 4> TagPalette = {'P', 'A', 'L', ' '};
constexpr std::array<char, 4> TagFont = {'F', 'O', 'N', 'T'};
constexpr std::size_t PaletteEntrySize = 6;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint16_t GetU16(Span bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t GetU32(Span bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void PutSection(std::vector<std::uint8_t>& out, const std::array<char, 4>& tag,
                const std::vector<std::uint8_t>& data) {
  out.insert(out.end(), tag.begin(), tag.end());
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

std::vector<std::uint8_t> TextData(std::string_view text) { return {text.begin(), text.end()}; }

// Well-formed UTF-8 without NUL, overlong forms, surrogates or values above U+10FFFF.
bool IsCleanUtf8(Span bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t lead = bytes[i];
    if (lead == 0) return false;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return false;
      code = code << 6 | (bytes[i + k] & 0x3F);
    }
    constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::optional<std::string> CleanText(Span bytes) {
  if (!IsCleanUtf8(bytes)) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

bool DecodePalette(Span data, std::vector<PaletteEntry>& palette) {
  if (data.size() < 2) return false;
  const std::size_t count = GetU16(data, 0);
  if (data.size() - 2 != count * PaletteEntrySize) return false;
  for (std::size_t at = 2; at < data.size(); at += PaletteEntrySize) {
    if (data[at] >= static_cast<std::uint8_t>(PaletteGroup::Count) ||
        data[at + 1] >= static_cast<std::uint8_t>(PaletteRole::Count)) {
      return false;
    }
    palette.push_back({static_cast<PaletteGroup>(data[at]), static_cast<PaletteRole>(data[at + 1]),
                       data[at + 2], data[at + 3], data[at + 4], data[at + 5]});
  }
  return true;
}

bool DecodeFont(Span data, SkinFile& skin) {
  if (data.size() < 2) return false;
  const int pixels = GetU16(data, 0);
  auto family = CleanText(data.subspan(2));
  if (pixels < 1 || pixels > MaxFontPixels || !family || family->empty()) return false;
  skin.fontPixels = pixels;
  skin.fontFamily = std::move(*family);
  return true;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::vector<std::uint8_t> EncodeSkinFile(const SkinFile& skin) {
  std::vector<std::uint8_t> payload;
  std::uint16_t sections = 0;
  if (!skin.name.empty()) {
    PutSection(payload, TagName, TextData(skin.name));
    ++sections;
  }
  PutSection(payload, TagStyleSheet, TextData(skin.styleSheet));
  ++sections;
  if (!skin.palette.empty()) {
    std::vector<std::uint8_t> data;
    PutU16(data, static_cast<std::uint16_t>(skin.palette.size()));
    for (const PaletteEntry& entry : skin.palette) {
      data.insert(data.end(), {static_cast<std::uint8_t>(entry.group), static_cast<std::uint8_t>(entry.role),
                               entry.red, entry.green, entry.blue, entry.alpha});
    }
    PutSection(payload, TagPalette, data);
    ++sections;
  }
  if (skin.fontPixels > 0) {
    std::vector<std::uint8_t> data;
    PutU16(data, static_cast<std::uint16_t>(skin.fontPixels));
    data.insert(data.end(), skin.fontFamily.begin(), skin.fontFamily.end());
    PutSection(payload, TagFont, data);
    ++sections;
  }

  std::vector<std::uint8_t> file(SkinMagic.begin(), SkinMagic.end());
  PutU16(file, SkinFormatVersion);
  PutU16(file, sections);
  PutU32(file, static_cast<std::uint32_t>(payload.size()));
  PutU32(file, Crc32(payload));
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}

std::optional<SkinFile> DecodeSkinFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < SkinHeaderSize || bytes.size() > MaxSkinFileSize) return std::nullopt;
  if (!std::equal(SkinMagic.begin(), SkinMagic.end(), bytes.begin())) return std::nullopt;
  if (GetU16(bytes, 8) != SkinFormatVersion) return std::nullopt;
  const std::size_t sectionCount = GetU16(bytes, 10);
  const Span payload = bytes.subspan(SkinHeaderSize);
  if (GetU32(bytes, 12) != payload.size() || GetU32(bytes, 16) != Crc32(payload)) return std::nullopt;

  SkinFile skin;
  bool seenName = false, seenStyleSheet = false, seenPalette = false, seenFont = false;
  std::size_t at = 0;
  for (std::size_t section = 0; section < sectionCount; ++section) {
    if (payload.size() - at < 8) return std::nullopt;
    std::array<char, 4> tag;
    std::copy_n(payload.begin() + at, 4, tag.begin());
    const std::size_t length = GetU32(payload, at + 4);
    at += 8;
    if (payload.size() - at < length) return std::nullopt;
    const Span data = payload.subspan(at, length);
    at += length;

    auto once = [](bool& seen) { return !std::exchange(seen, true); };
    if (tag == TagStyleSheet) {
      auto text = CleanText(data);
      if (!once(seenStyleSheet) || !text) return std::nullopt;
      skin.styleSheet = std::move(*text);
    } else if (tag == TagName) {
      auto text = CleanText(data);
      if (!once(seenName) || !text) return std::nullopt;
      skin.name = std::move(*text);
    } else if (tag == TagPalette) {
      if (!once(seenPalette) || !DecodePalette(data, skin.palette)) return std::nullopt;
    } else if (tag == TagFont) {
      if (!once(seenFont) || !DecodeFont(data, skin)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (at != payload.size() || !seenStyleSheet) return std::nullopt;
  return skin;
}

}  // namespace signmaker::skin
