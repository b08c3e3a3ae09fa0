// Restructuring cost: xModFldStr adding one field to 100,000 records of
// 298 bytes, against copying the same slot file once (read it all, write it
// behind itself, cut it back) in the same process.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kRecordSize = 298;

struct Fixture {
  DbSpace db{};
  TableHandle tb{};
  FieldList base{0, 0, nullptr, 0};
  FieldList wider{0, 0, nullptr, 0};
  std::string dir;

  Fixture() {
    char pattern[] = "/tmp/xjor-bench-XXXXXX";
    dir = std::string(mkdtemp(pattern)) + "/";
    xOpenDb(&db, dir.c_str(), nullptr);
    xOpenTb(&db, &tb, "act", 0);
    // 298 bytes: two codes, a remark, ten amounts, ten counts, ten
    // durations and five dates.
    xAddFld(&base, -1, "CODE", XF_STRING, 0, 20, 0);
    xAddFld(&base, -1, "NAME", XF_STRING, 0, 40, 0);
    xAddFld(&base, -1, "REMARK", XF_STRING, 0, 85, 0);
    for (int i = 0; i < 10; ++i)
      xAddFld(&base, -1, ("AMT" + std::to_string(i)).c_str(), XF_DOUBLE, 0, 12, 2);
    for (int i = 0; i < 10; ++i)
      xAddFld(&base, -1, ("CNT" + std::to_string(i)).c_str(), XF_INT32, 0, 9, 0);
    for (int i = 0; i < 10; ++i)
      xAddFld(&base, -1, ("DUR" + std::to_string(i)).c_str(), XF_INT16, 0, 4, 0);
    for (int i = 0; i < 5; ++i)
      xAddFld(&base, -1, ("DATE" + std::to_string(i)).c_str(), XF_DATE, 0, 8, 0);
    xModFldStr(&tb, &base);
    std::vector<unsigned char> rec(kRecordSize);
    for (int r = 0; r < kRecords; ++r) {
      for (int b = 0; b < kRecordSize; ++b) rec[b] = static_cast<unsigned char>('A' + (r + b) % 26);
      xAddRec(&tb, rec.data());
    }
    xTb2Fld(&wider, &tb);
    xAddFld(&wider, -1, "WEIGHT", XF_DOUBLE, 0, 6, 2);
  }
  ~Fixture() {
    xCloseTb(&db, &tb);
    xCloseFile(&db.mainHandle);
    xFreeBuffer(base.fields);
    xFreeBuffer(wider.fields);
    std::filesystem::remove_all(dir);
  }
};

Fixture& Table() {
  static Fixture fixture;
  return fixture;
}

// Reads the whole slot file, writes it behind itself and cuts it back.
double CopySlotFileSeconds(int32_t handle) {
  auto start = std::chrono::steady_clock::now();
  off_t size = lseek(handle, 0, SEEK_END);
  std::vector<char> bytes(static_cast<size_t>(size));
  benchmark::DoNotOptimize(pread(handle, bytes.data(), bytes.size(), 0));
  benchmark::DoNotOptimize(pwrite(handle, bytes.data(), bytes.size(), size));
  benchmark::DoNotOptimize(ftruncate(handle, size));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ModFldStrAddField(benchmark::State& state) {
  Fixture& f = Table();
  double restructure = 0, copy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    xModFldStr(&f.tb, &f.base);
    copy += CopySlotFileSeconds(f.tb.handle);
    state.ResumeTiming();
    auto start = std::chrono::steady_clock::now();
    xModFldStr(&f.tb, &f.wider);
    restructure += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["seconds"] = restructure / state.iterations();
  state.counters["vs_file_copy"] = restructure / copy;
  state.counters["record_size"] = f.tb.recordSize;
}
BENCHMARK(BM_ModFldStrAddField)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
