// Run-time services on Linux: getifaddrs, the XDG desktop folder, POSIX files and
// extended attributes, and the program-end routines.

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/code_conversion.h"
#include "platform/linux/file_descriptor.h"
#include "platform/runtime.h"

namespace signmaker::platform {
namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return {};
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs, with "$HOME" expanded; empty
// when the file or the line is missing or the value is neither absolute nor
// relative to $HOME.
std::string DesktopFromUserDirs(const std::string& home) {
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    config = xdg;
  } else if (!home.empty()) {
    config = home + "/.config";
  } else {
    return {};
  }
  std::ifstream dirs(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DESKTOP_DIR=";
  std::string found;
  while (std::getline(dirs, line)) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    if (value.size() < 2 || value.front() != '"') continue;
    const auto close = value.find('"', 1);
    if (close == std::string::npos) continue;
    value = value.substr(1, close - 1);
    if (value.rfind("$HOME", 0) == 0) {
      found = home + value.substr(5);
    } else if (!value.empty() && value.front() == '/') {
      found = value;
    }
  }
  return found;
}

// Program-end routines run once, whichever way the program ends.
std::mutex end_routines_mutex;
std::vector<void (*)()> end_routines;
std::atomic<bool> end_routines_ran{false};

void RunEndRoutines() {
  if (end_routines_ran.exchange(true)) return;
  std::vector<void (*)()> routines;
  {
    std::lock_guard<std::mutex> lock(end_routines_mutex);
    routines = end_routines;
  }
  for (auto it = routines.rbegin(); it != routines.rend(); ++it) (*it)();
}

class PosixRuntime final : public Runtime {
 public:
  bool IsConnected() override {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool connected = false;
    for (const ifaddrs* entry = list; entry != nullptr && !connected; entry = entry->ifa_next) {
      if (entry->ifa_addr == nullptr) continue;
      const int family = entry->ifa_addr->sa_family;
      connected = (entry->ifa_flags & IFF_UP) != 0 && (entry->ifa_flags & IFF_LOOPBACK) == 0 &&
                  (family == AF_INET || family == AF_INET6);
    }
    freeifaddrs(list);
    return connected;
  }

  // The folder is created when it does not exist yet, so that a picture saved there
  // is not lost.
  Text DesktopFolder() override {
    const std::string home = HomeFolder();
    std::string desktop = DesktopFromUserDirs(home);
    if (desktop.empty()) {
      if (home.empty()) return {};
      desktop = home + "/Desktop";
    }
    while (desktop.size() > 1 && desktop.back() == '/') desktop.pop_back();
    std::error_code error;
    std::filesystem::create_directories(desktop, error);
    if (!std::filesystem::is_directory(desktop, error)) return {};
    return CodeConversion::Default().Utf8ToGbk(desktop + "/");
  }

  Text CurrentDirectory() override {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    return CodeConversion::Default().Utf8ToGbk(buffer.data());
  }

  // The bytes go to a new file beside the target that then takes the target's name,
  // so that a reader (or a process that has the old file mapped) never sees a file
  // half written, and a failed write leaves the old file as it was.
  bool WriteFile(const Text& path, const Bytes& bytes) override {
    const std::string name = CodeConversion::Default().GbkToUtf8(path);
    const auto slash = name.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty()) return false;
    std::string temporary = folder + "." + base + ".XXXXXX";
    FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.Valid()) return false;
    bool ok = fchmod(file.Get(), 0644) == 0;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
      const ssize_t n = write(file.Get(), bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) written += static_cast<std::size_t>(n);
    }
    ok = file.Close() && ok;
    ok = ok && rename(temporary.c_str(), name.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
  }

  // Recorded as "0x" and the hexadecimal attribute word, the text form that file
  // servers and Windows compatibility layers read.
  bool SetFileAttributes(const Text& path, std::uint32_t attributes) override {
    const std::string name = CodeConversion::Default().GbkToUtf8(path);
    char value[16];
    const int length = std::snprintf(value, sizeof value, "0x%x", attributes);
    return setxattr(name.c_str(), "user.DOSATTRIB", value, static_cast<std::size_t>(length), 0) == 0;
  }

  std::uint32_t MillisecondsSinceStart() override {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
  }

  void AtProgramEnd(void (*routine)()) override {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(RunEndRoutines); });
    std::lock_guard<std::mutex> lock(end_routines_mutex);
    end_routines.push_back(routine);
  }

  // The routines run here, then the process ends without the static destructors of
  // a window system that is still running.
  [[noreturn]] void EndProcess(int code) override {
    RunEndRoutines();
    std::fflush(nullptr);
    _exit(code);
  }
};

}  // namespace

Runtime& Runtime::Default() {
  static PosixRuntime runtime;
  return runtime;
}

}  // namespace signmaker::platform
