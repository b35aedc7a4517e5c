#pragma once
// The skin file: what the skin engine applies to the program's windows.
//
// Layout (integers little-endian):
//   header, 20 bytes: magic "SMSKIN\x1a\n", u16 format version, u16 section count,
//                     u32 payload length (bytes after the header), u32 CRC-32 of the payload
//   payload:          `section count` sections, each a 4-byte tag, a u32 length and its data
// Sections:
//   "QSS " (required) the style sheet, UTF-8
//   "NAME"            the skin's name, UTF-8
//   "PAL "            palette: u16 entry count, then per entry u8 group, u8 role, u8 r, g, b, a
//   "FONT"            default font: u16 pixel size (1..200), then the family name, UTF-8
// Each section appears at most once. A file that breaks any of these rules, carries an
// unknown section, or is larger than MaxSkinFileSize is refused as a whole.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace signmaker::skin {

inline constexpr std::array<std::uint8_t, 8> SkinMagic = {'S', 'M', 'S', 'K', 'I', 'N', 0x1A, '\n'};
inline constexpr std::uint16_t SkinFormatVersion = 1;
inline constexpr std::size_t SkinHeaderSize = 20;
inline constexpr std::size_t MaxSkinFileSize = 1 << 20;
inline constexpr int MaxFontPixels = 200;

enum class PaletteGroup : std::uint8_t { All, Active, Inactive, Disabled, Count };

enum class PaletteRole : std::uint8_t {
  Window, WindowText, Base, AlternateBase, Text, Button, ButtonText, Highlight,
  HighlightedText, ToolTipBase, ToolTipText, PlaceholderText, BrightText, Light,
  Midlight, Mid, Dark, Shadow, Link, LinkVisited, Count
};

struct PaletteEntry {
  PaletteGroup group = PaletteGroup::All;
  PaletteRole role = PaletteRole::Window;
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
  bool operator==(const PaletteEntry&) const = default;
};

struct SkinFile {
  std::string name;                   // UTF-8, may be empty
  std::string styleSheet;             // UTF-8
  std::vector<PaletteEntry> palette;  // applied in order
  std::string fontFamily;             // UTF-8; empty with fontPixels 0: no FONT section
  int fontPixels = 0;                 // 0: keep the default font
  bool operator==(const SkinFile&) const = default;
};

// CRC-32 (reflected polynomial 0xEDB88320, initial and final value 0xFFFFFFFF) of `bytes`.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The file's bytes. Texts are written as given; the caller keeps them UTF-8.
std::vector<std::uint8_t> EncodeSkinFile(const SkinFile& skin);

// The skin held in `bytes`; nullopt for anything that is not a well-formed skin file.
std::optional<SkinFile> DecodeSkinFile(std::span<const std::uint8_t> bytes);

}  // namespace signmaker::skin
