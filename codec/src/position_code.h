// The static code for the upper 6 bits of a match distance.
//
// Value 0 has a 3-bit code, 1-3 4-bit codes, 4-11 5-bit, 12-23 6-bit, 24-47
// 7-bit and 48-63 8-bit codes, assigned in increasing order. The encoder sends
// kPositionCode[v] (left-aligned in a byte) with kPositionLength[v] bits; the
// decoder looks at the next 8 bits n and finds the value kDistanceUpper[n]
// and its code length kDistanceLength[n].
#ifndef CODEC_POSITION_CODE_H_
#define CODEC_POSITION_CODE_H_

#include <array>
#include <cstdint>

namespace nub {

struct PositionCodeTables {
  std::array<uint8_t, 64> code{};
  std::array<uint8_t, 64> length{};
  std::array<uint8_t, 256> upper{};
  std::array<uint8_t, 256> upper_length{};
};

constexpr PositionCodeTables make_position_code_tables() {
  // Number of values that get codes of 3, 4, ..., 8 bits.
  constexpr int kCount[] = {1, 3, 8, 12, 24, 16};
  PositionCodeTables t;
  int value = 0;
  unsigned next_code = 0;  // canonical code, left-aligned in 8 bits
  for (int group = 0; group < 6; ++group) {
    const int bits = 3 + group;
    const unsigned step = 1u << (8 - bits);
    for (int k = 0; k < kCount[group]; ++k, ++value, next_code += step) {
      t.code[value] = static_cast<uint8_t>(next_code);
      t.length[value] = static_cast<uint8_t>(bits);
      for (unsigned n = next_code; n < next_code + step; ++n) {
        t.upper[n] = static_cast<uint8_t>(value);
        t.upper_length[n] = static_cast<uint8_t>(bits);
      }
    }
  }
  return t;
}

inline constexpr PositionCodeTables kPositionTables = make_position_code_tables();

}  // namespace nub

#endif  // CODEC_POSITION_CODE_H_
