// Setting up a download on the caller's thread: the file's name, the size probe,
// the output file at its full length and mapped, the task's pool and record, and
// the start of its coordinator.
#include <limits>
#include <new>
#include <system_error>
#include <thread>

#include "download/download_task.h"
#include "download/file_names.h"

namespace signmaker {
namespace {

constexpr TaskHandle SetUpFailed = -1;
constexpr TaskHandle NoLength = 0;

// A set-up that got as far as a task record, or the result of one that did not.
struct Prepared {
  DownloadTask* task = nullptr;
  TaskHandle failure = SetUpFailed;
};

// The length the server gives `url`: 0 when it gives none; nullopt when no reply came.
std::optional<std::int64_t> ProbeSize(const Text& url, platform::HttpClient& http) {
  const std::unique_ptr<platform::HttpStream> reply = http.Open(url, Text(DownloadHeaders), Text(), true);
  if (!reply) return std::nullopt;
  return reply->ContentLength().value_or(0);
}

Prepared PrepareTask(const Text& url, const Text& targetPath, std::int32_t threadCount,
                     ProgressCallback callback, const TaskEnvironment& environment) {
  if (url.empty() || targetPath.empty() || threadCount < 1) return {};
  const Text path = CompleteTargetPath(targetPath, url, environment.http, environment.runtime);

  const std::optional<std::int64_t> probed = ProbeSize(url, environment.http);
  // Sizes, offsets and counters are 32-bit: larger (or negative) lengths are refused
  // before any file is made.
  if (!probed || *probed < 0 || *probed > std::numeric_limits<std::int32_t>::max()) return {};
  const auto total = static_cast<std::int32_t>(*probed);

  std::unique_ptr<platform::OutputFile> file = environment.kernel.CreateFile(path);
  if (!file) return {};
  std::unique_ptr<platform::FileMapping> mapping = file->Map(total);
  if (!mapping) return {};
  if (total == 0) return {nullptr, NoLength};

  const std::int32_t rangeCount = RangeCountOf(total, RangeSize);
  const std::int32_t threadLimit = std::min(threadCount, rangeCount);

  DownloadTask* task = nullptr;
  try {
    auto heap = std::make_unique<std::pmr::synchronized_pool_resource>();
    task = std::pmr::polymorphic_allocator<>(heap.get()).new_object<DownloadTask>(heap.get());
    heap.release();  // owned by the record from here on: ReleaseTask frees it
    task->urlCopy.assign(url);
  } catch (const std::bad_alloc&) {
    if (task != nullptr) ReleaseTask(task);
    return {};
  }
  task->progressCallback = std::move(callback);
  task->fileHandle = std::move(file);
  task->mappingHandle = std::move(mapping);
  task->threadLimit = threadLimit;
  task->rangeSize = RangeSize;
  task->rangeCount = rangeCount;
  task->totalSize = total;
  task->registry = environment.registry;
  task->http = &environment.http;
  return {task, SetUpFailed};
}

}  // namespace

std::int32_t RangeCountOf(std::int32_t total, std::int32_t rangeSize) {
  return total / rangeSize + (total % rangeSize != 0 ? 1 : 0);
}

TaskHandle CreateDownloadTask(const Text& url, const Text& targetPath, std::int32_t threadCount,
                              ProgressCallback callback, const TaskEnvironment& environment) {
  const Prepared prepared = PrepareTask(url, targetPath, threadCount, std::move(callback), environment);
  if (prepared.task == nullptr) {
    environment.registry->Append(prepared.failure);
    return prepared.failure;
  }
  DownloadTask* const task = prepared.task;
  const TaskHandle handle = environment.registry->AppendStarted(*task, [task] {
    try {
      std::thread(CoordinatorThread, task).detach();
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  });
  if (handle == SetUpFailed) ReleaseTask(task);
  return handle;
}

}  // namespace signmaker
