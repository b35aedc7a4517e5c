#include "tests/support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace signmaker::testing {
namespace {

// How long one wait for socket activity lasts before the stop flag is looked at again.
constexpr int PollMilliseconds = 50;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

void SendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

std::string RecordedRequest::RequestLine() const { return head.substr(0, head.find("\r\n")); }

std::string RecordedRequest::HeaderLines() const {
  const std::size_t first = head.find("\r\n");
  if (first == std::string::npos || head.size() < first + 4) return {};
  return head.substr(first + 2, head.size() - first - 4);
}

std::optional<std::string> RecordedRequest::Header(std::string_view name) const {
  const std::string lines = HeaderLines();
  std::size_t from = 0;
  while (from < lines.size()) {
    std::size_t end = lines.find("\r\n", from);
    if (end == std::string::npos) end = lines.size();
    const std::string_view line(lines.data() + from, end - from);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoringCase(line.substr(0, colon), name)) {
      return std::string(Trimmed(line.substr(colon + 1)));
    }
    from = end + 2;
  }
  return std::nullopt;
}

std::string HttpResponse(int status, std::string_view headers, std::string_view body) {
  std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  reply += headers;
  reply += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  reply += body;
  return reply;
}

ScriptedHttpServer::ScriptedHttpServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 64) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ADD_FAILURE() << "the scripted HTTP server cannot listen on loopback";
    return;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (acceptor_.joinable()) acceptor_.join();
  // The acceptor has ended, so nobody adds to the list any more.
  for (std::thread& connection : connections_) connection.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string ScriptedHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void ScriptedHttpServer::Enqueue(ScriptedReply reply) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(reply));
}

void ScriptedHttpServer::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<RecordedRequest> ScriptedHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool ScriptedHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

void ScriptedHttpServer::AcceptLoop() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
    }
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, PollMilliseconds) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, connection] { Serve(connection); });
  }
}

ScriptedReply ScriptedHttpServer::ReplyFor(const RecordedRequest& request) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    changed_.notify_all();
    if (!queue_.empty()) {
      ScriptedReply reply = std::move(queue_.front());
      queue_.pop_front();
      return reply;
    }
    handler = handler_;
  }
  // The handler runs without the lock, so that it may look at the server.
  if (handler) return handler(request);
  return ScriptedReply{HttpResponse(404)};
}

bool ScriptedHttpServer::Hold(std::chrono::milliseconds span) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, span, [this] { return stopping_; });
  return !stopping_;
}

void ScriptedHttpServer::Serve(int connection) {
  std::string received;
  // Reads more bytes into `received`; false when the peer closed or the server stops.
  const auto read_more = [&] {
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
      }
      pollfd waiting{connection, POLLIN, 0};
      if (::poll(&waiting, 1, PollMilliseconds) <= 0) continue;
      char block[4096];
      const ssize_t count = ::recv(connection, block, sizeof block, 0);
      if (count <= 0) return false;
      received.append(block, static_cast<std::size_t>(count));
      return true;
    }
  };

  bool open = true;
  while (open) {
    std::size_t head_end;
    while ((head_end = received.find("\r\n\r\n")) == std::string::npos) {
      if (!read_more()) {
        open = false;
        break;
      }
    }
    if (!open) break;
    RecordedRequest request;
    request.head = received.substr(0, head_end + 4);
    received.erase(0, head_end + 4);
    const std::size_t body_length =
        std::strtoull(request.Header("Content-Length").value_or("0").c_str(), nullptr, 10);
    while (received.size() < body_length && read_more()) {
    }
    const std::size_t taken = std::min(body_length, received.size());
    request.body = received.substr(0, taken);
    received.erase(0, taken);

    const ScriptedReply reply = ReplyFor(request);
    SendAll(connection, reply.bytes);
    if (reply.holdFor.count() > 0 && !Hold(reply.holdFor)) break;
    open = reply.keepAlive;
  }
  ::shutdown(connection, SHUT_RDWR);
  ::close(connection);
}

}  // namespace signmaker::testing
