#pragma once
// Byte searches of the settings file's load, many bytes at a time: sixteen with SSE2 (every
// x86-64 build has it), else eight in a 64-bit word. Both give the same answers; defining
// QUORVEL_SCAN_PORTABLE takes the word scans on x86-64 too, so that a test keeps them right.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__) && !defined(QUORVEL_SCAN_PORTABLE)
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

// What a chunk of 64 bytes holds; bit i stands for byte i.
constexpr std::size_t cChunkBytes = 64;
struct TChunkMasks {
  std::uint64_t Ends;    // CR or LF
  std::uint64_t Equals;  // "="
  std::uint64_t High;    // 0x80 and above: part of a character beyond ASCII
};

// p: 64 readable bytes.
inline TChunkMasks ScanChunk(const char* p) {
  TChunkMasks masks{0, 0, 0};
#if QUORVEL_SCAN_SSE2
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i equals = _mm_set1_epi8('=');
  for (unsigned k = 0; k < 4; ++k) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + std::size_t{16} * k));
    const auto ends =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr))));
    const auto eq = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, equals)));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
    masks.Ends |= static_cast<std::uint64_t>(ends) << (16 * k);
    masks.Equals |= static_cast<std::uint64_t>(eq) << (16 * k);
    masks.High |= static_cast<std::uint64_t>(high) << (16 * k);
  }
#else
  // The high bits of a word's eight bytes as eight bits.
  const auto gather = [](std::uint64_t highs) { return ((highs >> 7) * 0x0102040810204080ull) >> 56; };
  for (unsigned k = 0; k < 8; ++k) {
    const std::uint64_t word = detail::Word(p + std::size_t{8} * k);
    masks.Ends |= gather(detail::BytesEqual(word, '\n') | detail::BytesEqual(word, '\r')) << (8 * k);
    masks.Equals |= gather(detail::BytesEqual(word, '=')) << (8 * k);
    masks.High |= gather(word & detail::cHighs) << (8 * k);
  }
#endif
  return masks;
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
