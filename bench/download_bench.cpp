// Download benchmark on loopback nginx: this program's range downloader beside
// curl (one connection) and aria2c (ten connections, 1 MiB pieces), on the same
// file in the same run, with and without a per-connection rate limit.
// Prints wall and CPU time per tool as a table.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "download/multi_downloader.h"
#include "tests/support/nginx_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using signmaker::testing::NginxServer;

struct Measure {
  double wall = 0;
  double cpu = 0;
  bool identical = false;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double CpuOf(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

bool SameFile(const fs::path& a, const fs::path& b) {
  if (!fs::exists(a) || !fs::exists(b) || fs::file_size(a) != fs::file_size(b)) return false;
  const std::string command = "cmp -s '" + a.string() + "' '" + b.string() + "'";
  return std::system(command.c_str()) == 0;
}

// Runs a program to its end; its wall time and the CPU time of it and its children.
Measure RunProgram(std::vector<std::string> words, const fs::path& output, const fs::path& source) {
  fs::remove(output);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const double cpuBefore = CpuOf(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  Measure measure;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return measure;
  int status = 0;
  waitpid(pid, &status, 0);
  measure.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measure.cpu = CpuOf(RUSAGE_CHILDREN) - cpuBefore;
  measure.identical = WIFEXITED(status) && WEXITSTATUS(status) == 0 && SameFile(output, source);
  return measure;
}

// One download with this program's downloader, ten threads, waited for.
Measure RunDownloader(const std::string& url, const fs::path& output, const fs::path& source) {
  fs::remove(output);
  struct Outcome {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
    bool finished = false;
  };
  auto outcome = std::make_shared<Outcome>();
  signmaker::DownloadTaskList tasks;
  signmaker::MultiDownloader downloader(tasks, signmaker::platform::HttpClient::Default(),
                                        signmaker::platform::Kernel::Default(),
                                        signmaker::platform::Runtime::Default());
  const double cpuBefore = CpuOf(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  const auto handle = downloader.Download(
      url, output.string(), 10,
      [outcome](std::int32_t, std::int32_t event, std::int32_t total, std::int32_t done) {
        if (event == signmaker::EventProgress) return;
        std::lock_guard guard(outcome->mutex);
        outcome->ended = true;
        outcome->finished = event == signmaker::EventFinished && done == total;
        outcome->done.notify_all();
      },
      1);
  Measure measure;
  if (handle <= 0) return measure;
  std::unique_lock lock(outcome->mutex);
  outcome->done.wait(lock, [&] { return outcome->ended; });
  measure.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measure.cpu = CpuOf(RUSAGE_SELF) - cpuBefore;
  measure.identical = outcome->finished && SameFile(output, source);
  return measure;
}

void PrintRow(const char* server, const char* tool, const Measure& m, double mebibytes) {
  std::printf("| %-22s | %-32s | %8.2f | %8.2f | %8.1f | %-9s |\n", server, tool, m.wall, m.cpu,
              m.wall > 0 ? mebibytes / m.wall : 0.0, m.identical ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t size = argc > 1 ? std::atoll(argv[1]) : 64LL * 1024 * 1024;
  const std::int64_t rate = argc > 2 ? std::atoll(argv[2]) : 4LL * 1024 * 1024;
  char pattern[] = "/tmp/download-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const fs::path folder = pattern;
  const fs::path served = folder / "served";
  const fs::path out = folder / "out";
  fs::create_directories(served);
  fs::create_directories(out);
  const fs::path source = served / "pkg.zip";
  {
    std::FILE* file = std::fopen(source.c_str(), "wb");
    std::vector<unsigned char> block(1 << 20);
    for (std::int64_t written = 0; written < size; written += static_cast<std::int64_t>(block.size())) {
      for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>((written + i) * 131 + written / 4093);
      std::fwrite(block.data(), 1, static_cast<std::size_t>(std::min<std::int64_t>(block.size(), size - written)), file);
    }
    std::fclose(file);
  }
  const double mebibytes = static_cast<double>(size) / (1024.0 * 1024.0);
  std::printf("File: %.1f MiB on loopback nginx; rate limit per connection where set: %.1f MiB/s\n\n", mebibytes,
              static_cast<double>(rate) / (1024.0 * 1024.0));
  std::printf("| %-22s | %-32s | %8s | %8s | %8s | %-9s |\n", "server", "tool", "wall s", "CPU s", "MiB/s",
              "identical");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(24, '-').c_str(), std::string(34, '-').c_str(),
              std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str(),
              std::string(11, '-').c_str());

  const struct {
    const char* name;
    std::int64_t limit;
  } servers[] = {{"no limit", 0}, {"limit_rate per conn.", rate}};
  for (const auto& s : servers) {
    NginxServer server(served.string(), s.limit);
    if (server.Port() == 0) return 1;
    const std::string url = server.Url("/pkg.zip");
    PrintRow(s.name, "signmaker downloader, 10 threads", RunDownloader(url, out / "pkg.zip", source), mebibytes);
    PrintRow(s.name, "curl (one connection)",
             RunProgram({"curl", "-s", "-o", (out / "curl.zip").string(), url}, out / "curl.zip", source), mebibytes);
    PrintRow(s.name, "aria2c -x10 -s10 -k1M",
             RunProgram({"aria2c", "-q", "-x10", "-s10", "-k1M", "--allow-overwrite=true", "--auto-file-renaming=false",
                         "-d", out.string(), "-o", "aria2.zip", url},
                        out / "aria2.zip", source),
             mebibytes);
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
