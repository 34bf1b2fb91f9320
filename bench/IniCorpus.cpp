#include "IniCorpus.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/Text.h"

namespace bench {

namespace {

// Characters of ASCII values: no ";" (a peer takes " ;" as a comment), no "=" or brackets.
constexpr std::string_view cValueChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 \\:._-/,";
constexpr std::string_view cLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
// Three bytes each in UTF-8.
const std::vector<std::string> cJapanese = {"設", "定", "値", "型", "式", "番", "号", "東", "京",
                                            "前", "面", "受", "付", "機", "器", "名", "称", "備",
                                            "考", "ア", "イ", "ウ", "カ", "タ", "ロ", "グ", "　"};

constexpr std::size_t cMinLine = 24;
constexpr std::size_t cMaxLine = 150;

class TGenerator {
 public:
  explicit TGenerator(std::uint64_t seed) : FRandom(seed) {}
  std::size_t Between(std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(FRandom);
  }
  char From(std::string_view chars) { return chars[Between(0, chars.size() - 1)]; }
  std::string Letters(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += From(cLetters);
    return text;
  }

 private:
  std::mt19937_64 FRandom;
};

void AddLine(TIniCorpus& corpus, const std::string& line) {
  corpus.Bytes += line;
  corpus.Bytes += "\r\n";
  if (line.size() > corpus.LongestLine) corpus.LongestLine = line.size();
}

void AddEntry(TIniCorpus& corpus, const std::string& name, const std::string& value) {
  AddLine(corpus, name + "=" + value);
  corpus.Names.back().push_back(name);
  ++corpus.Entries;
}

std::u16string ShuffleCase(TGenerator& random, const std::string& name) {
  std::string mixed = name;
  for (char& c : mixed) {
    if (c >= 'a' && c <= 'z' && random.Between(0, 1)) c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z' && random.Between(0, 1)) c = static_cast<char>(c - 'A' + 'a');
  }
  return platform::FromUtf8(mixed);
}

}  // namespace

TIniCorpus MakeCorpus(std::size_t targetBytes, std::size_t sections, std::uint64_t seed) {
  TGenerator random(seed);
  TIniCorpus corpus;
  corpus.Bytes.reserve(targetBytes + 4096);
  corpus.Bytes += "\xEF\xBB\xBF";
  corpus.Sections.push_back("main");
  corpus.Names.emplace_back();
  AddLine(corpus, "[main]");
  AddEntry(corpus, "top", "120");
  AddEntry(corpus, "left", "200");
  AddEntry(corpus, "filename", platform::ToUtf8(cCorpusDocument));
  AddEntry(corpus, "PDFOut", "1");
  AddEntry(corpus, "license", platform::ToUtf8(cCorpusLicence));
  AddEntry(corpus, "application", "申請書 第7号");
  AddEntry(corpus, "callsign", "JA1XYZ");
  AddLine(corpus, "");

  const std::size_t perSection = (targetBytes - corpus.Bytes.size()) / sections;
  std::size_t entry = 0;
  for (std::size_t s = 0; s < sections; ++s) {
    const std::size_t sectionEnd = corpus.Bytes.size() + perSection;
    const std::string sectionName = "Lic-" + std::to_string(10000 + s) + "-" + random.Letters(4);
    corpus.Sections.push_back(sectionName);
    corpus.Names.emplace_back();
    AddLine(corpus, "[" + sectionName + "]");
    AddLine(corpus, "; generated " + std::to_string(s));
    for (std::size_t k = 0; corpus.Bytes.size() < sectionEnd; ++k, ++entry) {
      const std::string name = "Key" + std::to_string(k) + "_" + random.Letters(random.Between(4, 12));
      const std::size_t lineLength = random.Between(cMinLine, cMaxLine);
      const std::size_t valueLength = lineLength - name.size() - 1;
      std::string value;
      if (entry % 5 == 4) {
        while (value.size() + 3 <= valueLength) value += cJapanese[random.Between(0, cJapanese.size() - 1)];
      } else {
        while (value.size() < valueLength) value += random.From(cValueChars);
        // Trimming would shorten what a reader sees; keep the ends printable.
        value.front() = 'v';
        value.back() = 'x';
      }
      AddEntry(corpus, name, value);
    }
    AddLine(corpus, "");
  }
  if (corpus.LongestLine + 2 >= 200) throw std::logic_error("corpus line too long for the peers");
  return corpus;
}

std::vector<TLookUp> MakeLookUps(const TIniCorpus& corpus, std::size_t count, unsigned hitPercent, std::uint64_t seed) {
  TGenerator random(seed);
  std::vector<TLookUp> lookUps;
  lookUps.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t s = random.Between(1, corpus.Sections.size() - 1);
    TLookUp lookUp;
    lookUp.Section = ShuffleCase(random, corpus.Sections[s]);
    if (random.Between(0, 99) < hitPercent) {
      const std::vector<std::string>& names = corpus.Names[s];
      lookUp.Ident = ShuffleCase(random, names[random.Between(0, names.size() - 1)]);
      lookUp.Exists = true;
    } else if (random.Between(0, 1)) {
      lookUp.Ident = ShuffleCase(random, "Missing_" + std::to_string(i));
    } else {
      lookUp.Section = ShuffleCase(random, "NoSuchSection-" + std::to_string(i));
      lookUp.Ident = ShuffleCase(random, corpus.Names[s].front());
    }
    lookUps.push_back(std::move(lookUp));
  }
  return lookUps;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

const TCorpusFile& CorpusFile(std::size_t megabytes) {
  static std::map<std::size_t, TCorpusFile> files;
  auto found = files.find(megabytes);
  if (found != files.end()) return found->second;
  TCorpusFile file;
  file.Corpus = MakeCorpus(megabytes << 20, 200 * megabytes, 0x5EED0000 + megabytes);
  const std::filesystem::path dir = std::filesystem::absolute(std::to_string(megabytes) + "mb");
  std::filesystem::create_directories(dir);
  file.Dir = dir.string();
  file.Path = (dir / "Halvorn.ini").string();
  file.Path16 = platform::FromUtf8(file.Path);
  WriteWholeFile(file.Path, file.Corpus.Bytes);
  return files.emplace(megabytes, std::move(file)).first->second;
}

}  // namespace bench
