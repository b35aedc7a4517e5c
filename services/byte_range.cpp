#include "services/byte_range.h"

#include <charconv>
#include <optional>

namespace signmaker::services {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal number made of digits only; nothing for anything else or an overflow.
std::optional<std::uint64_t> Number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

ByteRange RangeOf(std::string_view header, std::uint64_t size) {
  const ByteRange whole;
  header = Trimmed(header);
  constexpr std::string_view unit = "bytes=";
  if (header.size() < unit.size()) return whole;
  for (std::size_t i = 0; i < unit.size(); ++i) {
    const char c = header[i];
    if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != unit[i]) return whole;
  }
  const std::string_view ranges = Trimmed(header.substr(unit.size()));
  if (ranges.find(',') != std::string_view::npos) return whole;
  const std::size_t dash = ranges.find('-');
  if (dash == std::string_view::npos) return whole;
  const std::string_view from = Trimmed(ranges.substr(0, dash));
  const std::string_view to = Trimmed(ranges.substr(dash + 1));

  if (from.empty()) {  // "-N": the last N bytes
    const auto count = Number(to);
    if (!count) return whole;
    if (*count == 0 || size == 0) return {ByteRange::Kind::Unsatisfiable};
    const std::uint64_t taken = *count < size ? *count : size;
    return {ByteRange::Kind::Part, size - taken, size - 1};
  }
  const auto first = Number(from);
  if (!first) return whole;
  std::uint64_t last = 0;
  if (to.empty()) {
    last = size == 0 ? 0 : size - 1;
  } else {
    const auto end = Number(to);
    if (!end || *end < *first) return whole;
    last = *end;
  }
  if (*first >= size) return {ByteRange::Kind::Unsatisfiable};
  if (last >= size) last = size - 1;
  return {ByteRange::Kind::Part, *first, last};
}

}  // namespace signmaker::services
