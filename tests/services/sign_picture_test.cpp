#include "services/sign_picture.h"

#include <gtest/gtest.h>

#include <QImage>

#include "gui_application.h"

namespace signmaker::services {
namespace {

QImage Decoded(const std::string& jpeg) {
  return QImage::fromData(reinterpret_cast<const uchar*>(jpeg.data()), static_cast<int>(jpeg.size()), "JPG");
}

TEST(SignPictureTest, ColoursComeFromHashValuesInOrder) {
  const std::vector<Rgb> colours =
      ColoursOf({"", "156", "#FF73FF", "#000000", "23", "4366FF", "#GGGGGG", "#00aa00"});
  const std::vector<Rgb> expected = {{0xFF, 0x73, 0xFF}, {0, 0, 0}, {0, 0xAA, 0}};
  EXPECT_EQ(colours, expected);
}

class SignPictureDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureGuiApplication(); }
};

TEST_F(SignPictureDrawingTest, SameLookSameBytesOtherWordsOtherPicture) {
  const SignLook look{"\xE4\xB8\xAD\xE6\x96\x87 Hello", 3, {{0xD2, 0x9F, 0xA6}}};
  const std::string picture = DrawSignPicture(look);
  const QImage image = Decoded(picture);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), SignPictureSize);
  EXPECT_EQ(image.height(), SignPictureSize);
  EXPECT_EQ(DrawSignPicture(look), picture);

  SignLook other = look;
  other.words = "\xE4\xB8\xAD\xE6\x96\x87 Hellp";
  EXPECT_NE(DrawSignPicture(other), picture);
}

TEST_F(SignPictureDrawingTest, SignIsFramedInTheStylesFirstColour) {
  for (const Rgb frame : {Rgb{0xFF, 0, 0}, Rgb{0, 0, 0xFF}}) {
    const QImage image = Decoded(DrawSignPicture({"A", 0, {frame, {0, 0, 0}}}));
    ASSERT_FALSE(image.isNull());
    const QColor seen = image.pixelColor(220, 200);  // the middle of the board's top edge
    EXPECT_NEAR(seen.red(), frame.red, 40);
    EXPECT_NEAR(seen.green(), frame.green, 40);
    EXPECT_NEAR(seen.blue(), frame.blue, 40);
  }
}

TEST_F(SignPictureDrawingTest, DrawsEmptyAndOverlongWords) {
  for (const std::string& words : {std::string(), std::string(5000, 'W'), std::string("a\r\nb\tc")}) {
    EXPECT_FALSE(Decoded(DrawSignPicture({words, 152, {}})).isNull());
  }
}

}  // namespace
}  // namespace signmaker::services
