#pragma once
// What the downloader's tests share: a recorder of progress reports, a kernel that
// tells when a task has closed its files, a runtime with a fixed network state,
// resource bytes and a temporary folder.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "download/multi_downloader.h"
#include "platform/kernel.h"
#include "platform/runtime.h"

namespace signmaker::testing {

// Generous: the tests also run under ThreadSanitizer on a busy machine.
inline constexpr auto WaitLimit = std::chrono::seconds(120);

struct Report {
  std::int32_t task, event, total, done;
  bool operator==(const Report&) const = default;
};

// Records every report. Its callback keeps the recorder alive, so a task that
// outlives a test never reports into freed memory.
class ProgressRecorder : public std::enable_shared_from_this<ProgressRecorder> {
 public:
  static std::shared_ptr<ProgressRecorder> Make() { return std::make_shared<ProgressRecorder>(); }

  ProgressCallback Callback();
  // Runs `hook` inside the callback after recording each report (on the reporting thread).
  void SetHook(std::function<void(const Report&)> hook);

  std::vector<Report> Reports() const;
  // Waits until a final report (finished or failed) has come; false when none came in time.
  bool WaitForFinal() const;
  // Waits until at least `count` reports have come.
  bool WaitForReports(std::size_t count) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Report> reports_;
  std::function<void(const Report&)> hook_;
};

// Checks a finished task's reports: progress reports with growing done values up to
// `total`, each for task `task`, then exactly one EventFinished (total, total).
void ExpectCompleteSequence(const std::vector<Report>& reports, std::int32_t task, std::int32_t total);

// The system's files and mappings, counted, so that a test can wait until every
// task has released what it opened.
class TrackingKernel final : public platform::Kernel {
 public:
  std::unique_ptr<platform::OutputFile> CreateFile(const Text& path) override;
  // Waits until no file or mapping made through this kernel is open.
  bool WaitUntilAllClosed() const;
  int Open() const;

  void Opened();
  void Closed();

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int open_ = 0;
};

// A runtime whose network state is fixed; only the downloader's two operations work.
class FixedRuntime final : public platform::Runtime {
 public:
  explicit FixedRuntime(bool connected) : connected_(connected) {}
  bool IsConnected() override { return connected_; }
  Text DesktopFolder() override { return {}; }
  Text CurrentDirectory() override { return {}; }
  bool WriteFile(const Text&, const Bytes&) override { return false; }
  bool SetFileAttributes(const Text&, std::uint32_t) override { return false; }
  std::uint32_t MillisecondsSinceStart() override { return 5731906; }
  void AtProgramEnd(void (*)()) override {}
  [[noreturn]] void EndProcess(int) override { std::abort(); }

 private:
  bool connected_;
};

// `size` bytes whose value depends on the position, with no period that a
// misplaced block could hide in.
Bytes ResourceBytes(std::size_t size);
std::string ResourceText(std::size_t size);
Bytes ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const Bytes& bytes);

// A fresh temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // The folder's path followed by "/" and `name`, as a program text.
  Text File(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A task list and download object on the real HTTP client, a tracking kernel and
// an online runtime.
struct Downloader {
  TrackingKernel kernel;
  FixedRuntime runtime{true};
  DownloadTaskList tasks;
  MultiDownloader object{tasks, platform::HttpClient::Default(), kernel, runtime};
};

}  // namespace signmaker::testing
