#include "tests/support/nginx_server.h"

#include <arpa/inet.h>
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
#include <fstream>
#include <thread>
#include <vector>

extern char** environ;

namespace signmaker::testing {
namespace {

constexpr const char* NginxProgram = "/usr/sbin/nginx";
constexpr auto StartLimit = std::chrono::seconds(20);
constexpr auto StepWait = std::chrono::milliseconds(20);

// A port that was free a moment ago.
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

}  // namespace

NginxServer::NginxServer(std::string root, std::int64_t rateLimit)
    : root_(std::move(root)), rateLimit_(rateLimit) {
  std::string pattern = (std::filesystem::temp_directory_path() / "nginx-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "no temporary folder for nginx";
    return;
  }
  folder_ = pattern;
  for (int attempt = 0; attempt < 5 && port_ == 0; ++attempt) {
    const int port = FreePort();
    if (port != 0 && StartOn(port)) port_ = port;
  }
  if (port_ == 0) ADD_FAILURE() << "nginx did not start; see " << folder_ << "/error.log";
}

NginxServer::~NginxServer() {
  End();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string NginxServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

bool NginxServer::StartOn(int port) {
  const std::string conf = folder_ + "/nginx.conf";
  {
    std::ofstream out(conf, std::ios::trunc);
    out << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
        << "pid " << folder_ << "/nginx.pid;\n"
        << "error_log " << folder_ << "/error.log warn;\n"
        << "events { worker_connections 256; }\n"
        << "http {\n  access_log off;\n  default_type application/octet-stream;\n"
        << "  client_body_temp_path " << folder_ << "/body;\n"
        << "  proxy_temp_path " << folder_ << "/proxy;\n"
        << "  fastcgi_temp_path " << folder_ << "/fastcgi;\n"
        << "  uwsgi_temp_path " << folder_ << "/uwsgi;\n"
        << "  scgi_temp_path " << folder_ << "/scgi;\n"
        << "  sendfile on;\n"
        << "  server {\n    listen 127.0.0.1:" << port << ";\n"
        << "    root " << root_ << ";\n";
    if (rateLimit_ > 0) out << "    limit_rate " << rateLimit_ << ";\n";
    out << "  }\n}\n";
    if (!out) return false;
  }
  const std::string errorLog = folder_ + "/error.log";
  std::vector<std::string> words = {NginxProgram, "-e", errorLog, "-p", folder_, "-c", conf};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  if (::posix_spawn(&pid_, NginxProgram, nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + StartLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {  // it gave up, most likely on the port
      pid_ = -1;
      return false;
    }
    if (Accepts(port)) return true;
    std::this_thread::sleep_for(StepWait);
  }
  End();
  return false;
}

void NginxServer::End() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + StartLimit;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(StepWait);
  }
  pid_ = -1;
}

}  // namespace signmaker::testing
