#pragma once
// Reading entries of a zip archive held in memory: the central directory, stored and deflated data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvorn {

struct TZipEntry {
  std::string Name;  // raw bytes of the stored name
  bool NameIsUtf8 = false;
  std::uint16_t Method = 0;
  std::uint32_t Crc = 0;
  std::uint32_t CompressedSize = 0;
  std::uint32_t Size = 0;
  std::uint32_t LocalHeaderOffset = 0;
};

// The entries in central-directory order; raises std::runtime_error when the archive is malformed.
std::vector<TZipEntry> ReadCentralDirectory(std::string_view archive);

// The entry's content, checked against its CRC-32.
std::string ExtractEntry(std::string_view archive, const TZipEntry& entry);

std::uint32_t Crc32(std::string_view data);

}  // namespace halvorn
