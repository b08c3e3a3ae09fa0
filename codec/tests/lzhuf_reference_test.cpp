// The packer's streams on inputs of several kinds, pinned by their size and
// a 64-bit FNV-1a hash of their bytes. The packer is tuned for speed now and
// then; the streams it writes must stay bit for bit what they were, since
// archives made by older and newer builds are compared and unpacked alike.
#include <gtest/gtest.h>

#include "../src/lzhuf.h"
#include "test_support.h"

namespace {

using codec_test::Bytes;

uint64_t fnv1a(const Bytes& data) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

// Fixed-size records with counters and repeated fields, like a table file.
Bytes records(size_t count) {
  Bytes out;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t id = static_cast<uint32_t>(i * 7 + 1000);
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(id >> (8 * k)));
    out.push_back(static_cast<uint8_t>(i % 3));
    const char* name = (i % 5 == 0) ? "CONCRETE    " : "FORMWORK    ";
    out.insert(out.end(), name, name + 12);
    for (int k = 0; k < 15; ++k) out.push_back(static_cast<uint8_t>(k == 0 ? i / 256 : 0));
  }
  return out;
}

// Random letters from {a, b}: deep trees and many matches of equal length.
Bytes two_letters(size_t size, uint32_t seed) {
  Bytes out = codec_test::random_bytes(size, seed);
  for (auto& b : out) b = 'a' + (b & 1);
  return out;
}

Bytes repeated_block(size_t block, int times) {
  const Bytes one = codec_test::random_bytes(block, 7);
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), one.begin(), one.end());
  return out;
}

TEST(LzhufReferenceStreams, StreamsStayBitForBitTheSame) {
  struct Case {
    const char* name;
    Bytes data;
    size_t packed_size;
    uint64_t hash;
  };
  const Case cases[] = {
      {"text", codec_test::sample_text(1 << 20, 3), 329982, 0xb8ac43db85caf124ull},
      {"random", codec_test::random_bytes(256 << 10, 4), 262418, 0x0079e683829030d1ull},
      {"zeros", Bytes(200000, 0), 4209, 0x4b00e03ebf8dbce7ull},
      {"records", records(20000), 61268, 0x7c979f0044e38b5full},
      {"two letters", two_letters(300000, 5), 47458, 0xee2b7104bb4b1895ull},
      {"block repeated near the window's reach", repeated_block(4000, 40), 9500,
       0x777bb6e30e35bac7ull},
  };
  for (const Case& c : cases) {
    const Bytes packed = nub::lzhuf_compress(c.data);
    EXPECT_EQ(packed.size(), c.packed_size) << c.name;
    EXPECT_EQ(fnv1a(packed), c.hash) << c.name;
  }
}

}  // namespace
