#include "Xml.h"

#include "CodePage.h"
#include "Utf.h"

namespace halvorn {

namespace {

bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto a = static_cast<unsigned char>(bytes[i]);
    auto b = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
  }
  return text;
}

// The encoding named in <?xml ... encoding="..."?>; empty when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  at = declaration.find_first_of("\"'", at);
  if (at == std::string_view::npos) return {};
  std::size_t end = declaration.find(declaration[at], at + 1);
  if (end == std::string_view::npos) return {};
  return std::string(declaration.substr(at + 1, end - at - 1));
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

void AppendCodePoint(std::u16string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    out.push_back(u'\uFFFD');
  } else if (code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

// Character data with its entity references replaced; an unknown reference stays as written.
std::u16string DecodeEntities(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t end = text[i] == u'&' ? text.find(u';', i) : std::u16string_view::npos;
    if (end == std::u16string_view::npos) {
      out.push_back(text[i]);
      continue;
    }
    std::u16string_view name = text.substr(i + 1, end - i - 1);
    if (name == u"lt") out.push_back(u'<');
    else if (name == u"gt") out.push_back(u'>');
    else if (name == u"amp") out.push_back(u'&');
    else if (name == u"quot") out.push_back(u'"');
    else if (name == u"apos") out.push_back(u'\'');
    else if (name.size() > 1 && name[0] == u'#') {
      bool hex = name[1] == u'x';
      unsigned long code = 0;
      bool valid = name.size() > (hex ? 2u : 1u);
      for (std::size_t k = hex ? 2 : 1; k < name.size() && valid; ++k) {
        char16_t c = name[k];
        int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                    : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                    : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                    : -1;
        valid = digit >= 0 && code <= 0x10FFFF;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
      }
      if (!valid) {
        out.push_back(text[i]);
        continue;
      }
      AppendCodePoint(out, code);
    } else {
      out.push_back(text[i]);
      continue;
    }
    i = end;
  }
  return out;
}

std::u16string_view LocalName(std::u16string_view name) {
  std::size_t colon = name.find(u':');
  return colon == std::u16string_view::npos ? name : name.substr(colon + 1);
}

struct TCapture {
  std::u16string Name;
  std::size_t Depth;  // open elements outside the captured one
  std::u16string Text;
};

}  // namespace

std::u16string DecodeXml(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return FromUtf8(bytes.substr(3));
  if (bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return FromUtf16(bytes.substr(2), true);
  std::string encoding = DeclaredEncoding(bytes);
  if (encoding.empty() || SameAscii(encoding, "utf-8")) return FromUtf8(bytes);
  unsigned codePage = CodePageOf(encoding);
  return codePage ? DecodeCodePage(bytes, codePage) : FromUtf8(bytes);
}

std::map<std::u16string, std::u16string> ElementTexts(std::u16string_view xml,
                                                      const std::vector<std::u16string>& names) {
  std::map<std::u16string, std::u16string> found;
  std::vector<TCapture> active;
  std::size_t depth = 0;
  auto wanted = [&](std::u16string_view name) {
    for (const std::u16string& candidate : names)
      if (candidate == name && !found.count(candidate)) {
        for (const TCapture& capture : active)
          if (capture.Name == candidate) return false;
        return true;
      }
    return false;
  };
  auto addText = [&](std::u16string_view text) {
    for (TCapture& capture : active) capture.Text += text;
  };
  std::size_t i = 0;
  while (i < xml.size()) {
    std::size_t open = xml.find(u'<', i);
    if (open == std::u16string_view::npos) open = xml.size();
    if (open > i) addText(DecodeEntities(xml.substr(i, open - i)));
    if (open >= xml.size()) break;
    std::u16string_view rest = xml.substr(open);
    if (rest.starts_with(u"<!--")) {
      std::size_t end = xml.find(u"-->", open + 4);
      if (end == std::u16string_view::npos) break;
      i = end + 3;
    } else if (rest.starts_with(u"<![CDATA[")) {
      std::size_t end = xml.find(u"]]>", open + 9);
      if (end == std::u16string_view::npos) break;
      addText(xml.substr(open + 9, end - open - 9));
      i = end + 3;
    } else if (rest.starts_with(u"<?")) {
      std::size_t end = xml.find(u"?>", open + 2);
      if (end == std::u16string_view::npos) break;
      i = end + 2;
    } else if (rest.starts_with(u"<!")) {
      // A document type declaration, possibly with an internal subset in brackets.
      std::size_t bracket = xml.find_first_of(u"[>", open);
      std::size_t end =
          bracket != std::u16string_view::npos && xml[bracket] == u'[' ? xml.find(u"]>", bracket) : bracket;
      if (end == std::u16string_view::npos) break;
      i = xml.find(u'>', end) + 1;
    } else {
      // A start or end tag; quoted attribute values may hold '>'.
      std::size_t end = open + 1;
      char16_t quote = 0;
      while (end < xml.size() && (quote || xml[end] != u'>')) {
        if (quote && xml[end] == quote) quote = 0;
        else if (!quote && (xml[end] == u'"' || xml[end] == u'\'')) quote = xml[end];
        ++end;
      }
      if (end >= xml.size()) break;
      std::u16string_view tag = xml.substr(open + 1, end - open - 1);
      i = end + 1;
      bool closing = tag.starts_with(u"/");
      bool empty = !closing && tag.ends_with(u"/");
      std::size_t nameStart = closing ? 1 : 0;
      std::size_t nameEnd = nameStart;
      while (nameEnd < tag.size() && !IsXmlSpace(tag[nameEnd]) && tag[nameEnd] != u'/') ++nameEnd;
      std::u16string name(LocalName(tag.substr(nameStart, nameEnd - nameStart)));
      if (closing) {
        if (depth > 0) --depth;
        for (std::size_t k = active.size(); k-- > 0;) {
          if (active[k].Depth == depth) {
            found[active[k].Name] = std::move(active[k].Text);
            active.erase(active.begin() + static_cast<std::ptrdiff_t>(k));
          }
        }
      } else if (empty) {
        if (wanted(name)) found[name] = u"";
      } else {
        if (wanted(name)) active.push_back({name, depth, u""});
        ++depth;
      }
    }
  }
  return found;
}

std::u16string CollapseWhiteSpace(std::u16string_view text) {
  std::u16string out;
  bool pending = false;
  for (char16_t c : text) {
    if (IsXmlSpace(c)) {
      pending = !out.empty();
      continue;
    }
    if (pending) out.push_back(u' ');
    pending = false;
    out.push_back(c);
  }
  return out;
}

}  // namespace halvorn
