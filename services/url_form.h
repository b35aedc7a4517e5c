#pragma once
// Reading an application/x-www-form-urlencoded body.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace signmaker::services {

using FormField = std::pair<std::string, std::string>;  // name and value, both decoded

// The bytes that a percent-encoded text stands for ("%E4%B8%AD" gives the three
// bytes E4 B8 AD, "+" a blank). Nothing when a "%" is not followed by two
// hexadecimal digits.
std::optional<std::string> PercentDecoded(std::string_view encoded);

// The fields of a form body in their order; a field without "=" has an empty value.
// Nothing when a name or value holds a broken escape.
std::optional<std::vector<FormField>> FormFields(std::string_view body);

// Whether `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

}  // namespace signmaker::services
