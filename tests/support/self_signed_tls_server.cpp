#include "tests/support/self_signed_tls_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace signmaker::testing {
namespace {

// How long the server may take to come up.
constexpr auto StartLimit = std::chrono::seconds(20);

// Starts `arguments` with its output thrown away; -1 when it cannot be started.
pid_t Start(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = -1;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : child;
}

bool RunToEnd(const std::vector<std::string>& arguments) {
  const pid_t child = Start(arguments);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

// A port that was free a moment ago; 0 when none could be found.
int FreePort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  int port = 0;
  if (probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (probe >= 0) ::close(probe);
  return port;
}

bool Accepts(int port) {
  const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (client < 0) return false;
  const sockaddr_in address = Loopback(port);
  const bool connected =
      ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(client);
  return connected;
}

}  // namespace

SelfSignedTlsServer::SelfSignedTlsServer() {
  std::string pattern = (std::filesystem::temp_directory_path() / "signmaker-tls-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "no temporary folder for the TLS server";
    return;
  }
  folder_ = pattern;
  const std::string key = folder_ + "/key.pem";
  const std::string certificate = folder_ + "/certificate.pem";
  if (!RunToEnd({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                 "/CN=127.0.0.1", "-keyout", key, "-out", certificate})) {
    ADD_FAILURE() << "openssl could not make a self-signed certificate";
    return;
  }
  port_ = FreePort();
  server_ = Start({"openssl", "s_server", "-quiet", "-www", "-accept",
                   "127.0.0.1:" + std::to_string(port_), "-key", key, "-cert", certificate});
  if (port_ == 0 || server_ < 0) {
    ADD_FAILURE() << "openssl s_server could not be started";
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + StartLimit;
  while (!(ready_ = Accepts(port_)) && std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(server_, &status, WNOHANG) == server_) {
      server_ = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ready_) ADD_FAILURE() << "the TLS server did not come up on port " << port_;
}

SelfSignedTlsServer::~SelfSignedTlsServer() {
  if (server_ > 0) {
    ::kill(server_, SIGTERM);
    int status = 0;
    ::waitpid(server_, &status, 0);
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string SelfSignedTlsServer::Url(std::string_view path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

}  // namespace signmaker::testing
