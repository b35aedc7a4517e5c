#pragma once
// A downloader stand-in for the update window: records each start with its progress
// callback, through which a test then reports, and each operation on all downloads.

#include <string>
#include <utility>
#include <vector>

#include "update/package_downloader.h"

namespace signmaker::fakes {

class RecordingDownloader : public PackageDownloader {
 public:
  struct Start {
    Text url, targetPath;
    std::int32_t threadCount = 0, flag = 0;
    ProgressCallback callback;
  };
  std::vector<Start> starts;
  std::vector<std::string> operations;

  // Starts nothing; gives the result of a failed start.
  TaskHandle Download(const Text& url, const Text& targetPath, std::int32_t threadCount,
                      ProgressCallback callback, std::int32_t flag) override {
    starts.push_back({url, targetPath, threadCount, flag, std::move(callback)});
    return -1;
  }
  void PauseAll() override { operations.push_back("PauseAll"); }
  void ResumeAll() override { operations.push_back("ResumeAll"); }
  void StopAll() override { operations.push_back("StopAll"); }
};

}  // namespace signmaker::fakes
