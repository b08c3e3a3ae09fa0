// The compressed stream: known answers, round trips and damaged streams.
#include "../src/lzhuf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "../src/adaptive_huffman.h"
#include "../src/position_code.h"
#include "test_support.h"

namespace {

using codec_test::Bytes;
using nub::lzhuf_compress;
using nub::lzhuf_decompress;

struct Symbols : nub::SymbolObserver {
  void symbol(int s, int d) override { sent.emplace_back(s, d); }
  std::vector<std::pair<int, int>> sent;
};

Bytes round_trip(const Bytes& data) {
  const Bytes packed = lzhuf_compress(data);
  Bytes out;
  EXPECT_TRUE(lzhuf_decompress(packed, data.size(), out));
  return out;
}

TEST(PositionCode, CodesDecodeToTheirOwnValueAndLength) {
  const auto& t = nub::kPositionTables;
  for (int v = 0; v < 64; ++v) {
    // Any byte starting with the code decodes to v, whatever bits follow.
    const unsigned span = 1u << (8 - t.length[v]);
    for (unsigned tail = 0; tail < span; ++tail) {
      const unsigned n = t.code[v] | tail;
      ASSERT_EQ(t.upper[n], v) << "byte " << n;
      ASSERT_EQ(t.upper_length[n], t.length[v]);
    }
  }
  // Landmarks of the published tables.
  EXPECT_EQ(t.code[1], 0x20);
  EXPECT_EQ(t.code[4], 0x50);
  EXPECT_EQ(t.code[12], 0x90);
  EXPECT_EQ(t.code[24], 0xC0);
  EXPECT_EQ(t.code[48], 0xF0);
  EXPECT_EQ(t.code[63], 0xFF);
  EXPECT_EQ(t.length[0], 3);
  EXPECT_EQ(t.length[63], 8);
}

TEST(LzhufKnownAnswer, SingleByte) {
  // In the starting tree leaf 'A' (65) climbs nodes 65, 346, 487, 557, 592,
  // 610, 619, 623, 625 (parent of x is 314 + x/2), odd nodes giving 1 bits:
  // root first that is 1 1 1 0 0 1 1 0 1, then seven zero bits of padding.
  EXPECT_EQ(lzhuf_compress(Bytes{'A'}), (Bytes{0xE6, 0x80}));
}

TEST(LzhufKnownAnswer, TenThousandSpaces) {
  const Bytes spaces(10000, ' ');
  Symbols trace;
  const Bytes packed = lzhuf_compress(spaces, &trace);

  // 166 full matches and one of the 40 bytes left. The first match points at
  // the oldest of the 61 strings inserted at the start (position 3976, 59
  // back from 4036): each all-space string replaced the one before it in the
  // tree. From then on every string matches the one just before it.
  ASSERT_EQ(trace.sent.size(), 167u);
  EXPECT_EQ(trace.sent.front(), std::make_pair(313, 59));
  for (size_t i = 1; i + 1 < trace.sent.size(); ++i) {
    ASSERT_EQ(trace.sent[i], std::make_pair(313, 0)) << "symbol " << i;
  }
  EXPECT_EQ(trace.sent.back(), std::make_pair(293, 0));

  // Symbol 313 starts as the 8-bit code 11000101; distance 59 is the 3-bit
  // code 000 and the six bits 111011.
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed[0], 0xC5);
  EXPECT_EQ(packed[1], 0x1D);

  EXPECT_EQ(round_trip(spaces), spaces);
}

TEST(LzhufRoundTrip, SmallSizesAroundTheLookahead) {
  EXPECT_TRUE(lzhuf_compress(Bytes{}).empty());
  for (size_t n : {1, 2, 3, 59, 60, 61, 62, 120, 121}) {
    const Bytes data = codec_test::random_bytes(n, static_cast<uint32_t>(n));
    EXPECT_EQ(round_trip(data), data) << n << " random bytes";
    const Bytes text = codec_test::sample_text(n, static_cast<uint32_t>(n));
    EXPECT_EQ(round_trip(text), text) << n << " text bytes";
  }
}

