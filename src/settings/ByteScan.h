#pragma once
// Byte searches of the settings file's load, many bytes at a time: sixteen with SSE2 (every
// x86-64 build has it), else eight in a 64-bit word. Both give the same answers.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#define QUORVEL_SCAN_SSE2 1
#endif

namespace settings {

namespace detail {

static_assert(std::endian::native == std::endian::little, "the word scans read bytes in little-endian order");
constexpr std::uint64_t cOnes = 0x0101010101010101ull;
constexpr std::uint64_t cHighs = 0x8080808080808080ull;

// The high bit of each byte of word that equals c, exactly.
inline std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
  const std::uint64_t x = word ^ (cOnes * c);
  return ~(((x & ~cHighs) + ~cHighs) | x) & cHighs;
}

inline std::uint64_t Word(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace detail

// The first CR or LF in [p, end), with withEquals the first CR, LF or "="; end when none.
template <bool withEquals>
const char* FindLineStop(const char* p, const char* end) {
#if QUORVEL_SCAN_SSE2
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i equals = _mm_set1_epi8('=');
  for (; end - p >= 16; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr));
    if constexpr (withEquals) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, equals));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return p + std::countr_zero(mask);
  }
#else
  for (; end - p >= 8; p += 8) {
    const std::uint64_t word = detail::Word(p);
    std::uint64_t hits = detail::BytesEqual(word, '\n') | detail::BytesEqual(word, '\r');
    if constexpr (withEquals) hits |= detail::BytesEqual(word, '=');
    if (hits != 0) return p + std::countr_zero(hits) / 8;
  }
#endif
  for (; p < end; ++p) {
    if (*p == '\n' || *p == '\r' || (withEquals && *p == '=')) return p;
  }
  return end;
}

// How many bytes of [p, end) equal c.
inline std::size_t CountByte(const char* p, const char* end, char c) {
  std::size_t count = 0;
#if QUORVEL_SCAN_SSE2
  const __m128i target = _mm_set1_epi8(c);
  while (end - p >= 16) {
    // Each lane counts up to 255 matches before the lanes are summed.
    __m128i lanes = _mm_setzero_si128();
    for (int round = 0; round < 255 && end - p >= 16; ++round, p += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, target));
    }
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
  }
#else
  for (; end - p >= 8; p += 8) count += std::popcount(detail::BytesEqual(detail::Word(p), static_cast<unsigned char>(c)));
#endif
  for (; p < end; ++p) count += *p == c;
  return count;
}

// The first byte of [p, end) at or above 0x80; end when none.
inline const char* SkipAscii(const char* p, const char* end) {
#if QUORVEL_SCAN_SSE2
  for (; end - p >= 16; p += 16) {
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    if (mask != 0) return p + std::countr_zero(mask);
  }
#else
  for (; end - p >= 8; p += 8) {
    const std::uint64_t high = detail::Word(p) & detail::cHighs;
    if (high != 0) return p + std::countr_zero(high) / 8;
  }
#endif
  while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
  return p;
}

}  // namespace settings
