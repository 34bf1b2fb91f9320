#include "Zip.h"

#include <array>
#include <stdexcept>

#include "Inflate.h"

namespace halvorn {

namespace {

constexpr std::uint32_t cEndSignature = 0x06054b50;
constexpr std::uint32_t cCentralSignature = 0x02014b50;
constexpr std::uint32_t cLocalSignature = 0x04034b50;
constexpr std::size_t cEndSize = 22;
constexpr std::size_t cCentralSize = 46;
constexpr std::size_t cLocalSize = 30;
constexpr std::size_t cMaxComment = 0xFFFF;
constexpr std::uint16_t cFlagEncrypted = 0x0001;
constexpr std::uint16_t cFlagUtf8 = 0x0800;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("zip archive: " + what); }

std::uint16_t U16(std::string_view data, std::size_t at) {
  if (at + 2 > data.size()) Fail("truncated");
  return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1])
                                                                               << 8);
}

std::uint32_t U32(std::string_view data, std::size_t at) {
  return static_cast<std::uint32_t>(U16(data, at)) | static_cast<std::uint32_t>(U16(data, at + 2)) << 16;
}

// The end record is the last one whose comment length reaches exactly to the end of the data.
std::size_t FindEndRecord(std::string_view archive) {
  if (archive.size() < cEndSize) Fail("too short");
  std::size_t lowest = archive.size() > cEndSize + cMaxComment ? archive.size() - cEndSize - cMaxComment : 0;
  for (std::size_t at = archive.size() - cEndSize + 1; at-- > lowest;) {
    if (U32(archive, at) == cEndSignature && at + cEndSize + U16(archive, at + 20) == archive.size()) return at;
  }
  Fail("no end of central directory");
}

}  // namespace

std::uint32_t Crc32(std::string_view data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char ch : data) crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::vector<TZipEntry> ReadCentralDirectory(std::string_view archive) {
  std::size_t end = FindEndRecord(archive);
  std::uint16_t count = U16(archive, end + 10);
  std::uint32_t size = U32(archive, end + 12);
  std::uint32_t offset = U32(archive, end + 16);
  if (count == 0xFFFF || size == 0xFFFFFFFFu || offset == 0xFFFFFFFFu) Fail("zip64 archives are not supported");
  if (static_cast<std::size_t>(offset) + size > end) Fail("central directory out of range");
  std::vector<TZipEntry> entries;
  std::size_t at = offset;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (at + cCentralSize > end || U32(archive, at) != cCentralSignature) Fail("bad central directory entry");
    TZipEntry entry;
    std::uint16_t flags = U16(archive, at + 8);
    entry.NameIsUtf8 = (flags & cFlagUtf8) != 0;
    entry.Method = U16(archive, at + 10);
    entry.Crc = U32(archive, at + 16);
    entry.CompressedSize = U32(archive, at + 20);
    entry.Size = U32(archive, at + 24);
    std::size_t nameLength = U16(archive, at + 28);
    std::size_t extraLength = U16(archive, at + 30);
    std::size_t commentLength = U16(archive, at + 32);
    entry.LocalHeaderOffset = U32(archive, at + 42);
    if (at + cCentralSize + nameLength > end) Fail("name out of range");
    entry.Name = std::string(archive.substr(at + cCentralSize, nameLength));
    if (flags & cFlagEncrypted) entry.Method = 0xFFFF;  // never readable here
    entries.push_back(std::move(entry));
    at += cCentralSize + nameLength + extraLength + commentLength;
  }
  return entries;
}

std::string ExtractEntry(std::string_view archive, const TZipEntry& entry) {
  std::size_t at = entry.LocalHeaderOffset;
  if (at + cLocalSize > archive.size() || U32(archive, at) != cLocalSignature) Fail("bad local header");
  // The local header's own name and extra lengths may differ from the central directory's.
  std::size_t data = at + cLocalSize + U16(archive, at + 26) + U16(archive, at + 28);
  if (data + entry.CompressedSize > archive.size()) Fail("entry data out of range");
  std::string_view raw = archive.substr(data, entry.CompressedSize);
  std::string content;
  if (entry.Method == 0) {
    content = std::string(raw);
  } else if (entry.Method == 8) {
    content = Inflate(raw, entry.Size);
  } else {
    Fail("unsupported compression method " + std::to_string(entry.Method));
  }
  if (content.size() != entry.Size) Fail("entry size mismatch");
  if (Crc32(content) != entry.Crc) Fail("entry CRC mismatch");
  return content;
}

}  // namespace halvorn
