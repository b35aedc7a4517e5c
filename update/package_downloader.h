#pragma once
// What the update window asks of the downloader: start a download and drive all of
// them. The program passes the one MultiDownloader; tests pass a recorder.

#include <cstdint>

#include "download/multi_downloader.h"
#include "platform/types.h"

namespace signmaker {

class PackageDownloader {
 public:
  virtual ~PackageDownloader() = default;

  // As MultiDownloader::Download. Window thread; blocks for the size probe.
  virtual TaskHandle Download(const Text& url, const Text& targetPath, std::int32_t threadCount,
                              ProgressCallback callback, std::int32_t flag) = 0;
  // As the MultiDownloader operations of the same names. Window thread; return at once.
  virtual void PauseAll() = 0;
  virtual void ResumeAll() = 0;
  virtual void StopAll() = 0;
};

// The program's downloader behind that interface.
class MultiPackageDownloader final : public PackageDownloader {
 public:
  explicit MultiPackageDownloader(MultiDownloader& downloader) : downloader_(downloader) {}

  TaskHandle Download(const Text& url, const Text& targetPath, std::int32_t threadCount,
                      ProgressCallback callback, std::int32_t flag) override {
    return downloader_.Download(url, targetPath, threadCount, std::move(callback), flag);
  }
  void PauseAll() override { downloader_.PauseAll(); }
  void ResumeAll() override { downloader_.ResumeAll(); }
  void StopAll() override { downloader_.StopAll(); }

 private:
  MultiDownloader& downloader_;
};

}  // namespace signmaker