TEST(LzhufRoundTrip, RepetitiveInputsThatMatchAcrossTheRingEnd) {
  Bytes runs;
  for (int i = 0; i < 20000; ++i) runs.push_back(static_cast<uint8_t>((i / 700) % 3));
  EXPECT_EQ(round_trip(runs), runs);

  // A period just under the reach of the window makes matches go far back.
  const Bytes block = codec_test::random_bytes(4000, 7);
  Bytes repeated;
  for (int i = 0; i < 5; ++i) repeated.insert(repeated.end(), block.begin(), block.end());
  const Bytes packed = lzhuf_compress(repeated);
  EXPECT_LT(packed.size(), repeated.size() / 2);
  Bytes out;
  ASSERT_TRUE(lzhuf_decompress(packed, repeated.size(), out));
  EXPECT_EQ(out, repeated);
}

TEST(LzhufRoundTrip, LargeTextAndRandomData) {
#ifdef KELVO_ASAN
  const size_t size = 1 << 20;
#else
  const size_t size = 10 << 20;
#endif
  // Both sizes rebuild the Huffman tree many times.
  const Bytes text = codec_test::sample_text(size, 1);
  const Bytes packed_text = lzhuf_compress(text);
  EXPECT_LT(packed_text.size(), text.size() / 2);
  Bytes out;
  ASSERT_TRUE(lzhuf_decompress(packed_text, text.size(), out));
  EXPECT_TRUE(out == text);

  const Bytes noise = codec_test::random_bytes(size, 2);
  const Bytes packed_noise = lzhuf_compress(noise);
  // Random bytes grow a little: about 9 bits a literal.
  EXPECT_LT(packed_noise.size(), noise.size() + noise.size() / 8 + 64);
  ASSERT_TRUE(lzhuf_decompress(packed_noise, noise.size(), out));
  EXPECT_TRUE(out == noise);
}

TEST(AdaptiveHuffman, CodesLongerThanSixteenBitsSurvive) {
  // Nine symbols weighted 320 times the Fibonacci numbers stack up above the
  // other 305 leaves (weight 1 each, about 8 levels deep among themselves),
  // which end up 18 levels below the root. Sending each of those once more
  // at the end exercises the long codes.
  std::vector<int> symbols;
  unsigned a = 1, b = 1;
  for (int s = 0; s < 9; ++s) {
    for (unsigned k = 0; k < 320 * a - 1; ++k) symbols.push_back(s);
    const unsigned next = a + b;
    a = b;
    b = next;
  }
  for (int s = 9; s < nub::AdaptiveHuffman::kSymbols; ++s) symbols.push_back(s);

  nub::VectorSink sink;
  nub::BitWriter writer(sink);
  nub::AdaptiveHuffman encoder;
  int longest = 0;
  for (int s : symbols) longest = std::max(longest, encoder.encode(s, writer));
  ASSERT_TRUE(writer.finish());
  EXPECT_GT(longest, 16);

  nub::MemorySource source(sink.bytes);
  nub::BitReader reader(source);
  nub::AdaptiveHuffman decoder;
  for (size_t i = 0; i < symbols.size(); ++i) {
    ASSERT_EQ(decoder.decode(reader), symbols[i]) << "symbol " << i;
  }
  EXPECT_EQ(reader.overrun(), 0u);
}

TEST(LzhufDamaged, StreamThatRunsOutStopsEarly) {
  const Bytes text = codec_test::sample_text(50000, 3);
  const Bytes packed = lzhuf_compress(text);

  // A stated size far beyond what the stream holds.
  Bytes out;
  EXPECT_FALSE(lzhuf_decompress(packed, 4000000000u, out));
  EXPECT_LT(out.size(), text.size() + 1000);
  EXPECT_TRUE(std::equal(text.begin(), text.end(), out.begin()));

  // The stream cut short.
  const Bytes cut(packed.begin(), packed.end() - 10);
  EXPECT_FALSE(lzhuf_decompress(cut, text.size(), out));

  // No stream at all.
  EXPECT_FALSE(lzhuf_decompress(Bytes{}, 1000000, out));
  EXPECT_LT(out.size(), 200u);
}

TEST(LzhufDamaged, GarbageNeverWritesPastTheStatedSize) {
  for (uint32_t seed = 0; seed < 50; ++seed) {
    const Bytes garbage = codec_test::random_bytes(1 + seed * 13, seed);
    Bytes out;
    lzhuf_decompress(garbage, 5000, out);
    ASSERT_LE(out.size(), 5000u);
  }
}

}  // namespace
