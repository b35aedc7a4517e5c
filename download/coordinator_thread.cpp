// A task's coordinator: launches one worker per range, at most threadLimit at a
// time, waits for all of them, reports the outcome and releases the task.
#include <system_error>
#include <thread>

#include "download/download_task.h"

namespace signmaker {
namespace {

template <typename Field>
Field ReadLocked(DownloadTask& task, Field DownloadTask::*field) {
  std::lock_guard guard(task.lock);
  return task.*field;
}

void LaunchWorkers(DownloadTask& task) {
  const std::int32_t threadLimit = task.threadLimit;
  const std::int32_t rangeCount = task.rangeCount;
  std::int32_t launched = 0;
  while (launched < rangeCount) {
    if (ReadLocked(task, &DownloadTask::runningWorkers) >= threadLimit) {
      SleepPollInterval();
      continue;
    }
    const TaskState state = ReadLocked(task, &DownloadTask::state);
    if (state == TaskState::Failed || state == TaskState::Stopped) return;
    if (state == TaskState::Paused) {
      SleepPollInterval();
      continue;
    }
    ++launched;
    {
      std::lock_guard guard(task.lock);
      task.workerStarted = 0;
    }
    task.nextRange = launched;
    try {
      std::thread(RangeWorker, &task).detach();
    } catch (const std::system_error&) {
      std::lock_guard guard(task.lock);
      task.state = TaskState::Failed;
      return;
    }
    // The worker has taken its range number once it has set workerStarted.
    std::int32_t started = 0;
    do {
      started = ReadLocked(task, &DownloadTask::workerStarted);
      SleepPollInterval();
    } while (started == 0);
  }
}

}  // namespace

void SleepPollInterval() { std::this_thread::sleep_for(std::chrono::milliseconds(PollIntervalMs)); }

void CoordinatorThread(DownloadTask* task) {
  LaunchWorkers(*task);

  std::int32_t running = 0;
  do {
    running = ReadLocked(*task, &DownloadTask::runningWorkers);
    SleepPollInterval();
  } while (running != 0);

  const TaskState state = ReadLocked(*task, &DownloadTask::state);
  if (state == TaskState::Failed) {
    ReportToCaller(*task, EventFailed, 0, 0);
  } else if (state == TaskState::Running) {
    ReportToCaller(*task, EventFinished, task->totalSize, ReadLocked(*task, &DownloadTask::bytesDone));
  }
  task->registry->Remove(task->handle);
  ReleaseTask(task);
}

void ReleaseTask(DownloadTask* task) {
  std::unique_ptr<platform::OutputFile> file = std::move(task->fileHandle);
  std::unique_ptr<platform::FileMapping> mapping = std::move(task->mappingHandle);
  std::unique_ptr<std::pmr::memory_resource> heap(task->taskHeap);
  std::pmr::polymorphic_allocator<>(heap.get()).delete_object(task);
  heap.reset();
  mapping.reset();
  file.reset();
}

}  // namespace signmaker
