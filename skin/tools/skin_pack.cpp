// Build tool: packs a theme description and a style sheet into a skin file.
//   skin_pack THEME STYLESHEET OUTPUT
// THEME lines: "name TEXT", "font PIXELS FAMILY", "GROUP ROLE #rrggbb[aa]"; "#" starts a comment
// line. Any unknown word or malformed colour stops the build with a message.

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "skin/skin_file.h"

namespace {

using namespace signmaker::skin;

constexpr std::array<std::string_view, static_cast<int>(PaletteGroup::Count)> GroupNames = {
    "all", "active", "inactive", "disabled"};
constexpr std::array<std::string_view, static_cast<int>(PaletteRole::Count)> RoleNames = {
    "Window", "WindowText", "Base", "AlternateBase", "Text", "Button", "ButtonText",
    "Highlight", "HighlightedText", "ToolTipBase", "ToolTipText", "PlaceholderText",
    "BrightText", "Light", "Midlight", "Mid", "Dark", "Shadow", "Link", "LinkVisited"};

template <std::size_t N>
std::optional<std::size_t> IndexOf(const std::array<std::string_view, N>& names, std::string_view word) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == word) return i;
  }
  return std::nullopt;
}

std::optional<PaletteEntry> ParseColourLine(const std::string& group, std::istringstream& rest) {
  std::string role, colour;
  rest >> role >> colour;
  const auto groupIndex = IndexOf(GroupNames, group);
  const auto roleIndex = IndexOf(RoleNames, role);
  if (!groupIndex || !roleIndex || colour.size() < 7 || colour[0] != '#') return std::nullopt;
  if (colour.size() != 7 && colour.size() != 9) return std::nullopt;
  unsigned long value = 0;
  try {
    std::size_t used = 0;
    value = std::stoul(colour.substr(1), &used, 16);
    if (used != colour.size() - 1) return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
  if (colour.size() == 7) value = value << 8 | 0xFF;
  return PaletteEntry{static_cast<PaletteGroup>(*groupIndex), static_cast<PaletteRole>(*roleIndex),
                      static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

bool ReadWhole(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "skin_pack: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Fail("usage: skin_pack THEME STYLESHEET OUTPUT");
  SkinFile skin;
  std::string theme;
  if (!ReadWhole(argv[1], theme)) return Fail(std::string("cannot read ") + argv[1]);
  if (!ReadWhole(argv[2], skin.styleSheet)) return Fail(std::string("cannot read ") + argv[2]);

  std::istringstream lines(theme);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream words(line);
    std::string first;
    if (!(words >> first) || first[0] == '#') continue;
    if (first == "name") {
      std::getline(words >> std::ws, skin.name);
    } else if (first == "font") {
      words >> skin.fontPixels;
      std::getline(words >> std::ws, skin.fontFamily);
    } else if (auto entry = ParseColourLine(first, words)) {
      skin.palette.push_back(*entry);
    } else {
      return Fail(std::string(argv[1]) + ":" + std::to_string(number) + ": cannot read \"" + line + "\"");
    }
  }

  const auto bytes = EncodeSkinFile(skin);
  if (DecodeSkinFile(bytes) != skin) return Fail("the result is not a valid skin file");
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : Fail(std::string("cannot write ") + argv[3]);
}
