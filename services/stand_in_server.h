#pragma once
// The stand-in services on one loopback HTTP server: the sign endpoints with their
// pictures, the version channel and the update package.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "services/sign_forms.h"

namespace signmaker::services {

struct StandInConfig {
  std::vector<SignStyle> styles;  // the forms that the sign endpoints accept
  std::string version = "6.4";    // published on the version channel; no "&"
  std::string package;            // the bytes of /vink.zip
  // Receives one line per request, without line break, from the serving threads
  // one at a time. May be empty.
  std::function<void(std::string_view)> log;
};

class StandInServer {
 public:
  explicit StandInServer(StandInConfig config);
  ~StandInServer();
  StandInServer(const StandInServer&) = delete;
  StandInServer& operator=(const StandInServer&) = delete;

  // Binds 127.0.0.1:`port` (0: a free port) and gives the port, or -1 when the
  // port cannot be bound.
  int Bind(int port);
  // Serves the bound port until Stop; returns false when it could not serve.
  bool Serve();
  // Ends Serve from any thread.
  void Stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace signmaker::services
