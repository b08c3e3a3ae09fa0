// Our streams read by an independent LZHUF decoder: the lhasa tool unpacks
// "-lh1-" members of .lzh archives, which carry the same stream. Skipped
// when the tool is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "../src/lzhuf.h"
#include "lzh_wrap.h"
#include "test_support.h"

namespace {

using codec_test::Bytes;

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
    codec_test::write_file(path, codec_test::lzh_archive(name, data, nub::lzhuf_compress(data)));
    const Bytes printed = lhasa_print(path);
    EXPECT_EQ(printed.size(), data.size()) << name;
    EXPECT_TRUE(printed == data) << name;
  }
}

}  // namespace
