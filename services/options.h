#pragma once
// The command line of signmaker-services.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace signmaker::services {

struct Options {
  int port = 0;                           // 0: a free port
  std::string version = "6.4";            // published on the version channel
  std::uint64_t packageSize = 400 * 1024; // bytes of data in the update package
};

// Largest data size of the package: it is held in memory, and the program's
// downloader counts in 32-bit signed sizes.
inline constexpr std::uint64_t MaxPackageSize = 1u << 30;

// The options of `arguments` (without the program name): --port N, --version TEXT,
// --package-size N, each as "--name value" or "--name=value". Nothing, with the
// reason in `problem`, for an unknown option, a missing or bad value, a port outside
// 0 to 65535, a version that is empty or holds "&", or a size above MaxPackageSize.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& problem);

inline constexpr const char* Usage =
    "usage: signmaker-services [--port N] [--version TEXT] [--package-size BYTES]\n"
    "  --port N             serve on 127.0.0.1:N; 0 (the default) picks a free port\n"
    "  --version TEXT       the version that the version channel publishes (6.4)\n"
    "  --package-size N     bytes of data in the update package vink.zip (409600)\n"
    "Prints the port on stdout once it listens, then one line per request on stderr.\n";

}  // namespace signmaker::services
