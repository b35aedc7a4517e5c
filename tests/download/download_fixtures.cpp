#include "tests/download/download_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace signmaker::testing {
namespace {

class TrackedMapping final : public platform::FileMapping {
 public:
  TrackedMapping(std::unique_ptr<platform::FileMapping> inner, TrackingKernel& kernel)
      : inner_(std::move(inner)), kernel_(kernel) {
    kernel_.Opened();
  }
  ~TrackedMapping() override {
    inner_.reset();
    kernel_.Closed();
  }
  std::unique_ptr<platform::MappedView> MapView(std::int64_t offset, std::size_t length) override {
    return inner_->MapView(offset, length);
  }

 private:
  std::unique_ptr<platform::FileMapping> inner_;
  TrackingKernel& kernel_;
};

class TrackedFile final : public platform::OutputFile {
 public:
  TrackedFile(std::unique_ptr<platform::OutputFile> inner, TrackingKernel& kernel)
      : inner_(std::move(inner)), kernel_(kernel) {
    kernel_.Opened();
  }
  ~TrackedFile() override {
    inner_.reset();
    kernel_.Closed();
  }
  std::unique_ptr<platform::FileMapping> Map(std::int64_t size) override {
    std::unique_ptr<platform::FileMapping> mapping = inner_->Map(size);
    if (!mapping) return nullptr;
    return std::make_unique<TrackedMapping>(std::move(mapping), kernel_);
  }

 private:
  std::unique_ptr<platform::OutputFile> inner_;
  TrackingKernel& kernel_;
};

}  // namespace

ProgressCallback ProgressRecorder::Callback() {
  return [self = shared_from_this()](std::int32_t task, std::int32_t event, std::int32_t total,
                                     std::int32_t done) {
    const Report report{task, event, total, done};
    std::function<void(const Report&)> hook;
    {
      std::lock_guard guard(self->mutex_);
      self->reports_.push_back(report);
      hook = self->hook_;
    }
    self->changed_.notify_all();
    if (hook) hook(report);
  };
}

void ProgressRecorder::SetHook(std::function<void(const Report&)> hook) {
  std::lock_guard guard(mutex_);
  hook_ = std::move(hook);
}

std::vector<Report> ProgressRecorder::Reports() const {
  std::lock_guard guard(mutex_);
  return reports_;
}

bool ProgressRecorder::WaitForFinal() const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, WaitLimit, [this] {
    for (const Report& report : reports_) {
      if (report.event != EventProgress) return true;
    }
    return false;
  });
}

bool ProgressRecorder::WaitForReports(std::size_t count) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, WaitLimit, [&] { return reports_.size() >= count; });
}

void ExpectCompleteSequence(const std::vector<Report>& reports, std::int32_t task, std::int32_t total) {
  ASSERT_GE(reports.size(), 2u);
  std::int32_t previous = 0;
  for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
    const Report& report = reports[i];
    ASSERT_EQ(report.event, EventProgress) << "report " << i;
    EXPECT_EQ(report.task, task);
    EXPECT_EQ(report.total, total);
    EXPECT_GT(report.done, previous) << "report " << i;
    previous = report.done;
  }
  EXPECT_EQ(previous, total);
  EXPECT_EQ(reports.back(), (Report{task, EventFinished, total, total}));
}

std::unique_ptr<platform::OutputFile> TrackingKernel::CreateFile(const Text& path) {
  std::unique_ptr<platform::OutputFile> file = platform::Kernel::Default().CreateFile(path);
  if (!file) return nullptr;
  return std::make_unique<TrackedFile>(std::move(file), *this);
}

bool TrackingKernel::WaitUntilAllClosed() const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, WaitLimit, [this] { return open_ == 0; });
}

int TrackingKernel::Open() const {
  std::lock_guard guard(mutex_);
  return open_;
}

void TrackingKernel::Opened() {
  std::lock_guard guard(mutex_);
  ++open_;
}

void TrackingKernel::Closed() {
  // Notified under the lock: the waiter may destroy the kernel as soon as it wakes.
  std::lock_guard guard(mutex_);
  --open_;
  changed_.notify_all();
}

Bytes ResourceBytes(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 131 + i / 4093 + 7) & 0xFF);
  }
  return bytes;
}

std::string ResourceText(std::size_t size) {
  const Bytes bytes = ResourceBytes(size);
  return std::string(bytes.begin(), bytes.end());
}

Bytes ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "download-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace signmaker::testing
