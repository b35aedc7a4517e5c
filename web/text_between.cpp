#include "web/text_between.h"

#include "web/text_ops.h"

namespace signmaker {
namespace {

// Lets a caller write a delimiter holding double quotes without escaping them.
constexpr std::string_view QuotePlaceholder = "#引号";

}  // namespace

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool caseSensitive) {
  const Text leftText = ReplaceAll(left, QuotePlaceholder, "\"");
  const Text rightText = ReplaceAll(right, QuotePlaceholder, "\"");
  const int leftAt = Search(text, leftText, start, caseSensitive);
  const int after = leftAt == NotFound ? NotFound : leftAt + static_cast<int>(leftText.size());
  const int rightAt = Search(text, rightText, after, caseSensitive);
  if (leftAt == NotFound || rightAt == NotFound || rightAt <= after) return Text();
  return Text(text.substr(static_cast<std::size_t>(after) - 1,
                          static_cast<std::size_t>(rightAt - after)));
}

Text HeaderValue(std::string_view text) {
  const int colon = Search(text, ":");
  if (colon == NotFound) return Text();
  return Trim(text.substr(static_cast<std::size_t>(colon)));
}

}  // namespace signmaker
