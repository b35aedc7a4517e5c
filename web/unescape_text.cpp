#include "web/unescape_text.h"

#include <optional>
#include <string>

#include "web/text_ops.h"

namespace signmaker {
namespace {

// Placeholders for what a single-quoted literal on one line cannot carry.
constexpr std::string_view LineBreak = "\r\n";
constexpr std::string_view LineBreakPlaceholder = "{$}";
constexpr std::string_view Apostrophe = "'";
constexpr std::string_view ApostrophePlaceholder = "\xA1\xAF";  // ’ in GBK

bool IsLineTerminator(char16_t unit) {
  return unit == u'\n' || unit == u'\r' || unit == u'\u2028' || unit == u'\u2029';
}

// The value of the hexadecimal digit `unit`, or -1.
int HexValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  return -1;
}

// The number written by the `count` hexadecimal digits at `at`, or nullopt.
std::optional<char16_t> HexNumber(std::u16string_view units, std::size_t at, std::size_t count) {
  if (at + count > units.size()) return std::nullopt;
  unsigned value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    const int digit = HexValue(units[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<char16_t>(value);
}

// The value of a single-quoted string literal whose body is `body`; nullopt when
// such a literal would not be valid.
std::optional<std::u16string> LiteralValue(std::u16string_view body) {
  std::u16string value;
  value.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char16_t unit = body[i];
    if (IsLineTerminator(unit)) return std::nullopt;
    if (unit != u'\\') {
      value += unit;
      continue;
    }
    // A backslash at the end would escape the closing quote.
    if (++i == body.size()) return std::nullopt;
    const char16_t escaped = body[i];
    switch (escaped) {
      case u'n': value += u'\n'; break;
      case u'r': value += u'\r'; break;
      case u't': value += u'\t'; break;
      case u'b': value += u'\b'; break;
      case u'f': value += u'\f'; break;
      case u'v': value += u'\v'; break;
      case u'0': value += u'\0'; break;
      case u'x':
        if (const auto code = HexNumber(body, i + 1, 2)) {
          value += *code;
          i += 2;
        } else {
          value += escaped;
        }
        break;
      default:
        // A backslash before a line terminator continues the literal on the next line.
        if (!IsLineTerminator(escaped)) value += escaped;
    }
  }
  return value;
}

// The script's `unescape`: %XX and %uXXXX become the code units they name.
std::u16string Unescape(std::u16string_view units) {
  std::u16string value;
  value.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'%') {
      if (i + 1 < units.size() && units[i + 1] == u'u') {
        if (const auto code = HexNumber(units, i + 2, 4)) {
          value += *code;
          i += 5;
          continue;
        }
      }
      if (const auto code = HexNumber(units, i + 1, 2)) {
        value += *code;
        i += 2;
        continue;
      }
    }
    value += units[i];
  }
  return value;
}

}  // namespace

Text UnescapeText(std::string_view text, const platform::CodeConversion& conversion) {
  Text prepared = ReplaceAll(text, LineBreak, LineBreakPlaceholder);
  if (!prepared.empty() && prepared.front() == '\r') prepared.erase(0, 1);
  prepared = ReplaceAll(prepared, "\\u", "%u");
  prepared = ReplaceAll(prepared, Apostrophe, ApostrophePlaceholder);

  const std::optional<std::u16string> literal = LiteralValue(conversion.GbkToUtf16(prepared));
  if (!literal) return Text();
  Text decoded = conversion.Utf16ToGbk(Unescape(*literal));
  decoded = ReplaceAll(decoded, ApostrophePlaceholder, Apostrophe);
  return ReplaceAll(decoded, LineBreakPlaceholder, LineBreak);
}

}  // namespace signmaker
