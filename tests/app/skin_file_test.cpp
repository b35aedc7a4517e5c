// The skin file format: what the engine accepts, and that it refuses everything else.

#include "skin/skin_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/skin_blocks.h"

namespace signmaker::skin {
namespace {

using Raw = std::vector<std::uint8_t>;

struct Section {
  std::string tag;
  Raw data;
  std::optional<std::uint32_t> declaredLength = std::nullopt;  // else the data's length
};

Raw TextBytes(std::string_view text) { return Raw(text.begin(), text.end()); }

void PutLe(Raw& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A file built by hand, so that each field can be made wrong on its own.
struct RawFile {
  std::vector<Section> sections = {{"QSS ", TextBytes("QWidget { color: red; }")}};
  std::uint16_t version = SkinFormatVersion;
  int sectionCountDelta = 0;
  int payloadLengthDelta = 0;
  std::uint32_t crcXor = 0;

  Raw Bytes() const {
    Raw payload;
    for (const Section& section : sections) {
      payload.insert(payload.end(), section.tag.begin(), section.tag.end());
      PutLe(payload, section.declaredLength.value_or(static_cast<std::uint32_t>(section.data.size())), 4);
      payload.insert(payload.end(), section.data.begin(), section.data.end());
    }
    Raw file(SkinMagic.begin(), SkinMagic.end());
    PutLe(file, version, 2);
    PutLe(file, static_cast<std::uint32_t>(static_cast<int>(sections.size()) + sectionCountDelta), 2);
    PutLe(file, static_cast<std::uint32_t>(static_cast<int>(payload.size()) + payloadLengthDelta), 4);
    PutLe(file, Crc32(payload) ^ crcXor, 4);
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
  }
};

Raw Palette(std::uint16_t count, Raw entries) {
  Raw data;
  PutLe(data, count, 2);
  data.insert(data.end(), entries.begin(), entries.end());
  return data;
}

Raw Font(std::uint16_t pixels, std::string_view family) {
  Raw data;
  PutLe(data, pixels, 2);
  data.insert(data.end(), family.begin(), family.end());
  return data;
}

SkinFile FullSkin() {
  SkinFile skin;
  skin.name = "Graphite";
  const std::u8string_view utf8 = u8"QPushButton { color: #ffffff; } /* 按钮 */";
  skin.styleSheet.assign(utf8.begin(), utf8.end());
  skin.palette = {{PaletteGroup::All, PaletteRole::Window, 1, 2, 3, 255},
                  {PaletteGroup::Disabled, PaletteRole::LinkVisited, 9, 8, 7, 6}};
  skin.fontFamily = "WenQuanYi Micro Hei";
  skin.fontPixels = 13;
  return skin;
}

TEST(SkinFile, ChecksumIsTheStatedCrc32) {
  const std::string_view check = "123456789";
  EXPECT_EQ(Crc32(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0xCBF43926u);
  EXPECT_EQ(Crc32({}), 0u);
}

TEST(SkinFile, EncodedSkinsDecodeToThemselves) {
  SkinFile minimal;
  minimal.styleSheet = "QWidget {}";
  for (const SkinFile& skin : {FullSkin(), minimal}) {
    EXPECT_EQ(DecodeSkinFile(EncodeSkinFile(skin)), skin);
  }
}

TEST(SkinFile, TheCarriedSkinIsWellFormed) {
  const auto skin = DecodeSkinFile(SkinFileBlock());
  ASSERT_TRUE(skin.has_value());
  EXPECT_NE(skin->styleSheet.find("QPushButton"), std::string::npos);
  EXPECT_FALSE(skin->palette.empty());
  EXPECT_GT(skin->fontPixels, 0);
}

TEST(SkinFile, AHandBuiltFileWithEverySectionIsAccepted) {
  RawFile file;
  file.sections.push_back({"NAME", TextBytes("x")});
  file.sections.push_back({"PAL ", Palette(1, {3, 19, 10, 20, 30, 40})});
  file.sections.push_back({"FONT", Font(200, "Sans")});
  const auto skin = DecodeSkinFile(file.Bytes());
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->palette, (std::vector<PaletteEntry>{
                               {PaletteGroup::Disabled, PaletteRole::LinkVisited, 10, 20, 30, 40}}));
  EXPECT_EQ(skin->fontPixels, 200);
}

TEST(SkinFile, MalformedFilesAreRefused) {
  const auto with = [](auto change) {
    RawFile file;
    change(file);
    return file.Bytes();
  };
  const auto withSection = [&](std::string tag, Raw data) {
    return with([&](RawFile& f) { f.sections.push_back({tag, data}); });
  };
  Raw badMagic = RawFile{}.Bytes();
  badMagic[0] = 'X';
  Raw tooLarge = with([](RawFile& f) { f.sections[0].data.assign(MaxSkinFileSize, 'a'); });

  const struct {
    const char* what;
    Raw bytes;
  } cases[] = {
      {"empty", {}},
      {"shorter than the header", Raw(SkinMagic.begin(), SkinMagic.end())},
      {"wrong magic", badMagic},
      {"other version", with([](RawFile& f) { f.version = 2; })},
      {"payload longer than said", with([](RawFile& f) { f.payloadLengthDelta = -1; })},
      {"payload shorter than said", with([](RawFile& f) { f.payloadLengthDelta = 1; })},
      {"checksum wrong", with([](RawFile& f) { f.crcXor = 1; })},
      {"more sections announced", with([](RawFile& f) { f.sectionCountDelta = 1; })},
      {"bytes after the last section", with([](RawFile& f) { f.sectionCountDelta = -1; })},
      {"section length past the end", with([](RawFile& f) { f.sections[0].declaredLength = 0xFFFFFFF0u; })},
      {"section length one too long", with([](RawFile& f) { f.sections[0].declaredLength = 24; })},
      {"unknown section", withSection("EXEC", TextBytes("rm -rf"))},
      {"two style sheets", withSection("QSS ", TextBytes("QWidget {}"))},
      {"no style sheet", with([](RawFile& f) { f.sections[0].tag = "NAME"; })},
      {"style sheet with NUL", with([](RawFile& f) { f.sections[0].data = {'a', 0, 'b'}; })},
      {"style sheet not UTF-8", with([](RawFile& f) { f.sections[0].data = {0xD6, 0xD0}; })},
      {"overlong UTF-8", with([](RawFile& f) { f.sections[0].data = {0xC0, 0xAF}; })},
      {"UTF-8 surrogate", with([](RawFile& f) { f.sections[0].data = {0xED, 0xA0, 0x80}; })},
      {"UTF-8 cut off", with([](RawFile& f) { f.sections[0].data = {'a', 0xE4, 0xB8}; })},
      {"palette role out of range", withSection("PAL ", Palette(1, {0, 20, 0, 0, 0, 0}))},
      {"palette group out of range", withSection("PAL ", Palette(1, {4, 0, 0, 0, 0, 0}))},
      {"palette count too high", withSection("PAL ", Palette(2, {0, 0, 0, 0, 0, 0}))},
      {"palette without count", withSection("PAL ", {0})},
      {"font of 0 pixels", withSection("FONT", Font(0, "Sans"))},
      {"font of 201 pixels", withSection("FONT", Font(201, "Sans"))},
      {"font without family", withSection("FONT", Font(12, ""))},
      {"larger than allowed", tooLarge},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(DecodeSkinFile(c.bytes).has_value()) << c.what;
  }
}

TEST(SkinFile, EveryCutAndEveryFlippedByteIsRefused) {
  const Raw good = EncodeSkinFile(FullSkin());
  ASSERT_TRUE(DecodeSkinFile(good).has_value());
  for (std::size_t length = 0; length < good.size(); ++length) {
    EXPECT_FALSE(DecodeSkinFile(std::span(good).first(length)).has_value()) << "cut at " << length;
  }
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (const std::uint8_t mask : {0x01, 0x80, 0xFF}) {
      Raw bad = good;
      bad[at] ^= mask;
      EXPECT_FALSE(DecodeSkinFile(bad).has_value()) << "byte " << at << " ^ " << int(mask);
    }
  }
}

}  // namespace
}  // namespace signmaker::skin
