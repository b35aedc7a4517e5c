#pragma once
// A TLS server on loopback whose certificate nobody trusts, for tests of
// certificate checks. It runs `openssl s_server` with a key and a self-signed
// certificate made at start in a temporary folder; every request over TLS gets a
// small status page. The destructor ends the server and removes the folder.

#include <string>
#include <string_view>
#include <sys/types.h>

namespace signmaker::testing {

class SelfSignedTlsServer {
 public:
  // Starts the server and waits (bounded) until it accepts connections; fails the
  // calling test when it cannot. Ready() tells whether it came up.
  SelfSignedTlsServer();
  ~SelfSignedTlsServer();
  SelfSignedTlsServer(const SelfSignedTlsServer&) = delete;
  SelfSignedTlsServer& operator=(const SelfSignedTlsServer&) = delete;

  bool Ready() const { return ready_; }
  int Port() const { return port_; }
  // "https://127.0.0.1:PORT" followed by `path`.
  std::string Url(std::string_view path = "/") const;

 private:
  std::string folder_;
  int port_ = 0;
  pid_t server_ = -1;
  bool ready_ = false;
};

}  // namespace signmaker::testing
