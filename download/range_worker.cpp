// A range worker: one request for one range, each block written through a view of
// its own into the output file, a report after each block.
#include <cstring>
#include <new>
#include <string>

#include "download/download_task.h"

namespace signmaker {
namespace {

// A read buffer from the task's pool, zero-filled, given back when destroyed.
class PoolBuffer {
 public:
  PoolBuffer(std::pmr::memory_resource* pool, std::size_t size)
      : pool_(pool), size_(size), data_(static_cast<std::uint8_t*>(pool->allocate(size))) {
    std::memset(data_, 0, size_);
  }
  ~PoolBuffer() { pool_->deallocate(data_, size_); }
  PoolBuffer(const PoolBuffer&) = delete;
  PoolBuffer& operator=(const PoolBuffer&) = delete;

  std::uint8_t* Data() { return data_; }

 private:
  std::pmr::memory_resource* pool_;
  std::size_t size_;
  std::uint8_t* data_;
};

void SetFailed(DownloadTask& task) {
  std::lock_guard guard(task.lock);
  task.state = TaskState::Failed;
}

// Adds a written block to the task's count and reports it; gives the state then.
TaskState CountBlock(DownloadTask& task, long count) {
  std::lock_guard report(task.reportLock);
  std::int32_t done = 0;
  TaskState state = TaskState::Running;
  {
    std::lock_guard guard(task.lock);
    task.bytesDone += static_cast<std::int32_t>(count);
    done = task.bytesDone;
    state = task.state;
  }
  ReportToCaller(task, EventProgress, task.totalSize, done);
  return state;
}

TaskState WaitWhilePaused(DownloadTask& task, TaskState state) {
  while (state == TaskState::Paused) {
    SleepPollInterval();
    std::lock_guard guard(task.lock);
    state = task.state;
  }
  return state;
}

// Fetches range `range` (1-based). Every failure marks the task Failed.
void FetchRange(DownloadTask& task, std::int32_t range) {
  const bool last = range == task.rangeCount;
  const std::int64_t start = static_cast<std::int64_t>(range - 1) * task.rangeSize;
  // The last range is asked for up to the total itself; the server stops at its last byte.
  const std::int64_t requestEnd = last ? task.totalSize : static_cast<std::int64_t>(range) * task.rangeSize - 1;
  // The range's bytes lie before this offset, and none is written past it.
  const std::int64_t end = last ? task.totalSize : static_cast<std::int64_t>(range) * task.rangeSize;

  const Text headers = Text(DownloadHeaders) + "\r\nRange:bytes=" + std::to_string(start) + "-" +
                       std::to_string(requestEnd);
  const std::unique_ptr<platform::HttpStream> reply = task.http->Open(Text(task.urlCopy), headers, Text(), true);
  if (!reply) return SetFailed(task);

  std::unique_ptr<PoolBuffer> buffer;
  try {
    buffer = std::make_unique<PoolBuffer>(task.taskHeap, ReadBlockSize);
  } catch (const std::bad_alloc&) {
    return SetFailed(task);
  }

  std::int64_t position = start;
  for (;;) {
    long count = reply->Read(buffer->Data(), ReadBlockSize);
    // A transfer cut off, or a reply that ends before its range does, leaves part
    // of the file unwritten: the download has failed.
    if (count < 0 || (count == 0 && position < end)) return SetFailed(task);
    if (count == 0) return;
    // A reply longer than its range (a server that ignores the range) would write
    // over the ranges of other workers: only what belongs to this range is written,
    // and the download has failed.
    const bool overrun = position + count > end;
    if (overrun) count = static_cast<long>(end - position);
    if (count == 0) return SetFailed(task);

    const std::int64_t viewStart = position / ViewAlignment * ViewAlignment;
    const std::size_t offset = static_cast<std::size_t>(position - viewStart);
    std::unique_ptr<platform::MappedView> view =
        task.mappingHandle->MapView(viewStart, offset + static_cast<std::size_t>(count));
    if (!view) return SetFailed(task);
    std::memcpy(view->Data() + offset, buffer->Data(), static_cast<std::size_t>(count));
    view.reset();
    position += count;

    const TaskState counted = CountBlock(task, count);
    if (overrun) return SetFailed(task);
    const TaskState state = WaitWhilePaused(task, counted);
    if (state == TaskState::Failed || state == TaskState::Stopped) return;
  }
}

}  // namespace

void RangeWorker(DownloadTask* task) {
  const std::int32_t range = task->nextRange;
  {
    std::lock_guard guard(task->lock);
    ++task->runningWorkers;
    task->workerStarted = 1;
  }
  FetchRange(*task, range);
  // The last touch of the task: once the count is down the coordinator may release it.
  std::lock_guard guard(task->lock);
  --task->runningWorkers;
}

}  // namespace signmaker
