// The settings file: load, look-ups, durable flush, many writes, peak memory; and the load of
// two peer INI readers on the very same file, so that the ratio is measured side by side.
#include <benchmark/benchmark.h>

#define SI_NO_CONVERSION   // UTF-8 bytes as they are; the peer then checks no encoding
#define SI_IMPLEMENTATION  // Debian keeps the template bodies behind this: header-only here
#include <INIReader.h>
#include <SimpleIni.h>
#include <ini.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchTargets.h"
#include "HeapCounter.h"
#include "IniCorpus.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace {

using bench::CorpusFile;
using bench::TCorpusFile;
using settings::TMemIniFile;

constexpr std::size_t cSizes[] = {1, 10};
constexpr std::size_t cLookUps = 1000;
constexpr std::size_t cWrites = 100000;

std::string Mb(std::size_t megabytes) { return std::to_string(megabytes) + "MB"; }

// The last entry of the last section, as the file holds it: proves the whole file was read.
struct TProbe {
  std::string Section, Name, Value;
};
TProbe LastEntry(const TCorpusFile& file) {
  const std::string& bytes = file.Corpus.Bytes;
  // The file ends "name=value\r\n\r\n".
  const std::size_t end = bytes.size() - 4;
  const std::size_t begin = bytes.rfind("\r\n", end - 1) + 2;
  const std::string line = bytes.substr(begin, end - begin);
  const std::size_t equals = line.find('=');
  return {file.Corpus.Sections.back(), line.substr(0, equals), line.substr(equals + 1)};
}

void Check(benchmark::State& state, bool ok, const char* what) {
  if (!ok) state.SkipWithError(what);
}

void SetThroughput(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// Load: create the object from the file, then release it, as every operation of the program does.
void LoadQuorvel(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const TProbe probe = LastEntry(file);
  for (auto _ : state) {
    TMemIniFile ini(file.Path16);
    benchmark::DoNotOptimize(&ini);
  }
  TMemIniFile ini(file.Path16);
  Check(state,
        platform::ToUtf8(ini.ReadString(platform::FromUtf8(probe.Section), platform::FromUtf8(probe.Name), u"")) ==
            probe.Value,
        "last entry not read back");
  SetThroughput(state, file.Corpus.Bytes.size());
}

void LoadSimpleIni(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const TProbe probe = LastEntry(file);
  for (auto _ : state) {
    CSimpleIniA ini(/*a_bIsUtf8=*/true);
    const SI_Error result = ini.LoadFile(file.Path.c_str());
    benchmark::DoNotOptimize(result);
  }
  CSimpleIniA ini(true);
  Check(state,
        ini.LoadFile(file.Path.c_str()) == SI_OK &&
            ini.GetValue(probe.Section.c_str(), probe.Name.c_str(), "") == probe.Value,
        "SimpleIni did not read the last entry");
  SetThroughput(state, file.Corpus.Bytes.size());
}

// inih builds nothing: its handler here only counts, so this is the bare parse.
int CountEntry(void* user, const char*, const char*, const char*) {
  ++*static_cast<std::size_t*>(user);
  return 1;
}

void ParseInih(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  std::size_t entries = 0;
  for (auto _ : state) {
    entries = 0;
    const int result = ini_parse(file.Path.c_str(), CountEntry, &entries);
    benchmark::DoNotOptimize(result);
  }
  Check(state, entries == file.Corpus.Entries, "inih did not see every entry");
  SetThroughput(state, file.Corpus.Bytes.size());
}

// inih's own C++ reader, which keeps every value in a map: a load comparable to ours.
void LoadInihReader(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const TProbe probe = LastEntry(file);
  for (auto _ : state) {
    INIReader reader(file.Path);
    benchmark::DoNotOptimize(&reader);
  }
  INIReader reader(file.Path);
  Check(state, reader.ParseError() == 0 && reader.Get(probe.Section, probe.Name, "") == probe.Value,
        "INIReader did not read the last entry");
  SetThroughput(state, file.Corpus.Bytes.size());
}

// 1,000 look-ups in mixed case, 90 % hits, on a fresh object each time: what an operation
// meets, the entry index of each section it touches built at its first look-up.
void LookUpsCold(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const std::vector<bench::TLookUp> lookUps = bench::MakeLookUps(file.Corpus, cLookUps, 90, 42);
  std::size_t found = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ini = std::make_unique<TMemIniFile>(file.Path16);
    state.ResumeTiming();
    found = 0;
    for (const bench::TLookUp& lookUp : lookUps) found += !ini->ReadString(lookUp.Section, lookUp.Ident, u"").empty();
    state.PauseTiming();
    ini.reset();
    state.ResumeTiming();
  }
  std::size_t expected = 0;
  for (const bench::TLookUp& lookUp : lookUps) expected += lookUp.Exists;
  Check(state, found == expected, "look-ups missed existing entries or found missing ones");
}

