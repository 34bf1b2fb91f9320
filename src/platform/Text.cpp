#include "platform/Text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

constexpr char32_t cReplacement = 0xFFFD;

char* AppendCodePoint(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

char16_t* AppendUtf16(char16_t* out, char32_t c) {
  if (c >= 0x10000) {
    *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    c = 0xDC00 + (c & 0x3FF);
  }
  *out++ = static_cast<char16_t>(c);
  return out;
}

// Decodes one sequence at bytes[pos]. On success pos moves past it; on a fault pos moves past
// the longest valid prefix (at least one byte), so a bad sequence is replaced only once.
bool DecodeOne(std::string_view bytes, std::size_t& pos, char32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint8_t lead = byte(pos);
  if (lead < 0x80) {
    c = lead;
    ++pos;
    return true;
  }
  std::size_t count = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // range of the second byte, narrower after some leads
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 1;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 2;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 3;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    ++pos;
    return false;
  }
  for (std::size_t k = 1; k <= count; ++k) {
    const std::size_t i = pos + k;
    const bool inRange = i < bytes.size() && (k == 1 ? byte(i) >= low && byte(i) <= high : (byte(i) & 0xC0) == 0x80);
    if (!inRange) {
      pos = i;
      return false;
    }
    c = (c << 6) | (byte(i) & 0x3F);
  }
  pos += count + 1;
  return true;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  // At most three bytes a unit (a pair takes four): sized once and cut to what was written.
  std::string out(text.size() * 3, '\0');
  char* next = out.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {  // most of a settings file
      *next++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = cReplacement;
    }
    next = AppendCodePoint(next, c);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return out;
}

bool TryFromUtf8(std::string_view bytes, std::u16string& out) {
  // Never more units than bytes: sized once and cut to what was decoded, as a settings file
  // of megabytes is decoded at every load. ASCII, most of such a file, goes straight through.
  out.resize(bytes.size());
  char16_t* next = out.data();
  std::size_t pos = 0;
  bool valid = true;
  while (pos < bytes.size()) {
    char32_t c = static_cast<std::uint8_t>(bytes[pos]);
    if (c < 0x80) {
      ++pos;
    } else if (!DecodeOne(bytes, pos, c)) {
      valid = false;
      break;
    }
    next = AppendUtf16(next, c);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return valid;
}

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');  // never more units than bytes
  char16_t* next = out.data();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t c = 0;
    next = AppendUtf16(next, DecodeOne(bytes, pos, c) ? c : cReplacement);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return out;
}

std::u16string IntToStr(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string_view CutUnits(std::u16string_view text, std::size_t units) {
  if (text.size() <= units) return text;
  const bool splitsPair = units > 0 && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF &&
                          text[units] >= 0xDC00 && text[units] <= 0xDFFF;
  return text.substr(0, splitsPair ? units - 1 : units);
}

bool ContainsText(std::u16string_view text, std::u16string_view pattern) {
  return !pattern.empty() && text.find(pattern) != std::u16string_view::npos;
}

std::u16string FormatG(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  char buffer[64];
  // %.15g switches to exponents exactly where the general format does.
  std::snprintf(buffer, sizeof(buffer), "%.15g", value);
  std::string text = buffer;
  std::u16string result;
  std::size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  result.assign(mantissa.begin(), mantissa.end());
  if (e != std::string::npos) {
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = std::to_string(exponent);  // "-7", "20": no "+" and no leading zeros
    result += u'E';
    result.append(digits.begin(), digits.end());
  }
  return result;
}

}  // namespace platform
