#include "services/options.h"

#include <charconv>
#include <string_view>

namespace signmaker::services {
namespace {

std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& problem) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name != "--port" && name != "--version" && name != "--package-size") {
      problem = "unknown option " + arguments[i];
      return std::nullopt;
    }
    if (!value) {
      if (i + 1 >= arguments.size()) {
        problem = name + " needs a value";
        return std::nullopt;
      }
      value = arguments[++i];
    }
    if (name == "--port") {
      const auto port = Number(*value);
      if (!port || *port > 65535) {
        problem = "--port takes a number from 0 to 65535, not " + *value;
        return std::nullopt;
      }
      options.port = static_cast<int>(*port);
    } else if (name == "--version") {
      if (value->empty() || value->find('&') != std::string::npos) {
        problem = "--version takes a text that is not empty and holds no &";
        return std::nullopt;
      }
      options.version = *value;
    } else {
      const auto size = Number(*value);
      if (!size || *size > MaxPackageSize) {
        problem = "--package-size takes a number of bytes up to " + std::to_string(MaxPackageSize) +
                  ", not " + *value;
        return std::nullopt;
      }
      options.packageSize = *size;
    }
  }
  return options;
}

}  // namespace signmaker::services
