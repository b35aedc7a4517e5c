#pragma once
// Drawing the finished sign photo.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace signmaker::services {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

// What a picture shows: the words on the sign, in the colours of the style.
struct SignLook {
  std::string words;         // UTF-8
  int style = 0;             // the style's row, 0 to 152; varies the figure
  std::vector<Rgb> colours;  // the style's colours in form order; may be empty
};

// The colours of "#RRGGBB" form values, in their order; other values are skipped.
std::vector<Rgb> ColoursOf(const std::vector<std::string>& values);

// A JPEG picture of a figure holding a sign that carries `look.words`, framed and
// lettered in the style's colours. The same look always gives the same bytes.
// Needs a QGuiApplication; any thread may call it.
std::string DrawSignPicture(const SignLook& look);

// Side length of the square picture, in pixels.
inline constexpr int SignPictureSize = 440;

}  // namespace signmaker::services
