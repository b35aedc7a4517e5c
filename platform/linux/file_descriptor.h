#pragma once
// An owned POSIX file descriptor, closed when its owner goes.

#include <unistd.h>

#include <utility>

namespace signmaker::platform {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor& operator=(FileDescriptor&&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }

  // Closes the descriptor now; false when closing reported an error (for a file
  // being written, the last chance to hear of a failed write).
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

}  // namespace signmaker::platform