// The same look-ups again on one object whose indexes are built.
void LookUpsWarm(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const std::vector<bench::TLookUp> lookUps = bench::MakeLookUps(file.Corpus, cLookUps, 90, 42);
  TMemIniFile ini(file.Path16);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    for (const bench::TLookUp& lookUp : lookUps) found += !ini.ReadString(lookUp.Section, lookUp.Ident, u"").empty();
    benchmark::DoNotOptimize(found);
  }
}

// The durable flush: temporary file, fsync, attributes, rename over the old file.
void Flush(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  TMemIniFile ini(file.Path16);
  for (auto _ : state) ini.UpdateFile();
  std::ifstream in(file.Path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Comment lines go at a flush; the rest stays. Nothing grows.
  Check(state, written.size() < file.Corpus.Bytes.size() && written.size() > file.Corpus.Bytes.size() * 9 / 10,
        "flushed file has an unexpected size");
  SetThroughput(state, written.size());
}

struct TWrites {
  std::u16string Section;
  std::vector<std::u16string> Names;
  std::vector<std::u16string> Values;
};
TWrites MakeWrites(const TCorpusFile& file) {
  TWrites writes;
  writes.Section = platform::FromUtf8(file.Corpus.Sections[file.Corpus.Sections.size() / 2]);
  for (std::size_t i = 0; i < cWrites; ++i) {
    writes.Names.push_back(u"unit" + platform::IntToStr(static_cast<long long>(i + 1)));
    writes.Values.push_back(u"XR-" + platform::IntToStr(static_cast<long long>(i % 997)) + u" 型式");
  }
  return writes;
}

// 100,000 new entries into one section of the loaded file, then the flush.
void WriteAndFlush(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const std::string path = file.Dir + "/write.ini";
  const std::u16string path16 = platform::FromUtf8(path);
  const TWrites writes = MakeWrites(file);
  std::size_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bench::WriteWholeFile(path, file.Corpus.Bytes);
    auto ini = std::make_unique<TMemIniFile>(path16);
    state.ResumeTiming();
    for (std::size_t i = 0; i < cWrites; ++i) ini->WriteString(writes.Section, writes.Names[i], writes.Values[i]);
    ini->UpdateFile();
    state.PauseTiming();
    ini.reset();
    state.ResumeTiming();
  }
  TMemIniFile check(path16);
  Check(state, check.ReadString(writes.Section, writes.Names.back(), u"") == writes.Values.back(),
        "the last written entry is not in the file");
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  written = static_cast<std::size_t>(in.tellg());
  SetThroughput(state, written);
}

// Peak memory over file size, by the counting operator new and by resident size; one run each.
struct TMemoryRow {
  std::string What;
  std::size_t FileBytes;
  bench::TMemoryUse Use;
  std::size_t WrittenBytes = 0;  // the flushed file, when it grew by the work
};
std::vector<TMemoryRow>& MemoryRows() {
  static std::vector<TMemoryRow> rows;
  return rows;
}

void Memory(benchmark::State& state, std::size_t megabytes) {
  const TCorpusFile& file = CorpusFile(megabytes);
  const std::size_t size = file.Corpus.Bytes.size();
  const std::string path = file.Dir + "/memory.ini";
  const std::u16string path16 = platform::FromUtf8(path);
  bench::WriteWholeFile(path, file.Corpus.Bytes);
  const TWrites writes = MakeWrites(file);
  std::string suffix(" ");  // not " " + text: g++ 12 warns wrongly there (-Wrestrict)
  suffix += Mb(megabytes);
  for (auto _ : state) {
    MemoryRows().push_back({"TMemIniFile load" + suffix, size, bench::MeasureMemory([&] { TMemIniFile ini(path16); })});
    MemoryRows().push_back({"TMemIniFile load + 1,000 look-ups + flush" + suffix, size, bench::MeasureMemory([&] {
                              TMemIniFile ini(path16);
                              for (const bench::TLookUp& lookUp : bench::MakeLookUps(file.Corpus, cLookUps, 90, 42))
                                ini.ReadString(lookUp.Section, lookUp.Ident, u"");
                              ini.UpdateFile();
                            })});
    MemoryRows().push_back({"TMemIniFile load + 100,000 writes + flush" + suffix, size, bench::MeasureMemory([&] {
                              TMemIniFile ini(path16);
                              for (std::size_t i = 0; i < cWrites; ++i)
                                ini.WriteString(writes.Section, writes.Names[i], writes.Values[i]);
                              ini.UpdateFile();
                            })});
    MemoryRows().back().WrittenBytes = static_cast<std::size_t>(std::filesystem::file_size(path));
    bench::WriteWholeFile(path, file.Corpus.Bytes);
    MemoryRows().push_back({"SimpleIni load" + suffix, size, bench::MeasureMemory([&] {
                              CSimpleIniA ini(true);
                              ini.LoadFile(path.c_str());
                            })});
    MemoryRows().push_back({"INIReader load" + suffix, size, bench::MeasureMemory([&] { INIReader reader(path); })});
  }
}

