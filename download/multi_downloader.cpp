// The download object's operations.
#include "download/multi_downloader.h"

#include "download/download_task.h"

namespace signmaker {

MultiDownloader::MultiDownloader(DownloadTaskList& tasks, platform::HttpClient& http, platform::Kernel& kernel,
                                 platform::Runtime& runtime)
    : registry_(tasks.registry_), http_(http), kernel_(kernel), runtime_(runtime) {}

MultiDownloader::~MultiDownloader() = default;

TaskHandle MultiDownloader::Download(const Text& url, const Text& targetPath, std::int32_t threadCount,
                                     ProgressCallback callback, std::int32_t /*flag*/) {
  return CreateDownloadTask(url, targetPath, threadCount, std::move(callback),
                            TaskEnvironment{http_, kernel_, runtime_, registry_});
}

void MultiDownloader::Pause(std::int32_t task) { registry_->SetState(task, TaskState::Paused); }

void MultiDownloader::PauseAll() {
  const std::int32_t count = registry_->Count();
  for (std::int32_t task = 1; task <= count; ++task) Pause(task);
}

void MultiDownloader::Stop(std::int32_t task) { registry_->SetState(task, TaskState::Stopped); }

void MultiDownloader::StopAll() {
  const std::int32_t count = registry_->Count();
  for (std::int32_t task = 1; task <= count; ++task) Stop(task);
}

void MultiDownloader::Resume(std::int32_t task) { registry_->SetState(task, TaskState::Running); }

void MultiDownloader::ResumeAll() {
  const std::int32_t count = registry_->Count();
  for (std::int32_t task = 1; task <= count; ++task) Resume(task);
}

void MultiDownloader::StopAndResume(std::int32_t task) {
  Stop(task);
  Resume(task);
}

void MultiDownloader::StopAndResumeAll() {
  const std::int32_t count = registry_->Count();
  for (std::int32_t task = 1; task <= count; ++task) StopAndResume(task);
}

}  // namespace signmaker
