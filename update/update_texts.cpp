#include "update/update_texts.h"

#include <cmath>
#include <cstdio>

#include "web/text_ops.h"

namespace signmaker {
namespace {

constexpr double Tolerance = 1e-7;

// `value` rounded to one decimal place, halves away from zero.
double RoundTenth(double value) {
  double whole = 0;
  const double fraction = std::modf(std::fabs(value) * 10 + 1e-12, &whole);
  if (fraction >= 0.5) whole += 1;
  return std::copysign(whole / 10, value);
}

// Shortest decimal form with at most 13 significant digits.
Text Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

}  // namespace

Text SizeText(std::int32_t value) {
  const double x = value;
  Text text;
  // Up to 1024 bytes in bytes, so that exactly 1024 also carries a unit; like 1024 KB
  // and 1024 MB, it stays in the smaller unit.
  if (RoundTenth(x) - 1024 < Tolerance) text = Number(RoundTenth(x)) + " Byte";
  if (RoundTenth(x) - 1024 > Tolerance) text = Number(RoundTenth(x / 1024)) + " KB";
  if (RoundTenth(x / 1024) - 1024 > Tolerance) text = Number(RoundTenth(x / 1048576)) + " MB";
  if (RoundTenth(x / 1048576) - 1024 > Tolerance) text = Number(RoundTenth(x / 1073741824)) + " GB";
  return text;
}

std::int32_t PercentDone(std::int32_t done, std::int32_t total) {
  if (total == 0) return 0;
  return static_cast<std::int32_t>(std::trunc(static_cast<double>(done) / total * 100));
}

Text LastUrlSegment(std::string_view url) {
  const std::vector<Text> segments = Split(url, "/");
  return segments.empty() ? Text() : segments.back();
}

}  // namespace signmaker
