#pragma once
// The update package that the download host serves: a real zip archive.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace signmaker::services {

struct ZipEntry {
  std::string name;   // path inside the archive, "/" separated
  std::string bytes;  // stored as they are (no compression)
};

// A zip archive holding `entries` stored uncompressed, with CRC-32 checksums, a
// central directory and its end record. Entries and the archive must stay below
// 4 GiB (no zip64).
std::string StoredZip(const std::vector<ZipEntry>& entries);

// The package: a readme naming `version` and a data file of `dataSize` bytes whose
// content depends only on its size.
std::string UpdatePackage(std::string_view version, std::uint64_t dataSize);

}  // namespace signmaker::services
