#pragma once
// The download object: fetches one URL into one file with parallel range requests
// of 1 MiB each, written straight into a mapped view of the output file, and tells
// the caller how it goes through a progress callback.
//
// The program makes one DownloadTaskList and one MultiDownloader at start, before
// any window, and releases them at its end (the object first, then the list).
// Downloads still running then are neither stopped nor awaited: they go on
// without reporting and release their own memory when they end.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/http.h"
#include "platform/kernel.h"
#include "platform/runtime.h"
#include "platform/types.h"

namespace signmaker {

// (task number, event code, total, done). Called on the download's own threads,
// never on the thread that called Download. The reports of one task come one at a
// time, in order; their done values grow.
using ProgressCallback =
    std::function<void(std::int32_t task, std::int32_t event, std::int32_t total, std::int32_t done)>;

// Event codes: after each block written (total, bytes done so far); once at the end
// of a task that ends running (total, bytes done); once at the end of a task that
// failed (0, 0). A task that ends stopped or paused gets no final report.
inline constexpr std::int32_t EventProgress = 1;
inline constexpr std::int32_t EventFinished = 0;
inline constexpr std::int32_t EventFailed = -1;

enum class TaskState : std::int32_t { Running = 0, Stopped = 1, Paused = 2, Failed = -1 };

// A started task's handle; -1 and 0 are never handles (they mark failed starts).
using TaskHandle = std::intptr_t;

namespace detail {
struct TaskRegistry;
}

// The list of Download results in call order; the 1-based position of an entry is
// its task number. Entries are never removed or changed. Safe to read from any
// thread while Download appends; after the list has been released no download
// thread touches it and their reports stop.
class DownloadTaskList {
 public:
  DownloadTaskList();
  ~DownloadTaskList();
  DownloadTaskList(const DownloadTaskList&) = delete;
  DownloadTaskList& operator=(const DownloadTaskList&) = delete;

  // Number of entries.
  std::int32_t Count() const;
  // The entry at task number `number`; 0 when there is no such entry.
  TaskHandle At(std::int32_t number) const;
  // The task number of the last entry equal to `handle`; 0 when none is.
  std::int32_t NumberOf(TaskHandle handle) const;

 private:
  friend class MultiDownloader;
  std::shared_ptr<detail::TaskRegistry> registry_;
};

class MultiDownloader {
 public:
  // The object works on `tasks` and reaches the machine through the three
  // interfaces, which must outlive every download it starts.
  MultiDownloader(DownloadTaskList& tasks, platform::HttpClient& http, platform::Kernel& kernel,
                  platform::Runtime& runtime);
  // Releases the object alone; running downloads go on.
  ~MultiDownloader();
  MultiDownloader(const MultiDownloader&) = delete;
  MultiDownloader& operator=(const MultiDownloader&) = delete;

  // Sets up a download of `url` into `targetPath` (GBK; a path whose last part has
  // no extension is a folder, and a name is found for the file) with at most
  // `threadCount` connections, and starts it. Blocks for the size probe. Appends
  // its result to the task list and returns it: the task handle; 0 when the server
  // gave no length (an empty file is left); -1 when set-up failed (also for a total
  // of 2 GiB or more, or a negative one, which create no file). `flag` is ignored.
  TaskHandle Download(const Text& url, const Text& targetPath, std::int32_t threadCount,
                      ProgressCallback callback, std::int32_t flag);

  // Each writes one state into the task with that number, or into every task in
  // the list, and returns at once. Numbers outside the list, failed starts and
  // tasks that have ended are left alone.
  void Pause(std::int32_t task);
  void PauseAll();
  void Stop(std::int32_t task);
  void StopAll();
  void Resume(std::int32_t task);
  void ResumeAll();
  // Stopped, then Running, each in its own step.
  void StopAndResume(std::int32_t task);
  void StopAndResumeAll();

 private:
  std::shared_ptr<detail::TaskRegistry> registry_;
  platform::HttpClient& http_;
  platform::Kernel& kernel_;
  platform::Runtime& runtime_;
};

}  // namespace signmaker
