#include "web/url_parts.h"

#include <charconv>

#include "web/text_between.h"
#include "web/text_ops.h"

namespace signmaker {
namespace {

constexpr std::string_view Http = "http://";
constexpr std::string_view Https = "https://";

// The length of the scheme prefix at the start of `url` (any case): 8 for https,
// 7 for http, 0 for none.
std::size_t SchemeLength(std::string_view url) {
  const Text lowered = Lower(Left(url, static_cast<int>(Https.size())));
  if (lowered == Https) return Https.size();
  if (lowered.starts_with(Http)) return Http.size();
  return 0;
}

// Where the host part that begins at `from` ends. The three characters cannot be the
// second byte of a two-byte character, so a plain byte search is boundary-safe.
std::size_t HostEnd(std::string_view url, std::size_t from) {
  const std::size_t end = url.find_first_of("/?#", from);
  return end == std::string_view::npos ? url.size() : end;
}

}  // namespace

Text UrlHost(std::string_view url, bool lastTwoLabels, bool keepPort) {
  Text v = Lower(url);
  if (!v.ends_with('/')) v += '/';
  if (SchemeLength(v) == Https.size()) {
    v = TextBetween(v, Https, "/");
  } else {
    if (SchemeLength(v) == 0) v.insert(0, Http);
    v = TextBetween(v, Http, "/");
  }
  v.resize(HostEnd(v, 0));
  if (lastTwoLabels) {
    const std::vector<Text> labels = Split(v, ".");
    if (labels.size() > 1) v = labels[labels.size() - 2] + "." + labels.back();
  }
  if (!keepPort) {
    const int colon = Search(v, ":");
    if (colon != NotFound) v.resize(static_cast<std::size_t>(colon) - 1);
  }
  return v;
}

int UrlPort(std::string_view url) {
  const Text host = UrlHost(url, false, true);
  const int colon = SearchLast(host, ":");
  if (colon == NotFound) return SchemeLength(url) == Https.size() ? 443 : 80;
  const std::string_view digits = std::string_view(host).substr(static_cast<std::size_t>(colon));
  int port = 0;
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') return 0;
  const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  return parsed.ec == std::errc() ? port : 0;
}

Text UrlPath(std::string_view url) {
  const std::size_t pathStart = HostEnd(url, SchemeLength(url));
  if (pathStart == url.size()) return "/";
  const std::string_view path = url.substr(pathStart);
  return path.front() == '/' ? Text(path) : "/" + Text(path);
}

}  // namespace signmaker
