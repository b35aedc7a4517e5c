// The skin engine on Linux: the library is opened once, its bytes are read from that
// open descriptor and compared, and the same descriptor is loaded via /proc/self/fd.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/code_conversion.h"
#include "platform/linux/file_descriptor.h"
#include "platform/skin_engine.h"

namespace signmaker::platform {
namespace {

// True when the regular file behind `fd` holds exactly `expected`.
bool HoldsExactly(int fd, std::span<const std::uint8_t> expected) {
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uint64_t>(status.st_size) != expected.size()) {
    return false;
  }
  std::uint8_t buffer[65536];
  std::size_t at = 0;
  while (at < expected.size()) {
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(at));
    if (got <= 0 || static_cast<std::size_t>(got) > expected.size() - at ||
        !std::equal(buffer, buffer + got, expected.begin() + static_cast<std::ptrdiff_t>(at))) {
      return false;
    }
    at += static_cast<std::size_t>(got);
  }
  // Nothing may follow the expected bytes either.
  return ::pread(fd, buffer, 1, static_cast<off_t>(at)) == 0;
}

class DlSkinEngine final : public SkinEngine {
 public:
  std::optional<int> Attach(const Text& libraryPath, std::span<const std::uint8_t> expected,
                            const Text& skinFile, const Text& password) override {
    const std::string path = CodeConversion::Default().GbkToUtf8(libraryPath);
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0 || !HoldsExactly(file.Get(), expected)) return std::nullopt;

    // The loader opens the descriptor's own file, the one whose bytes were compared.
    const std::string viaDescriptor = "/proc/self/fd/" + std::to_string(file.Get());
    void* library = ::dlopen(viaDescriptor.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return std::nullopt;
    using AttachEntry = int (*)(const char*, const char*);
    const auto entry = reinterpret_cast<AttachEntry>(::dlsym(library, "SkinH_AttachEx"));
    if (entry == nullptr) {
      ::dlclose(library);
      return std::nullopt;
    }
    // The library stays loaded for the rest of the run: it has worked on the window
    // system's state, and unloading such a library is not safe.
    return entry(skinFile.c_str(), password.c_str());
  }
};

}  // namespace

SkinEngine& SkinEngine::Default() {
  static DlSkinEngine engine;
  return engine;
}

}  // namespace signmaker::platform
