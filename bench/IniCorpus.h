#pragma once
// Generated settings files for the benchmarks: a section `main` as the program keeps it,
// then licence-like sections of entries. Byte-order mark, CR LF, lines of 24 to 150 bytes
// (the peers' line limit is 200), every fifth value Japanese. The same seed gives the same file.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct TIniCorpus {
  std::string Bytes;
  std::vector<std::string> Sections;            // in file order, `main` first
  std::vector<std::vector<std::string>> Names;  // entry names per section
  std::size_t Entries = 0;                      // all entries, `main`'s included
  std::size_t LongestLine = 0;                  // bytes, without CR LF
};

// sections licence sections of entries until the file reaches about targetBytes.
TIniCorpus MakeCorpus(std::size_t targetBytes, std::size_t sections, std::uint64_t seed);

// Look-ups in UTF-16 with the letters' case shuffled: hitPercent of them name an existing
// entry of a random section, the others a missing entry or a missing section.
struct TLookUp {
  std::u16string Section;
  std::u16string Ident;
  bool Exists = false;
};
std::vector<TLookUp> MakeLookUps(const TIniCorpus& corpus, std::size_t count, unsigned hitPercent, std::uint64_t seed);

// What section `main` says, so that a keystroke can match it.
inline const std::u16string cCorpusDocument = u"D:\\apps\\a.zip";
inline const std::u16string cCorpusLicence = u"LIC-0007";

void WriteWholeFile(const std::string& path, const std::string& bytes);

// The corpus of megabytes MB (200 sections per MB) as Halvorn.ini in folder "<megabytes>mb"
// of the current directory, made at first use and shared by every benchmark.
struct TCorpusFile {
  TIniCorpus Corpus;
  std::string Dir;   // absolute
  std::string Path;  // absolute
  std::u16string Path16;
};
const TCorpusFile& CorpusFile(std::size_t megabytes);

}  // namespace bench
