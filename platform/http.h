#pragma once
// HTTP transport: the one way the program talks to web servers.
//
// Every request honours SIGNMAKER_CONNECT_TO (curl's --connect-to form
// HOST:PORT:CONNECT_HOST:CONNECT_PORT, comma-separated): the request keeps its
// URL and Host line and is only connected elsewhere. No operation throws; all
// of them may be called from any thread, and each request has finite time
// limits so that a silent server cannot hold its caller for ever.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/types.h"

namespace signmaker::platform {

// One request as the form-posting routine sends it.
struct HttpRequest {
  Text verb = "GET";            // request-line verb, sent as given
  Text host;                    // connect to this host ...
  int port = 80;                // ... on this port (outside 1 to 65535: 80, or 443 when secure)
  Text path = "/";              // request target, query included, sent as given but for a fragment
                                // (not sent), spaces and control bytes, and non-ASCII bytes before
                                // the query (percent-encoded)
  bool secure = false;          // TLS with certificate and host-name checks
  Text agent;                   // User-Agent (up to a line break), unless `headers` carries a User-Agent line of its own
  Text headers;                 // header lines separated by "\r\n", no trailing line break, sent in this order
  std::optional<Bytes> body;    // sent with a Content-Length when present (even when empty)
  bool useCookieStore = true;   // true: the process-wide cookie store adds and keeps cookies; false: none at all
  bool followRedirects = true;  // redirects are followed, http to https included
  std::optional<Text> proxy;    // present: plain-HTTP requests go through this "host:port" proxy
};

struct HttpReply {
  Bytes body;                     // the body bytes received, also those before a failure
  std::optional<Text> rawHeaders; // the final reply's status line and header lines, each ended by
                                  // "\r\n", then an empty line; nullopt when no reply came
};

// A reply being read: the request has been sent and the reply's headers have arrived.
// Destroying it closes the request.
class HttpStream {
 public:
  virtual ~HttpStream() = default;

  // Reads up to `capacity` body bytes into `buffer`, blocking until some arrive.
  // Returns the count, 0 at the end of the body, -1 when the transfer failed.
  // One thread at a time.
  virtual long Read(std::uint8_t* buffer, std::size_t capacity) = 0;

  // The reply's Content-Length; nullopt when it has none or it is not a number.
  virtual std::optional<std::int64_t> ContentLength() const = 0;

  // The value of the reply's Content-Location line, trimmed; nullopt when it has none.
  virtual std::optional<Text> ContentLocation() const = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;

  // Sends `request` and reads the whole reply. Never fails as such: a request that
  // could not be sent gives empty body bytes and no raw headers.
  virtual HttpReply Send(const HttpRequest& request) = 0;

  // Plain GET of `url` (no cookies or form of the caller's), redirects followed.
  // Returns the body whatever the status; empty bytes when the fetch fails.
  virtual Bytes Get(const Text& url) = 0;

  // GET of `url` with `headers` ("\r\n"-separated lines, no trailing break) and the
  // User-Agent `agent` (unless the headers carry one), then a "Pragma: no-cache" line;
  // no cache, no cookie store.
  // Returns once the reply's headers have arrived; nullptr when no reply came
  // (connection refused, host not found, time limit). The status is not examined.
  virtual std::unique_ptr<HttpStream> Open(const Text& url, const Text& headers, const Text& agent,
                                           bool followRedirects) = 0;

  // The process's libcurl-backed client.
  static HttpClient& Default();
};

}  // namespace signmaker::platform
