#pragma once
// Files written through memory mappings: the output file of a download, created at
// its full length and filled block by block through small writable views.
// No operation throws. Threads, locks, sleeps and memory pools are the standard
// library's and are used directly.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace signmaker::platform {

// View offsets are multiples of this.
inline constexpr std::int64_t ViewGranularity = 65536;

// A writable view of part of a mapped file. Destroying it unmaps it; what was
// written stays in the file.
class MappedView {
 public:
  virtual ~MappedView() = default;
  // The first byte of the view.
  virtual std::uint8_t* Data() = 0;
};

// The read-write mapping of a whole file. It does not need its OutputFile to stay
// open. MapView may be called from several threads at once.
class FileMapping {
 public:
  virtual ~FileMapping() = default;
  // A view of `length` bytes from `offset`, a multiple of ViewGranularity. nullptr
  // when it cannot be mapped: a bad offset, a length of 0, or a view that would
  // reach past the end of the mapping.
  virtual std::unique_ptr<MappedView> MapView(std::int64_t offset, std::size_t length) = 0;
};

// A file open for reading and writing. Destroying it closes it.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Gives the file exactly `size` bytes, zero-filled, and maps it read-write.
  // A size of 0 gives a mapping in which no view can be mapped. nullptr when the
  // file cannot be sized (a negative size included) or mapped. One thread at a time.
  virtual std::unique_ptr<FileMapping> Map(std::int64_t size) = 0;
};

class Kernel {
 public:
  virtual ~Kernel() = default;

  // Creates the file at `path` (GBK) anew for reading and writing: an existing file
  // there is emptied. Folders are not created. nullptr on failure. Any thread.
  virtual std::unique_ptr<OutputFile> CreateFile(const Text& path) = 0;

  // The operating system's files and mappings.
  static Kernel& Default();
};

}  // namespace signmaker::platform
