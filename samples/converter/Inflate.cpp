#include "Inflate.h"

#include <array>
#include <stdexcept>

namespace halvorn {

namespace {

constexpr int cMaxBits = 15;

// A canonical Huffman code: counts per code length and the symbols in code order.
struct THuffman {
  std::array<std::uint16_t, cMaxBits + 1> Count{};
  std::array<std::uint16_t, 320> Symbol{};
};

[[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string("deflate data: ") + what); }

class TBitReader {
 public:
  explicit TBitReader(std::string_view data) : FData(data) {}

  unsigned Bits(int count) {
    std::uint32_t value = FBuffer;
    while (FCount < count) {
      if (FPos >= FData.size()) Fail("unexpected end");
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(FData[FPos++])) << FCount;
      FCount += 8;
    }
    FBuffer = value >> count;
    FCount -= count;
    return value & ((1u << count) - 1);
  }

  // Stored blocks start on a byte boundary.
  void AlignToByte() {
    FBuffer = 0;
    FCount = 0;
  }
  unsigned char Byte() {
    if (FPos >= FData.size()) Fail("unexpected end");
    return static_cast<unsigned char>(FData[FPos++]);
  }

  // Bits are taken one at a time so that codes read most significant bit first.
  int Decode(const THuffman& code) {
    int first = 0;  // first code of the current length
    int index = 0;  // index of that code's symbol
    int value = 0;
    for (int length = 1; length <= cMaxBits; ++length) {
      value |= static_cast<int>(Bits(1));
      int count = code.Count[length];
      if (value - count < first) return code.Symbol[index + (value - first)];
      index += count;
      first += count;
      first <<= 1;
      value <<= 1;
    }
    Fail("invalid code");
  }

 private:
  std::string_view FData;
  std::size_t FPos = 0;
  std::uint32_t FBuffer = 0;
  int FCount = 0;
};

// Builds the code from the code length of each symbol; an over-subscribed set is malformed,
// an incomplete one is allowed (a single distance code, for example).
void Build(THuffman& code, const std::uint8_t* lengths, int symbols) {
  code.Count.fill(0);
  for (int s = 0; s < symbols; ++s) ++code.Count[lengths[s]];
  if (code.Count[0] == symbols) return;
  int left = 1;
  for (int length = 1; length <= cMaxBits; ++length) {
    left <<= 1;
    left -= code.Count[length];
    if (left < 0) Fail("over-subscribed code");
  }
  std::array<std::uint16_t, cMaxBits + 1> offsets{};
  for (int length = 1; length < cMaxBits; ++length) offsets[length + 1] = offsets[length] + code.Count[length];
  for (int s = 0; s < symbols; ++s)
    if (lengths[s] != 0) code.Symbol[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);
}

constexpr std::array<std::uint16_t, 29> cLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> cLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> cDistBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                     33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> cDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                     6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class TInflater {
 public:
  TInflater(std::string_view data, std::size_t maxSize) : FIn(data), FMax(maxSize) {}

  std::string Run() {
    bool last;
    do {
      last = FIn.Bits(1) != 0;
      switch (FIn.Bits(2)) {
        case 0: Stored(); break;
        case 1: Fixed(); break;
        case 2: Dynamic(); break;
        default: Fail("invalid block type");
      }
    } while (!last);
    return std::move(FOut);
  }

 private:
  void Put(char c) {
    if (FOut.size() >= FMax) Fail("output larger than announced");
    FOut.push_back(c);
  }

  void Stored() {
    FIn.AlignToByte();
    unsigned length = FIn.Byte();
    length |= static_cast<unsigned>(FIn.Byte()) << 8;
    unsigned check = FIn.Byte();
    check |= static_cast<unsigned>(FIn.Byte()) << 8;
    if (length != (~check & 0xFFFFu)) Fail("stored block length mismatch");
    while (length-- > 0) Put(static_cast<char>(FIn.Byte()));
  }

  void Fixed() {
    std::array<std::uint8_t, 288 + 30> lengths{};
    int s = 0;
    for (; s < 144; ++s) lengths[s] = 8;
    for (; s < 256; ++s) lengths[s] = 9;
    for (; s < 280; ++s) lengths[s] = 7;
    for (; s < 288; ++s) lengths[s] = 8;
    THuffman literals, distances;
    Build(literals, lengths.data(), 288);
    for (s = 0; s < 30; ++s) lengths[s] = 5;
    Build(distances, lengths.data(), 30);
    Codes(literals, distances);
  }

  void Dynamic() {
    static constexpr std::array<std::uint8_t, 19> order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
    int nlen = static_cast<int>(FIn.Bits(5)) + 257;
    int ndist = static_cast<int>(FIn.Bits(5)) + 1;
    int ncode = static_cast<int>(FIn.Bits(4)) + 4;
    if (nlen > 286 || ndist > 30) Fail("too many codes");
    std::array<std::uint8_t, 286 + 30> lengths{};
    for (int i = 0; i < ncode; ++i) lengths[order[i]] = static_cast<std::uint8_t>(FIn.Bits(3));
    THuffman lencode;
    Build(lencode, lengths.data(), 19);
    lengths.fill(0);
    int index = 0;
    while (index < nlen + ndist) {
      int symbol = FIn.Decode(lencode);
      if (symbol < 16) {
        lengths[index++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t value = 0;
      int repeat;
      if (symbol == 16) {
        if (index == 0) Fail("repeat with no previous length");
        value = lengths[index - 1];
        repeat = 3 + static_cast<int>(FIn.Bits(2));
      } else if (symbol == 17) {
        repeat = 3 + static_cast<int>(FIn.Bits(3));
      } else {
        repeat = 11 + static_cast<int>(FIn.Bits(7));
      }
      if (index + repeat > nlen + ndist) Fail("too many lengths");
      while (repeat-- > 0) lengths[index++] = value;
    }
    if (lengths[256] == 0) Fail("no end-of-block code");
    THuffman literals, distances;
    Build(literals, lengths.data(), nlen);
    Build(distances, lengths.data() + nlen, ndist);
    Codes(literals, distances);
  }

  void Codes(const THuffman& literals, const THuffman& distances) {
    for (;;) {
      int symbol = FIn.Decode(literals);
      if (symbol < 256) {
        Put(static_cast<char>(symbol));
        continue;
      }
      if (symbol == 256) return;
      symbol -= 257;
      if (symbol >= 29) Fail("invalid length code");
      std::size_t length = cLengthBase[symbol] + FIn.Bits(cLengthExtra[symbol]);
      int dsym = FIn.Decode(distances);
      if (dsym >= 30) Fail("invalid distance code");
      std::size_t distance = cDistBase[dsym] + FIn.Bits(cDistExtra[dsym]);
      if (distance > FOut.size()) Fail("distance too far back");
      // Byte by byte: a copy may overlap the bytes it produces.
      std::size_t from = FOut.size() - distance;
      for (std::size_t i = 0; i < length; ++i) Put(FOut[from + i]);
    }
  }

  TBitReader FIn;
  std::size_t FMax;
  std::string FOut;
};

}  // namespace

std::string Inflate(std::string_view compressed, std::size_t maxSize) { return TInflater(compressed, maxSize).Run(); }

}  // namespace halvorn
