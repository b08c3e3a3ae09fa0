// Our streams read by an independent LZHUF decoder: the lhasa tool unpacks
// "-lh1-" members of .lzh archives, which carry the same stream. Skipped
// when the tool is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "../src/lzhuf.h"
#include "test_support.h"

namespace {

using codec_test::Bytes;

uint16_t crc16(const Bytes& data) {
  uint16_t crc = 0;
  for (uint8_t b : data) {
    crc ^= b;
    for (int i = 0; i < 8; ++i)
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

void put_le(Bytes& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A one-member level-0 .lzh archive around `packed`.
Bytes lzh_archive(const std::string& name, const Bytes& original, const Bytes& packed) {
  Bytes body;
  for (char c : std::string("-lh1-")) body.push_back(static_cast<uint8_t>(c));
  put_le(body, packed.size(), 4);
  put_le(body, original.size(), 4);
  put_le(body, 0x2A210000, 4);  // MS-DOS time and date: 2001-01-01 00:00
  body.push_back(0x20);         // attribute
  body.push_back(0);            // header level
  body.push_back(static_cast<uint8_t>(name.size()));
  body.insert(body.end(), name.begin(), name.end());
  put_le(body, crc16(original), 2);
  uint8_t sum = 0;
  for (uint8_t b : body) sum = static_cast<uint8_t>(sum + b);
  Bytes out(2 + body.size());
  out[0] = static_cast<uint8_t>(body.size());
  out[1] = sum;
  std::copy(body.begin(), body.end(), out.begin() + 2);
  out.insert(out.end(), packed.begin(), packed.end());
  out.push_back(0);  // end of archive
  return out;
}

bool have_lhasa() {
  return std::system("command -v lhasa >/dev/null 2>&1") == 0;
}

Bytes lhasa_print(const std::string& archive) {
  const std::string cmd = "lhasa pq '" + archive + "' 2>/dev/null";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  Bytes out;
  if (!pipe) return out;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.insert(out.end(), buf, buf + n);
  ::pclose(pipe);
  return out;
}

TEST(LhaInterop, IndependentDecoderReadsOurStreams) {
  if (!have_lhasa()) GTEST_SKIP() << "lhasa is not installed";
  codec_test::ScratchDir dir;
  const std::pair<const char*, Bytes> cases[] = {
      {"A", Bytes{'A'}},
      {"spaces", Bytes(10000, ' ')},
      {"sixty-one", codec_test::random_bytes(61, 61)},
      // Long enough for many tree rebuilds and far matches.
      {"text", codec_test::sample_text(3 << 20, 11)},
      {"noise", codec_test::random_bytes(1 << 20, 12)}};
  for (const auto& [name, data] : cases) {
    const std::string path = dir.file(std::string(name) + ".lzh");
    codec_test::write_file(path, lzh_archive(name, data, nub::lzhuf_compress(data)));
    const Bytes printed = lhasa_print(path);
    EXPECT_EQ(printed.size(), data.size()) << name;
    EXPECT_TRUE(printed == data) << name;
  }
}

}  // namespace
