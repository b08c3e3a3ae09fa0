// Archive codec speed: packing and unpacking 10 MB of text and of random
// bytes through files, in MB/s, each with its time as a multiple of a plain
// read/write copy of the same file measured in the same process (x_copy).
// Both are process CPU times (user + system), which other work on a shared
// machine disturbs far less than wall-clock times.
//
// Unpacking is also set against an independent LZHUF decoder: lhasa reads
// the very same compressed stream wrapped as a "-lh1-" member (BM_Lhasa,
// timed by the child's CPU time), and BM_Unpack reports its own time as a
// multiple of lhasa's (x_lhasa; below 1 is faster).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lzh_wrap.h"
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

std::vector<uint8_t> bytes(const std::vector<char>& v) {
  return std::vector<uint8_t>(v.begin(), v.end());
}

void write(const std::string& path, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}

// The compressed bytes of the first member of an archive.
std::vector<uint8_t> stream_of(const std::string& archive) {
  FILE* f = std::fopen(archive.c_str(), "rb");
  std::vector<uint8_t> all;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) all.insert(all.end(), buf, buf + n);
  std::fclose(f);
  const size_t h = all[0] | (all[1] << 8);
  const size_t packed = all[6] | (all[7] << 8) | (all[8] << 16) | (size_t{all[9]} << 24);
  return std::vector<uint8_t>(all.begin() + h, all.begin() + h + packed);
}

// The sample files and their archives, made once.
struct Samples {
  std::string dir;
  std::string source[2];   // text, random
  std::string archive[2];  // each packed alone
  std::string lzh[2];      // the same streams as "-lh1-" members
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
      lzh[i] = source[i] + ".lzh";
      write(lzh[i], codec_test::lzh_archive("sample", bytes(data[i]), stream_of(archive[i])));
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

// CPU seconds lhasa spends printing the member of `lzh` to /dev/null; a
// negative value when it cannot be run.
double lhasa_seconds(const std::string& lzh) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execlp("lhasa", "lhasa", "pq", lzh.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  struct rusage use;
  if (pid < 0 || ::wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) * 1e-6;
}

// lhasa's best time on sample `which`, measured once.
double lhasa_best(int which) {
  static double best[2] = {0, 0};
  if (best[which] == 0) {
    best[which] = 1e9;
    for (int i = 0; i < 5; ++i)
      best[which] = std::min(best[which], lhasa_seconds(samples().lzh[which]));
  }
  return best[which];
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
  const double started = cpu_now();
  measure(state, [which] {
    const int arc = ::open(samples().archive[which].c_str(), O_RDONLY);
    const int out = ::open(samples().scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!xApFindFirst(arc) || !xApDecode(out)) std::abort();
    xApFindClose();
    ::close(arc);
    ::close(out);
  });
  const double ours = (cpu_now() - started) / static_cast<double>(state.iterations());
  if (lhasa_best(which) > 0) state.counters["x_lhasa"] = ours / lhasa_best(which);
}

void BM_Lhasa(benchmark::State& state, int which) {
  for (auto _ : state) {
    const double seconds = lhasa_seconds(samples().lzh[which]);
    if (seconds < 0) {
      state.SkipWithError("lhasa is not installed (scripts/setup installs it)");
      return;
    }
    state.SetIterationTime(seconds);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pack, text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pack, random, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Unpack, text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Unpack, random, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Lhasa, text, 0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Lhasa, random, 1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
