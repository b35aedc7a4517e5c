// The picture area: which bytes it shows, how it fits them, and that hostile bytes
// neither crash it nor change what it holds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/qt/picture_box.h"
#include "platform/qt/png_decoder.h"
#include "platform/window_toolkit.h"

namespace signmaker::platform::qt {
namespace {

class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { WindowToolkit::Default(); }
};

Bytes Encode(const QImage& image, const char* format, int quality = -1) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, quality);
  return Bytes(data.begin(), data.end());
}

QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A 1x1 GIF whose one pixel is red (Qt reads GIF but cannot write it).
const Bytes RedDotGif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                         0xFF, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                         2, 2, 0x44, 1, 0, 0x3B};

void AppendBigEndian(Bytes& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// The PNG signature and a well-formed header chunk claiming `width` x `height`, with
// no pixel data behind it.
Bytes PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  AppendBigEndian(bytes, 13);
  const std::size_t typeAt = bytes.size();
  for (const char c : std::string("IHDR")) bytes.push_back(static_cast<std::uint8_t>(c));
  AppendBigEndian(bytes, width);
  AppendBigEndian(bytes, height);
  bytes.insert(bytes.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, not interlaced
  AppendBigEndian(bytes, Crc32(bytes.data() + typeAt, bytes.size() - typeAt));
  return bytes;
}

TEST_F(PictureBoxTest, ShowsEveryKnownFormatAtItsSize) {
  const QImage red = Filled(6, 4, Qt::red);
  struct Case {
    const char* name;
    Bytes bytes;
    QSize size;
  };
  const std::vector<Case> cases = {
      {"png", Encode(red, "PNG"), {6, 4}},
      {"jpeg", Encode(red, "JPEG", 100), {6, 4}},
      {"bmp", Encode(red, "BMP"), {6, 4}},
      {"gif", RedDotGif, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage image = DecodePicture(c.bytes);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), c.size);
    const QColor pixel = image.pixelColor(0, 0);
    EXPECT_GT(pixel.red(), 240);
    EXPECT_LT(pixel.green(), 15);
    EXPECT_LT(pixel.blue(), 15);
  }
}

TEST_F(PictureBoxTest, PngTransparencyAndGreyAreExpandedToRgba) {
  QImage grey(3, 2, QImage::Format_Grayscale8);
  grey.fill(128);
  QImage clear(3, 2, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  const QImage fromGrey = DecodePng(Encode(grey, "PNG"));
  ASSERT_FALSE(fromGrey.isNull());
  EXPECT_EQ(fromGrey.pixelColor(2, 1), QColor(128, 128, 128));
  const QImage fromClear = DecodePng(Encode(clear, "PNG"));
  ASSERT_FALSE(fromClear.isNull());
  EXPECT_EQ(fromClear.pixelColor(0, 0).alpha(), 0);
}

TEST_F(PictureBoxTest, HostileBytesShowNothingAndAreKept) {
  Bytes png = Encode(Filled(40, 30, Qt::blue), "PNG");
  Bytes damagedPng = png;
  damagedPng[damagedPng.size() / 2] ^= 0xFF;  // inside the pixel data: its checksum fails
  Bytes truncatedPng(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() - 20));
  const Bytes jpeg = Encode(Filled(64, 64, Qt::green), "JPEG");
  const Bytes truncatedJpeg(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 3));
  Bytes noise(4096);
  std::mt19937 random(7);
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  Bytes bmpNoise = noise;
  bmpNoise[0] = 'B';
  bmpNoise[1] = 'M';
  Bytes gifNoise = noise;
  std::copy(RedDotGif.begin(), RedDotGif.begin() + 6, gifNoise.begin());

  struct Case {
    const char* name;
    Bytes bytes;
    bool mayShowPart;  // a cut-off JPEG may show its upper part
  };
  const std::vector<Case> cases = {
      {"damaged png", damagedPng, false},
      {"truncated png", truncatedPng, false},
      {"png header only", PngHeaderOnly(16, 16), false},
      {"png wider than any screen", PngHeaderOnly(1000000, 1), false},
      {"png of too many pixels", PngHeaderOnly(10000, 10000), false},
      {"png of zero width", PngHeaderOnly(0, 10), false},
      {"truncated jpeg", truncatedJpeg, true},
      {"random bytes", noise, false},
      {"bmp signature then noise", bmpNoise, false},
      {"gif signature then noise", gifNoise, true},
      {"text", BytesFromText("<html>not found</html>"), false},
      {"empty", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictureBox box(nullptr);
    box.resize(440, 456);
    box.SetBytes(c.bytes);
    EXPECT_EQ(box.bytes(), c.bytes);
    if (!c.mayShowPart) {
      EXPECT_TRUE(box.image().isNull());
    }
    box.grab();  // painting must cope as well
  }
}

TEST_F(PictureBoxTest, FitsLargePicturesAndCentresSmallOnes) {
  const QRect area(0, 0, 440, 456);
  struct Case {
    QSize picture;
    QRect expected;
  };
  const std::vector<Case> cases = {
      {{880, 228}, QRect(0, 171, 440, 114)},   // too wide: halved, centred vertically
      {{100, 912}, QRect(195, 0, 50, 456)},    // too tall: halved, centred horizontally
      {{200, 100}, QRect(120, 178, 200, 100)}, // smaller: never enlarged
      {{440, 456}, QRect(0, 0, 440, 456)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture.width());
    EXPECT_EQ(FitPicture(c.picture, area), c.expected);
  }
}

TEST_F(PictureBoxTest, PaintsThePictureScaledIntoTheMiddle) {
  PictureBox box(nullptr);
  box.resize(440, 456);
  box.SetBytes(Encode(Filled(880, 200, Qt::red), "PNG"));
  const QImage shown = box.grab().toImage();
  EXPECT_EQ(shown.pixelColor(220, 228), QColor(Qt::red));  // the middle
  EXPECT_EQ(shown.pixelColor(5, 180), QColor(Qt::red));    // the picture's left edge, 100 rows high
  EXPECT_NE(shown.pixelColor(220, 20), QColor(Qt::red));   // above it: blank
}

}  // namespace
}  // namespace signmaker::platform::qt
