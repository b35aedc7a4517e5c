#include "download/file_names.h"

#include <string>

namespace signmaker {
namespace {

// Byte length of the character starting at `at`: a byte of 0x80 or above starts a
// two-byte character.
std::size_t CharLength(std::string_view text, std::size_t at) {
  return (static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size()) ? 2 : 1;
}

// Position of the last one-byte character `c` in `text`, npos when there is none.
std::size_t LastChar(std::string_view text, char c) {
  std::size_t found = std::string_view::npos;
  for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (text[at] == c) found = at;
  }
  return found;
}

std::size_t FirstChar(std::string_view text, char c) {
  for (std::size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (text[at] == c) return at;
  }
  return std::string_view::npos;
}

// The last non-empty "/"-separated piece of `path` (a trailing "/" adds no piece).
std::string_view LastPiece(std::string_view path) {
  if (!path.empty() && path.back() == '/' && LastChar(path, '/') == path.size() - 1) {
    path.remove_suffix(1);
  }
  const std::size_t slash = LastChar(path, '/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool EndsWithSlash(std::string_view path) {
  return !path.empty() && LastChar(path, '/') == path.size() - 1;
}

// A Content-Location value longer than this is not read.
constexpr std::size_t LocationLimit = 254;

}  // namespace

Text PathExtension(std::string_view path) {
  const std::size_t slash = LastChar(path, '/');
  const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = LastChar(last, '.');
  return dot == std::string_view::npos ? Text() : Text(last.substr(dot));
}

Text FileNameFromUrl(std::string_view url) {
  Text name;
  name.reserve(url.size());
  for (std::size_t at = 0; at < url.size(); at += CharLength(url, at)) {
    const std::size_t length = CharLength(url, at);
    if (length == 1 && url[at] == '\\') {
      name += '/';
    } else {
      name.append(url.substr(at, length));
    }
  }
  const std::size_t slash = LastChar(name, '/');
  if (slash != std::string_view::npos) name.erase(0, slash + 1);
  const std::size_t query = FirstChar(name, '?');
  if (query != std::string_view::npos) name.erase(query);
  return name;
}

Text DefaultFileName(const Text& url, platform::HttpClient& http, platform::Runtime& runtime) {
  if (!runtime.IsConnected()) return FileNameFromUrl(url);
  const Text agent = "我的下载" + std::to_string(runtime.MillisecondsSinceStart());
  const std::unique_ptr<platform::HttpStream> reply = http.Open(url, Text(), agent, false);
  if (!reply) return FileNameFromUrl(url);
  const std::optional<Text> location = reply->ContentLocation();
  if (!location || location->size() > LocationLimit) return FileNameFromUrl(url);
  return FileNameFromUrl(*location);
}

Text CompleteTargetPath(const Text& targetPath, const Text& url, platform::HttpClient& http,
                        platform::Runtime& runtime) {
  Text path = targetPath;
  if (PathExtension(path).empty()) {
    const Text name = DefaultFileName(url, http, runtime);
    if (!EndsWithSlash(path)) path += '/';
    path += name;
  }
  if (FirstChar(path, '.') == std::string_view::npos) {
    const Text last(LastPiece(path));
    if (!EndsWithSlash(path)) path += '/';
    path += last;
  }
  return path;
}

}  // namespace signmaker
