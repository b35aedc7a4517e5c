#pragma once
// The inside of the download object: the per-task record, the registry behind the
// task list, and the routines of set-up and of the two kinds of download thread.

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "download/multi_downloader.h"

namespace signmaker {

inline constexpr std::int32_t RangeSize = 1048576;
inline constexpr std::int32_t ReadBlockSize = 20480;
inline constexpr std::int64_t ViewAlignment = 65536;
inline constexpr int PollIntervalMs = 100;
static_assert(ViewAlignment % platform::ViewGranularity == 0);
static_assert(RangeSize % ViewAlignment == 0, "ranges start on view boundaries");

// The header block of the size probe and of every range request (156 bytes).
inline constexpr std::string_view DownloadHeaders =
    "Accept: */*\r\nAccept-Language: zh-cn\r\nAccept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

// One started download. It lives in its own memory pool (`taskHeap`) from set-up
// until its coordinator releases it.
struct DownloadTask {
  explicit DownloadTask(std::pmr::memory_resource* heap) : urlCopy(heap), taskHeap(heap) {}

  std::pmr::string urlCopy;
  ProgressCallback progressCallback;
  std::unique_ptr<platform::OutputFile> fileHandle;
  std::unique_ptr<platform::FileMapping> mappingHandle;
  std::pmr::memory_resource* taskHeap;
  std::mutex lock;  // guards runningWorkers, state, bytesDone and workerStarted
  std::int32_t threadLimit = 0;
  std::int32_t runningWorkers = 0;
  TaskState state = TaskState::Running;
  std::int32_t rangeSize = 0;
  std::int32_t nextRange = 0;  // written by the coordinator before each launch
  std::int32_t rangeCount = 0;
  std::int32_t bytesDone = 0;
  std::int32_t totalSize = 0;
  std::int32_t workerStarted = 0;

  // Beside the record: how the task's threads reach the rest of the program.
  TaskHandle handle = 0;
  std::shared_ptr<detail::TaskRegistry> registry;
  platform::HttpClient* http = nullptr;
  // Taken before `lock` by the thread that reports, so that reports come one at a
  // time and in the order of their done values, while `lock` stays free for the
  // state operations during the call.
  std::mutex reportLock;
};

namespace detail {

// The task list's storage, shared by the list, the download object and every task,
// so that download threads can outlive the list. `live` maps the handles of tasks
// that have not yet ended to their records; the state operations reach a task only
// through it.
struct TaskRegistry {
  std::mutex mutex;
  bool released = false;
  std::vector<TaskHandle> entries;
  std::unordered_map<TaskHandle, DownloadTask*> live;
  TaskHandle lastHandle = 0;

  // Appends a failed start's result.
  void Append(TaskHandle entry);
  // Gives `task` a handle, runs `start` and appends the handle, in one step, so that
  // the task's threads find their task number from their first report on. When
  // `start` fails, -1 is appended and returned instead.
  template <typename Start>
  TaskHandle AppendStarted(DownloadTask& task, Start start) {
    std::lock_guard guard(mutex);
    const TaskHandle handle = ++lastHandle;
    task.handle = handle;
    live.emplace(handle, &task);
    if (!start()) {
      live.erase(handle);
      if (!released) entries.push_back(-1);
      return -1;
    }
    if (!released) entries.push_back(handle);
    return handle;
  }
  // The task number of the last entry equal to `handle`; 0 when none is or the
  // list has been released.
  std::int32_t NumberOf(TaskHandle handle);
  std::int32_t Count();
  // Writes `state` into the live task at task number `number`, if there is one.
  void SetState(std::int32_t number, TaskState state);
  // The task has ended: the state operations no longer reach it.
  void Remove(TaskHandle handle);
};

}  // namespace detail

// What set-up needs from outside.
struct TaskEnvironment {
  platform::HttpClient& http;
  platform::Kernel& kernel;
  platform::Runtime& runtime;
  const std::shared_ptr<detail::TaskRegistry>& registry;
};

// Number of ranges of `rangeSize` bytes for `total` bytes (the last may be shorter).
std::int32_t RangeCountOf(std::int32_t total, std::int32_t rangeSize);

// Sets up and starts a download and appends its result to the task list: the task
// handle, 0 when the server gave no length, -1 on failure. Caller's thread.
TaskHandle CreateDownloadTask(const Text& url, const Text& targetPath, std::int32_t threadCount,
                              ProgressCallback callback, const TaskEnvironment& environment);

// Hands out the ranges to workers, waits for them, reports the outcome and
// releases the task. Runs on a thread of its own.
void CoordinatorThread(DownloadTask* task);

// Fetches range `nextRange` into the file, reporting after each block. Runs on a
// thread of its own.
void RangeWorker(DownloadTask* task);

// Destroys the record and its pool, then closes the mapping and the file.
void ReleaseTask(DownloadTask* task);

// Calls the task's callback with its task number; no call when the task is not
// (or no longer) in the list.
void ReportToCaller(DownloadTask& task, std::int32_t event, std::int32_t total, std::int32_t done);

// The waiting step of the coordinator and of paused workers.
void SleepPollInterval();

}  // namespace signmaker
