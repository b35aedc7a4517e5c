// HttpClient::Open on libcurl: a GET whose reply is read piece by piece. The
// transfer runs on a multi handle that only Read pumps, so a reader that stops
// reading stops the transfer too (the body callback pauses it while a piece is
// still unread).
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/curl_headers.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/curl_session.h"

namespace signmaker::platform {
namespace {

struct MultiDeleter {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The value of the first header line called `name` among `lines`, trimmed.
std::optional<std::string> HeaderValue(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    std::string_view view(line);
    if (view.size() > name.size() && view[name.size()] == ':' && StartsWithNoCase(view, name)) {
      return std::string(Trimmed(view.substr(name.size() + 1)));
    }
  }
  return std::nullopt;
}

// The "\r\n"-separated lines of a header text.
std::vector<std::string> LinesOf(std::string_view headers) {
  std::vector<std::string> lines;
  while (!headers.empty()) {
    const std::size_t end = std::min(headers.find("\r\n"), headers.size());
    lines.emplace_back(headers.substr(0, end));
    headers.remove_prefix(std::min(headers.size(), end + 2));
  }
  return lines;
}

// "HTTP/1.1 206 Partial Content" -> 206; 0 when the line holds no status.
int StatusOf(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos || line.size() < space + 4) return 0;
  int status = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    status = status * 10 + (line[i] - '0');
  }
  return status;
}

class CurlStream final : public HttpStream {
 public:
  explicit CurlStream(bool followRedirects) : follow_(followRedirects) {}

  ~CurlStream() override {
    if (multi_ && easy_) curl_multi_remove_handle(multi_.get(), easy_.get());
  }
  CurlStream(const CurlStream&) = delete;
  CurlStream& operator=(const CurlStream&) = delete;

  // Sends the request and waits for the reply's headers; false when none came.
  bool Start(const Text& url, const Text& headers, const Text& agent) {
    easy_ = curl::NewEasyHandle();
    multi_.reset(curl_multi_init());
    if (!easy_ || !multi_) return false;
    CURL* h = easy_.get();

    headers_ = curl::RequestHeaderList(headers);
    if (!headers_) return false;
    curl_slist* grown = curl_slist_append(headers_.get(), "Pragma: no-cache");
    if (grown == nullptr) return false;
    const bool agentInHeaders = HeaderValue(LinesOf(headers), "User-Agent").has_value();

    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers_.get());
    if (!agentInHeaders && !agent.empty()) curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, follow_ ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &CurlStream::OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlStream::OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    if (curl_multi_add_handle(multi_.get(), h) != CURLM_OK) return false;

    Pump([this] { return headersDone_; });
    // A transfer that ended after a complete status line still brought a reply.
    return headersDone_ || (finished_ && !lines_.empty() && result_ == CURLE_OK);
  }

  long Read(std::uint8_t* buffer, std::size_t capacity) override {
    if (capacity == 0) return 0;
    Pump([this] { return Unread() > 0; });
    if (Unread() == 0) return result_ == CURLE_OK ? 0 : -1;
    const std::size_t count = std::min(capacity, Unread());
    std::memcpy(buffer, piece_.data() + pieceFrom_, count);
    pieceFrom_ += count;
    return static_cast<long>(count);
  }

  std::optional<std::int64_t> ContentLength() const override {
    const std::optional<std::string> value = HeaderValue(lines_, "Content-Length");
    if (!value || value->empty()) return std::nullopt;
    std::string_view digits(*value);
    const bool negative = digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    std::int64_t length = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      length = length * 10 + (c - '0');
    }
    return negative ? -length : length;
  }

  std::optional<Text> ContentLocation() const override { return HeaderValue(lines_, "Content-Location"); }

 private:
  std::size_t Unread() const { return piece_.size() - pieceFrom_; }

  // Runs the transfer until `ready` holds or the transfer has ended.
  template <typename Ready>
  void Pump(Ready ready) {
    while (!ready() && !finished_) {
      if (paused_ && Unread() == 0) {
        paused_ = false;
        // May hand over the held piece at once, through OnBody.
        curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
        continue;
      }
      int running = 0;
      if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        Finish(CURLE_FAILED_INIT);
        break;
      }
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
        if (message->msg == CURLMSG_DONE) Finish(message->data.result);
      }
      if (ready() || finished_) break;
      curl_multi_poll(multi_.get(), nullptr, 0, 1000, nullptr);
    }
  }

  void Finish(CURLcode result) {
    finished_ = true;
    result_ = result;
  }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* stream = static_cast<CurlStream*>(self);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
      stream->lines_.clear();
      stream->status_ = StatusOf(line);
      stream->headersDone_ = false;
    } else if (line == "\r\n" || line == "\n") {
      const bool interim = stream->status_ < 200;
      const bool followed = stream->follow_ && stream->status_ >= 300 && stream->status_ < 400 &&
                            HeaderValue(stream->lines_, "Location").has_value();
      stream->headersDone_ = !interim && !followed;
      return line.size();
    }
    stream->lines_.emplace_back(line);
    return line.size();
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* stream = static_cast<CurlStream*>(self);
    // Hold the transfer until the reader has taken the previous piece.
    if (stream->Unread() > 0) {
      stream->paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    stream->headersDone_ = true;
    stream->piece_.assign(data, size * count);
    stream->pieceFrom_ = 0;
    return size * count;
  }

  const bool follow_;
  MultiHandle multi_;
  curl::HeaderList headers_;
  curl::EasyHandle easy_;
  std::vector<std::string> lines_;  // status line and header lines of the latest reply
  int status_ = 0;
  bool headersDone_ = false;
  std::string piece_;  // the latest body piece; bytes from pieceFrom_ on are unread
  std::size_t pieceFrom_ = 0;
  bool paused_ = false;
  bool finished_ = false;
  CURLcode result_ = CURLE_OK;
};

}  // namespace

std::unique_ptr<HttpStream> CurlHttpClient::Open(const Text& url, const Text& headers, const Text& agent,
                                                 bool followRedirects) {
  auto stream = std::make_unique<CurlStream>(followRedirects);
  if (!stream->Start(url, headers, agent)) return nullptr;
  return stream;
}

}  // namespace signmaker::platform
