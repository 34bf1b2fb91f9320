// Random operations on the settings object, checked against a plain list of sections and
// lines: the indexes must give the answers a front-to-back search gives.
#include "IniTestFixture.h"

#include <random>

#include "platform/UnicodeCase.h"

namespace quorvel_test {
namespace {

using settings::TMemIniFile;

// The obvious model: a list of sections, searched from the front on every call.
class TModel {
 public:
  struct TLine {
    std::u16string Name, Value;
    bool Entry = true;
  };
  struct TSection {
    std::u16string Name;
    std::vector<TLine> Lines;
  };
  std::vector<TSection> Sections;

  static bool Same(const std::u16string& a, const std::u16string& b) {
    return platform::UpperCaseText(a) == platform::UpperCaseText(b);
  }
  TSection* Find(const std::u16string& name) {
    for (TSection& s : Sections) {
      if (Same(s.Name, name)) return &s;
    }
    return nullptr;
  }
  TLine* FindLine(TSection& section, const std::u16string& name) {
    for (TLine& line : section.Lines) {
      if (line.Entry && Same(line.Name, name)) return &line;
    }
    return nullptr;
  }
  std::u16string Read(const std::u16string& section, const std::u16string& ident) {
    TSection* s = Find(section);
    TLine* line = s ? FindLine(*s, ident) : nullptr;
    return line ? line->Value : u"(none)";
  }
  void Write(const std::u16string& section, const std::u16string& ident, const std::u16string& value) {
    TSection* s = Find(section);
    if (!s) s = &Sections.emplace_back(TSection{section, {}});
    if (TLine* line = FindLine(*s, ident)) {
      *line = {ident, value};
    } else {
      s->Lines.push_back({ident, value});
    }
  }
  void Erase(const std::u16string& section) {
    for (auto it = Sections.begin(); it != Sections.end(); ++it) {
      if (Same(it->Name, section)) {
        Sections.erase(it);
        return;
      }
    }
  }
  std::string File() const {
    std::u16string text;
    for (const TSection& s : Sections) {
      text += u"[" + s.Name + u"]\r\n";
      for (const TLine& line : s.Lines) text += (line.Entry ? line.Name + u"=" + line.Value : line.Name) + u"\r\n";
      text += u"\r\n";
    }
    return cBom + platform::ToUtf8(text);
  }
};

class IniModel : public TIniTest {
 protected:
  std::mt19937 Random{20240611};
  // Few names, in several spellings, so that duplicates and case variants are common; and now
  // and then one of many, so that a section's index grows.
  const std::vector<std::u16string> FNames{u"top",   u"TOP",  u"Top", u"unit1", u"UNIT1", u"ärger",
                                           u"ÄRGER", u"名前", u"σ",   u"Σ",     u"ς",     u"x"};
  std::u16string AnyName() {
    return Random() % 4 ? FNames[Random() % FNames.size()]
                        : u"N" + platform::IntToStr(static_cast<long long>(Random() % 200));
  }
};

TEST_F(IniModel, RandomOperationsAgreeWithAPlainSearch) {
  for (int round = 0; round < 20; ++round) {
    // A loaded part with duplicate sections and entries, long sections and text lines.
    TModel model;
    std::u16string text;
    const int sections = 1 + static_cast<int>(Random() % 8);
    for (int s = 0; s < sections; ++s) {
      TModel::TSection& section = model.Sections.emplace_back(TModel::TSection{AnyName(), {}});
      text += u"[" + section.Name + u"]\n";
      const int lines = static_cast<int>(Random() % 40);
      for (int l = 0; l < lines; ++l) {
        if (Random() % 10 == 0) {
          section.Lines.push_back({u"words " + platform::IntToStr(l), u"", false});
          text += section.Lines.back().Name + u"\n";
        } else {
          section.Lines.push_back({AnyName(), platform::IntToStr(static_cast<long long>(Random() % 1000))});
          text += section.Lines.back().Name + u" = " + section.Lines.back().Value + u"\n";
        }
      }
    }
    WriteIni(platform::ToUtf8(text));
    TMemIniFile ini(IniName());

    for (int step = 0; step < 300; ++step) {
      const std::u16string section = AnyName(), ident = AnyName();
      switch (Random() % 10) {
        case 0:
          ini.EraseSection(section);
          model.Erase(section);
          break;
        case 1:
        case 2:
        case 3: {
          const std::u16string value = platform::IntToStr(step);
          ini.WriteString(section, ident, value);
          model.Write(section, ident, value);
          break;
        }
        default:
          ASSERT_EQ(ini.ReadString(section, ident, u"(none)"), model.Read(section, ident))
              << "round " << round << " step " << step;
      }
    }
    ini.UpdateFile();
    ASSERT_EQ(ReadIni(), model.File()) << "round " << round;
  }
}

}  // namespace
}  // namespace quorvel_test
