#pragma once
// nginx from the system serving a folder on loopback, for tests and benchmarks that
// need a real HTTP server with range requests.
//
// It runs in the foreground as a child process with a configuration generated in
// a temporary folder, on 127.0.0.1 and a free port. The destructor ends it and
// removes the temporary folder (not the served folder).

#include <cstdint>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace signmaker::testing {

class NginxServer {
 public:
  // Serves the files of `root`. A `rateLimit` above 0 limits each connection to
  // that many bytes per second. Fails the calling test (and has port 0) when nginx
  // cannot be started.
  explicit NginxServer(std::string root, std::int64_t rateLimit = 0);
  ~NginxServer();
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `path`.
  std::string Url(std::string_view path) const;

 private:
  // Starts nginx on `port`; true once it accepts connections.
  bool StartOn(int port);
  void End();

  std::string root_;
  std::int64_t rateLimit_;
  std::string folder_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace signmaker::testing
