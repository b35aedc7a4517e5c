#include "platform/linux/curl_headers.h"

#include <array>
#include <string>

namespace signmaker::platform::curl {
namespace {

bool StartsWithIgnoringCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(line[i]) != lower(prefix[i])) return false;
  }
  return true;
}

bool Append(HeaderList& list, const std::string& entry) {
  curl_slist* grown = curl_slist_append(list.get(), entry.c_str());
  if (grown == nullptr) return false;
  list.release();
  list.reset(grown);
  return true;
}

}  // namespace

HeaderList RequestHeaderList(std::string_view headers) {
  HeaderList list;
  std::array<std::string_view, 3> own_lines = {"Accept:", "Expect:", "Content-Type:"};
  std::array<bool, 3> caller_has{};
  std::size_t from = 0;
  while (from < headers.size()) {
    std::size_t end = headers.find("\r\n", from);
    if (end == std::string_view::npos) end = headers.size();
    const std::string_view line = headers.substr(from, end - from);
    from = end + 2;
    if (line.empty()) continue;
    for (std::size_t i = 0; i < own_lines.size(); ++i) {
      if (StartsWithIgnoringCase(line, own_lines[i])) caller_has[i] = true;
    }
    std::string entry(line);
    // libcurl drops "Name:" (it reads it as "remove Name"); "Name;" is its way of
    // sending a line with an empty value.
    const std::size_t colon = entry.find(':');
    if (colon != std::string::npos && entry.find_first_not_of(' ', colon + 1) == std::string::npos) {
      entry.resize(colon);
      entry += ';';
    }
    if (!Append(list, entry)) return nullptr;
  }
  for (std::size_t i = 0; i < own_lines.size(); ++i) {
    if (!caller_has[i] && !Append(list, std::string(own_lines[i]))) return nullptr;
  }
  return list;
}

}  // namespace signmaker::platform::curl
