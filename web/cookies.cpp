#include "web/cookies.h"

#include "web/text_ops.h"

namespace signmaker {
namespace {

// A reply that deletes a cookie sets it to this value.
constexpr std::string_view DeletedMark = "=deleted";
constexpr std::string_view EntrySeparator = "; ";

// `text` without its last `count` bytes; empty when it is not longer.
Text WithoutLast(std::string_view text, std::size_t count) {
  return Left(text, static_cast<int>(text.size()) - static_cast<int>(count));
}

}  // namespace

Text MergeCookies(Text& cookies, Text& replyCookies) {
  cookies = RemoveSpaces(cookies);
  replyCookies = RemoveSpaces(replyCookies);
  std::vector<Text> merged = Split(replyCookies, ";");
  for (Text& old : Split(cookies, ";")) {
    if (!HasCookieName(merged, CookieName(old))) merged.push_back(std::move(old));
  }
  Text joined;
  for (const Text& entry : merged) {
    if (Right(entry, static_cast<int>(DeletedMark.size())) == DeletedMark) continue;
    joined += entry;
    joined += EntrySeparator;
  }
  cookies = JoinDistinct(WithoutLast(joined, EntrySeparator.size()), EntrySeparator);
  return cookies;
}

Text CookieName(std::string_view entry) {
  const int equals = Search(entry, "=");
  return Trim(equals == NotFound ? entry : entry.substr(0, static_cast<std::size_t>(equals) - 1));
}

bool HasCookieName(const std::vector<Text>& entries, std::string_view name) {
  for (const Text& entry : entries) {
    if (CookieName(entry) == name) return true;
  }
  return false;
}

Text JoinDistinct(std::string_view text, std::string_view separator) {
  std::vector<Text> seen;
  Text joined;
  for (Text& item : Split(text, separator)) {
    if (IndexOfText(seen, item) != NotFound) continue;
    joined += item;
    joined += separator;
    seen.push_back(std::move(item));
  }
  return WithoutLast(joined, separator.size());
}

int IndexOfText(const std::vector<Text>& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return NotFound;
}

}  // namespace signmaker
