#include "web/text_ops.h"

#include <string>

namespace signmaker {
namespace {

constexpr std::string_view FullWidthSpace = "\xA1\xA1";

unsigned char Byte(std::string_view text, std::size_t offset) {
  return static_cast<unsigned char>(text[offset]);
}

char LowerByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `needle` stands at byte `offset` of `text` (a character boundary).
bool MatchesAt(std::string_view text, std::size_t offset, std::string_view needle,
               bool caseSensitive) {
  if (text.size() - offset < needle.size()) return false;
  const std::string_view candidate = text.substr(offset, needle.size());
  if (caseSensitive) return candidate == needle;
  for (std::size_t i = 0; i < needle.size();) {
    const std::size_t length = CharLength(needle, i);
    if (length == 1 && Byte(needle, i) < 0x80) {
      if (LowerByte(candidate[i]) != LowerByte(needle[i])) return false;
    } else if (candidate.substr(i, length) != needle.substr(i, length)) {
      return false;
    }
    i += length;
  }
  return true;
}

// The first character boundary at or after byte `offset`.
std::size_t BoundaryAtOrAfter(std::string_view text, std::size_t offset) {
  std::size_t boundary = 0;
  while (boundary < offset && boundary < text.size()) boundary += CharLength(text, boundary);
  return boundary;
}

// The 0-based offset of the first match of a non-empty `needle` at or after the
// boundary `from`, or npos.
std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from,
                     bool caseSensitive) {
  for (std::size_t offset = from; offset < text.size(); offset += CharLength(text, offset)) {
    if (MatchesAt(text, offset, needle, caseSensitive)) return offset;
  }
  return std::string_view::npos;
}

// The first boundary from which a search starting at 1-based `start` scans, or npos
// when the start lies beyond the text.
std::size_t ScanStart(std::string_view text, int start) {
  if (start <= 1) return 0;
  const auto offset = static_cast<std::size_t>(start) - 1;
  if (offset >= text.size()) return std::string_view::npos;
  return BoundaryAtOrAfter(text, offset);
}

bool IsSpaceAt(std::string_view text, std::size_t offset, std::size_t length) {
  const std::string_view character = text.substr(offset, length);
  return character == " " || character == FullWidthSpace;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t offset) {
  return Byte(text, offset) >= 0x80 && offset + 1 < text.size() ? 2 : 1;
}

int Search(std::string_view text, std::string_view needle, int start, bool caseSensitive) {
  if (text.empty()) return NotFound;
  if (needle.empty()) return 1;
  const std::size_t from = ScanStart(text, start);
  if (from == std::string_view::npos) return NotFound;
  const std::size_t found = FindFrom(text, needle, from, caseSensitive);
  return found == std::string_view::npos ? NotFound : static_cast<int>(found) + 1;
}

int SearchLast(std::string_view text, std::string_view needle, int start, bool caseSensitive) {
  if (text.empty()) return NotFound;
  if (needle.empty()) return 1;
  const std::size_t from = ScanStart(text, start);
  if (from == std::string_view::npos) return NotFound;
  int last = NotFound;
  for (std::size_t offset = from; offset < text.size(); offset += CharLength(text, offset)) {
    if (MatchesAt(text, offset, needle, caseSensitive)) last = static_cast<int>(offset) + 1;
  }
  return last;
}

std::vector<Text> Split(std::string_view text, std::string_view delimiter) {
  std::vector<Text> items;
  if (text.empty()) return items;
  if (delimiter.empty()) {
    items.emplace_back(text);
    return items;
  }
  std::size_t itemStart = 0;
  for (std::size_t found = FindFrom(text, delimiter, 0, true); found != std::string_view::npos;
       found = FindFrom(text, delimiter, itemStart, true)) {
    items.emplace_back(text.substr(itemStart, found - itemStart));
    itemStart = found + delimiter.size();
  }
  if (itemStart < text.size()) items.emplace_back(text.substr(itemStart));
  return items;
}

Text Trim(std::string_view text) {
  std::size_t first = text.size();
  std::size_t end = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharLength(text, offset);
    if (!IsSpaceAt(text, offset, length)) {
      if (first == text.size()) first = offset;
      end = offset + length;
    }
    offset += length;
  }
  return first < end ? Text(text.substr(first, end - first)) : Text();
}

Text RemoveSpaces(std::string_view text) {
  Text result;
  result.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharLength(text, offset);
    if (!IsSpaceAt(text, offset, length)) result.append(text.substr(offset, length));
    offset += length;
  }
  return result;
}

Text ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (text.empty() || from.empty()) return Text(text);
  Text result;
  std::size_t copied = 0;
  for (std::size_t found = FindFrom(text, from, 0, true); found != std::string_view::npos;
       found = FindFrom(text, from, copied, true)) {
    result.append(text.substr(copied, found - copied));
    result.append(to);
    copied = found + from.size();
  }
  result.append(text.substr(copied));
  return result;
}

Text Lower(std::string_view text) {
  Text result(text);
  for (std::size_t offset = 0; offset < result.size();) {
    const std::size_t length = CharLength(result, offset);
    if (length == 1) result[offset] = LowerByte(result[offset]);
    offset += length;
  }
  return result;
}

Text Left(std::string_view text, int count) {
  if (count <= 0) return Text();
  return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text Right(std::string_view text, int count) {
  if (count <= 0) return Text();
  const auto length = std::min(text.size(), static_cast<std::size_t>(count));
  return Text(text.substr(text.size() - length));
}

}  // namespace signmaker
