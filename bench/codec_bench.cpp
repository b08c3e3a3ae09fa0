// Archive codec speed: packing and unpacking 10 MB of text and of random
// bytes through files, in MB/s, each with its time as a multiple of a plain
// read/write copy of the same file measured in the same process (x_copy).
// Both are process CPU times (user + system), which other work on a shared
// machine disturbs far less than wall-clock times.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "xNubPack.h"

namespace {

constexpr size_t kSize = 10 << 20;

double cpu_now() {
  struct timespec t;
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::vector<char> make_text(size_t size) {
  static const char* const kWords[] = {"the",     "schedule", "activity", "resource", "calendar",
                                       "float",   "relation", "finish",   "start",    "duration",
                                       "planned", "actual",   "cost",     "concrete", "formwork",
                                       "steel",   "level",    "facility", "progress", "stage",
                                       "summary", "period",   "of",       "and",      "in"};
  std::mt19937 gen(1);
  std::string out;
  out.reserve(size + 32);
  while (out.size() < size) {
    const unsigned pick = gen() % 36;
    if (pick < 25) {
      out += kWords[pick];
      out += ' ';
    } else if (pick < 33) {
      out += std::to_string(gen() % 100000) + ' ';
    } else {
      out += '\n';
    }
  }
  out.resize(size);
  return std::vector<char>(out.begin(), out.end());
}

std::vector<char> make_random(size_t size) {
  std::mt19937 gen(2);
  std::vector<char> out(size);
  for (auto& c : out) c = static_cast<char>(gen());
  return out;
}

// The sample files and their archives, made once.
struct Samples {
  std::string dir;
  std::string source[2];   // text, random
  std::string archive[2];  // each packed alone
  std::string scratch;

  Samples() {
    std::string pattern = "/tmp/codec_bench_XXXXXX";
    dir = ::mkdtemp(pattern.data());
    scratch = dir + "/scratch";
    const std::vector<char> data[2] = {make_text(kSize), make_random(kSize)};
    for (int i = 0; i < 2; ++i) {
      source[i] = dir + (i == 0 ? "/text.txt" : "/random.bin");
      archive[i] = source[i] + ".nub";
      FILE* f = std::fopen(source[i].c_str(), "wb");
      std::fwrite(data[i].data(), 1, data[i].size(), f);
      std::fclose(f);
      const int src = ::open(source[i].c_str(), O_RDONLY);
      const int arc = ::open(archive[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      xApEncode(source[i].c_str(), src, arc);
      ::close(src);
      ::close(arc);
    }
  }
  ~Samples() { std::filesystem::remove_all(dir); }
};

Samples& samples() {
  static Samples s;
  return s;
}

// Copies `from` to the scratch file with plain reads and writes.
void plain_copy(const std::string& from, const std::string& to) {
  std::vector<char> buf(25600);
  const int in = ::open(from.c_str(), O_RDONLY);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ssize_t n;
  while ((n = ::read(in, buf.data(), buf.size())) > 0) {
    if (::write(out, buf.data(), static_cast<size_t>(n)) != n) break;
  }
  ::close(in);
  ::close(out);
}

// Seconds for one plain copy of a 10 MB sample: the best of several.
double copy_seconds() {
  static const double seconds = [] {
    double best = 1e9;
    for (int i = 0; i < 10; ++i) {
      const double t0 = cpu_now();
      plain_copy(samples().source[0], samples().scratch);
      best = std::min(best, cpu_now() - t0);
    }
    return best;
  }();
  return seconds;
}

// Runs `once` per iteration and reports MB/s of the uncompressed size and
// the time relative to the plain copy.
template <typename F>
void measure(benchmark::State& state, F once) {
  const double baseline = copy_seconds();
  double total = 0;
  for (auto _ : state) {
    const double t0 = cpu_now();
    once();
    total += cpu_now() - t0;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
  state.counters["x_copy"] = total / static_cast<double>(state.iterations()) / baseline;
}

void BM_PlainCopy(benchmark::State& state) {
  measure(state, [] { plain_copy(samples().source[0], samples().scratch); });
}

// `which`: 0 text, 1 random bytes.
void BM_Pack(benchmark::State& state, int which) {
  measure(state, [which] {
    const int src = ::open(samples().source[which].c_str(), O_RDONLY);
    const int arc = ::open(samples().scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!xApEncode(samples().source[which].c_str(), src, arc)) std::abort();
    ::close(src);
    ::close(arc);
  });
}

// Listing (with its checksum pass over the archive) and unpacking.
void BM_Unpack(benchmark::State& state, int which) {
  measure(state, [which] {
    const int arc = ::open(samples().archive[which].c_str(), O_RDONLY);
    const int out = ::open(samples().scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!xApFindFirst(arc) || !xApDecode(out)) std::abort();
    xApFindClose();
    ::close(arc);
    ::close(out);
  });
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pack, text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pack, random, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Unpack, text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Unpack, random, 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
