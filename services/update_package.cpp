#include "services/update_package.h"

#include <zlib.h>

namespace signmaker::services {
namespace {

// Every entry carries the same time stamp, 2024-01-01 12:00:00, so that the archive
// depends on its entries alone.
constexpr std::uint16_t DosTime = 12 << 11;
constexpr std::uint16_t DosDate = ((2024 - 1980) << 9) | (1 << 5) | 1;

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint32_t Crc32Of(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // crc32 takes an unsigned int length: feed large entries in pieces.
  constexpr std::size_t piece = 1 << 30;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::size_t length = bytes.size() - at < piece ? bytes.size() - at : piece;
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + at), static_cast<uInt>(length));
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace

std::string StoredZip(const std::vector<ZipEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const ZipEntry& entry : entries) {
    const auto offset = static_cast<std::uint32_t>(archive.size());
    const std::uint32_t crc = Crc32Of(entry.bytes);
    const auto size = static_cast<std::uint32_t>(entry.bytes.size());
    const auto nameLength = static_cast<std::uint32_t>(entry.name.size());

    Put32(archive, 0x04034b50);  // local file header
    Put16(archive, 10);          // version needed: 1.0, stored
    Put16(archive, 0);           // flags
    Put16(archive, 0);           // method: stored
    Put16(archive, DosTime);
    Put16(archive, DosDate);
    Put32(archive, crc);
    Put32(archive, size);        // compressed size
    Put32(archive, size);        // uncompressed size
    Put16(archive, nameLength);
    Put16(archive, 0);           // extra field length
    archive += entry.name;
    archive += entry.bytes;

    Put32(directory, 0x02014b50);  // central directory header
    Put16(directory, (3 << 8) | 20);  // made by: Unix, 2.0
    Put16(directory, 10);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, DosTime);
    Put16(directory, DosDate);
    Put32(directory, crc);
    Put32(directory, size);
    Put32(directory, size);
    Put16(directory, nameLength);
    Put16(directory, 0);           // extra field length
    Put16(directory, 0);           // comment length
    Put16(directory, 0);           // disk number
    Put16(directory, 0);           // internal attributes
    Put32(directory, 0100644u << 16);  // external attributes: a regular file, rw-r--r--
    Put32(directory, offset);
    directory += entry.name;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);  // end of central directory
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put32(archive, static_cast<std::uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);           // comment length
  return archive;
}

std::string UpdatePackage(std::string_view version, std::uint64_t dataSize) {
  std::string readme = "signmaker ";
  readme += version;
  readme +=
      "\r\n\r\nThis archive is the update package of signmaker.\r\n"
      "Unpack it over the program's folder and start the program again.\r\n";

  // xorshift64: data that does not compress and is the same for the same size.
  std::string data(dataSize, '\0');
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (char& byte : data) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    byte = static_cast<char>(state >> 56);
  }
  return StoredZip({{"readme.txt", std::move(readme)}, {"signmaker/update.dat", std::move(data)}});
}

}  // namespace signmaker::services
