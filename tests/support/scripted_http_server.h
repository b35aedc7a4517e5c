#pragma once
// A scripted HTTP server on loopback for network tests.
//
// It listens on 127.0.0.1 on a free port, records the raw bytes of every request
// (head and, by Content-Length, body) and answers each one with raw bytes chosen
// by the test: a queue of replies taken in order, or a handler that looks at the
// request. It can misbehave on purpose: close without replying, send part of a
// reply and close, hold a connection silent for a bounded time, send any headers.
// Every connection is served on its own thread; all members may be called from
// any thread. The destructor stops the server and ends every held connection.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace signmaker::testing {

// One request as it reached the server.
struct RecordedRequest {
  std::string head;  // request line and header lines, up to and including the empty line
  std::string body;  // the Content-Length bytes after the head (fewer when the client stopped)

  // The first line, without its line break ("POST /x HTTP/1.1").
  std::string RequestLine() const;
  // The header lines after the request line, each ended by "\r\n", without the empty line.
  std::string HeaderLines() const;
  // The value of the first header line called `name` (case-insensitive), trimmed.
  std::optional<std::string> Header(std::string_view name) const;
};

// What the server does with one request.
struct ScriptedReply {
  std::string bytes;                      // sent as they are; empty: nothing is sent
  std::chrono::milliseconds holdFor{0};   // then the connection stays open and silent this long
  bool keepAlive = false;                 // then read the next request on the same connection
                                          // instead of closing it
};

// A complete reply: the status line, `headers` (lines each ended by "\r\n"), a
// Content-Length line for `body`, "Connection: close", the empty line and the body.
std::string HttpResponse(int status, std::string_view headers = {}, std::string_view body = {});

class ScriptedHttpServer {
 public:
  using Handler = std::function<ScriptedReply(const RecordedRequest&)>;

  // Starts listening; fails the calling test (and has port 0) when it cannot.
  ScriptedHttpServer();
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `path`.
  std::string Url(std::string_view path = "/") const;

  // Queues the reply to the next request that finds the queue non-empty.
  void Enqueue(ScriptedReply reply);
  void Enqueue(std::string bytes) { Enqueue(ScriptedReply{std::move(bytes)}); }
  // Answers requests when the queue is empty (default: 404 with an empty body).
  void SetHandler(Handler handler);

  // The requests received so far, in the order in which their heads arrived.
  std::vector<RecordedRequest> Requests() const;
  // Waits until `count` requests have arrived or `limit` has passed; true when they have.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const;

 private:
  void AcceptLoop();
  void Serve(int connection);
  ScriptedReply ReplyFor(const RecordedRequest& request);
  // Sleeps up to `span`, less when the server stops; false once it has stopped.
  bool Hold(std::chrono::milliseconds span);

  int listener_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  std::deque<ScriptedReply> queue_;
  Handler handler_;
  std::vector<RecordedRequest> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace signmaker::testing
