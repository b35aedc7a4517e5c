// The task list and the registry of live tasks behind it.
#include "download/download_task.h"

namespace signmaker {
namespace detail {

void TaskRegistry::Append(TaskHandle entry) {
  std::lock_guard guard(mutex);
  if (!released) entries.push_back(entry);
}

std::int32_t TaskRegistry::NumberOf(TaskHandle handle) {
  std::lock_guard guard(mutex);
  for (std::size_t at = entries.size(); at > 0; --at) {
    if (entries[at - 1] == handle) return static_cast<std::int32_t>(at);
  }
  return 0;
}

std::int32_t TaskRegistry::Count() {
  std::lock_guard guard(mutex);
  return static_cast<std::int32_t>(entries.size());
}

void TaskRegistry::SetState(std::int32_t number, TaskState state) {
  std::lock_guard guard(mutex);
  if (number < 1 || static_cast<std::size_t>(number) > entries.size()) return;
  const auto task = live.find(entries[number - 1]);
  if (task == live.end()) return;
  std::lock_guard taskGuard(task->second->lock);
  task->second->state = state;
}

void TaskRegistry::Remove(TaskHandle handle) {
  std::lock_guard guard(mutex);
  live.erase(handle);
}

}  // namespace detail

DownloadTaskList::DownloadTaskList() : registry_(std::make_shared<detail::TaskRegistry>()) {}

DownloadTaskList::~DownloadTaskList() {
  std::lock_guard guard(registry_->mutex);
  registry_->released = true;
  registry_->entries.clear();
  registry_->entries.shrink_to_fit();
}

std::int32_t DownloadTaskList::Count() const { return registry_->Count(); }

TaskHandle DownloadTaskList::At(std::int32_t number) const {
  std::lock_guard guard(registry_->mutex);
  const auto& entries = registry_->entries;
  if (number < 1 || static_cast<std::size_t>(number) > entries.size()) return 0;
  return entries[number - 1];
}

std::int32_t DownloadTaskList::NumberOf(TaskHandle handle) const { return registry_->NumberOf(handle); }

}  // namespace signmaker

namespace signmaker {

void ReportToCaller(DownloadTask& task, std::int32_t event, std::int32_t total, std::int32_t done) {
  const std::int32_t number = task.registry->NumberOf(task.handle);
  if (number != 0 && task.progressCallback) task.progressCallback(number, event, total, done);
}

}  // namespace signmaker
