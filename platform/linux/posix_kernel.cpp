// Files and mappings on POSIX: open + ftruncate for the file at its full length,
// one mmap per view.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <utility>

#include "platform/code_conversion.h"
#include "platform/kernel.h"
#include "platform/linux/file_descriptor.h"

namespace signmaker::platform {
namespace {

class PosixView final : public MappedView {
 public:
  PosixView(void* address, std::size_t length) : address_(address), length_(length) {}
  ~PosixView() override { ::munmap(address_, length_); }
  PosixView(const PosixView&) = delete;
  PosixView& operator=(const PosixView&) = delete;

  std::uint8_t* Data() override { return static_cast<std::uint8_t*>(address_); }

 private:
  void* address_;
  std::size_t length_;
};

class PosixMapping final : public FileMapping {
 public:
  PosixMapping(FileDescriptor fd, std::int64_t size) : fd_(std::move(fd)), size_(size) {}

  std::unique_ptr<MappedView> MapView(std::int64_t offset, std::size_t length) override {
    if (offset < 0 || offset % ViewGranularity != 0 || length == 0) return nullptr;
    // Touching a page past the end of the file would end the process, so a view
    // stops at the mapping's end.
    if (offset > size_ || static_cast<std::uint64_t>(size_ - offset) < length) return nullptr;
    void* address = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_.Get(),
                           static_cast<off_t>(offset));
    if (address == MAP_FAILED) return nullptr;
    return std::make_unique<PosixView>(address, length);
  }

 private:
  FileDescriptor fd_;
  std::int64_t size_;
};

class PosixFile final : public OutputFile {
 public:
  explicit PosixFile(FileDescriptor fd) : fd_(std::move(fd)) {}

  std::unique_ptr<FileMapping> Map(std::int64_t size) override {
    if (size < 0) return nullptr;
    if (::ftruncate(fd_.Get(), static_cast<off_t>(size)) != 0) return nullptr;
    FileDescriptor own(::fcntl(fd_.Get(), F_DUPFD_CLOEXEC, 0));
    if (!own.Valid()) return nullptr;
    return std::make_unique<PosixMapping>(std::move(own), size);
  }

 private:
  FileDescriptor fd_;
};

class PosixKernel final : public Kernel {
 public:
  std::unique_ptr<OutputFile> CreateFile(const Text& path) override {
    if (path.empty()) return nullptr;
    const std::string name = CodeConversion::Default().GbkToUtf8(path);
    FileDescriptor fd(::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.Valid()) return nullptr;
    return std::make_unique<PosixFile>(std::move(fd));
  }
};

}  // namespace

Kernel& Kernel::Default() {
  // Never destroyed: download threads may still use it while the program ends.
  static Kernel* const kernel = new PosixKernel;
  return *kernel;
}

}  // namespace signmaker::platform