const bool cRegistered = [] {
  for (std::size_t megabytes : cSizes) {
    const std::string mb = Mb(megabytes);
    const auto add = [&](const std::string& name, void (*fn)(benchmark::State&, std::size_t)) {
      return benchmark::RegisterBenchmark(name.c_str(), fn, megabytes)->Unit(benchmark::kMillisecond);
    };
    add("ini/load/TMemIniFile/" + mb, LoadQuorvel);
    add("ini/load/SimpleIni/" + mb, LoadSimpleIni);
    add("ini/load/INIReader/" + mb, LoadInihReader);
    add("ini/load/inih-parse-only/" + mb, ParseInih);
    add("ini/lookups-1000/fresh-object/" + mb, LookUpsCold)->Unit(benchmark::kMicrosecond);
    add("ini/lookups-1000/indexed/" + mb, LookUpsWarm)->Unit(benchmark::kMicrosecond);
    add("ini/flush-durable/" + mb, Flush);
    add("ini/write-100000+flush/" + mb, WriteAndFlush);
    add("ini/memory/" + mb, Memory)->Iterations(1)->Repetitions(1);
  }
  return true;
}();

const bool cSummary = bench::AddSummary([](const bench::TResults& results) {
  std::printf("Settings file (TMemIniFile), targets on the 10 MB file:\n");
  bench::PrintTarget(results, "ini/load/TMemIniFile/10MB", "load 10 MB", 20);
  bench::PrintTarget(results, "ini/lookups-1000/fresh-object/10MB", "1,000 mixed-case look-ups (fresh object)", 1);
  bench::PrintTarget(results, "ini/lookups-1000/indexed/10MB", "1,000 mixed-case look-ups (indexes built)", 0.5);
  bench::PrintTarget(results, "ini/flush-durable/10MB", "durable flush 10 MB", 40);
  bench::PrintTarget(results, "ini/write-100000+flush/10MB", "100,000 WriteString + flush", 100);
  std::printf("Peers' load time over ours on the same file (above 1: ours is faster):\n");
  for (std::size_t megabytes : cSizes) {
    const std::string mb = Mb(megabytes);
    const std::string ours = "ini/load/TMemIniFile/" + mb;
    // At most half the time of SimpleIni on 10 MB.
    bench::PrintRatio(results, "ini/load/SimpleIni/" + mb, ours, "SimpleIni / TMemIniFile, " + mb,
                      megabytes == 10 ? 2 : 0);
    bench::PrintRatio(results, "ini/load/INIReader/" + mb, ours, "inih INIReader / TMemIniFile, " + mb);
    bench::PrintRatio(results, "ini/load/inih-parse-only/" + mb, ours,
                      "inih ini_parse (no image) / TMemIniFile, " + mb);
  }
  if (MemoryRows().empty()) return;
  std::printf("Peak memory over file size (heap: counting operator new; RSS: rise of VmHWM):\n");
  for (const TMemoryRow& row : MemoryRows()) {
    const double file = static_cast<double>(row.FileBytes);
    std::printf("  %-50s heap %6.2f x (%7.2f MB)  RSS %6.2f x%s\n", row.What.c_str(), row.Use.HeapPeak / file,
                row.Use.HeapPeak / 1048576.0, row.Use.RssPeak / file,
                row.What.rfind("TMemIniFile", 0) == 0
                    ? (row.Use.HeapPeak / file < 2.5 ? "  (target < 2.5 x) ok" : "  (target < 2.5 x) MISSED")
                    : "");
    if (row.WrittenBytes != 0) {
      std::printf("  %-50s heap %6.2f x the flushed file (%.2f MB)\n", "", row.Use.HeapPeak / double(row.WrittenBytes),
                  row.WrittenBytes / 1048576.0);
    }
  }
});

}  // namespace
