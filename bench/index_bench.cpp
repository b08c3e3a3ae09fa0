// Keyed adds into memory tables and index tables of random 21-byte keys (a
// 20-character code and its NUL). Each run builds one table from empty; the
// baseline sorts the same keys once, the least any ordered build can cost.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace {

constexpr int kKeySize = 21;
const KeyDesc kCodeKey[] = {11, 20, 0};

struct Key {
  char bytes[kKeySize];
};

std::vector<Key> RandomKeys(int n) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> letter('A', 'Z');
  std::vector<Key> keys(n);
  for (Key& k : keys) {
    for (int i = 0; i < kKeySize - 1; ++i) k.bytes[i] = static_cast<char>(letter(rng));
    k.bytes[kKeySize - 1] = '\0';
  }
  return keys;
}

void BM_SortBaseline(benchmark::State& state) {
  const std::vector<Key> keys = RandomKeys(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<Key> copy = keys;
    std::sort(copy.begin(), copy.end(),
              [](const Key& a, const Key& b) { return xCompareKey(&a, &b, kCodeKey) < 0; });
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MemTableAdd(benchmark::State& state) {
  const std::vector<Key> keys = RandomKeys(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    MemTable m{};
    xmOpenTb(&m, kKeySize, kCodeKey, 100);
    for (const Key& k : keys) xmAdd(&m, &k);
    benchmark::DoNotOptimize(m.data);
    xmCloseTb(&m);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A scratch family in a private folder for the index tables.
class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/xjor-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    dir_ += "/";
    xOpenDb(&db_, dir_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    xCloseFile(&db_.mainHandle);
    xDelDbTemp(&db_);
    rmdir(dir_.c_str());
  }
  DbSpace* db() { return &db_; }

 private:
  std::string dir_;
  DbSpace db_{};
};

void BM_IndexTableAdd(benchmark::State& state) {
  const std::vector<Key> keys = RandomKeys(static_cast<int>(state.range(0)));
  ScratchFolder folder;
  for (auto _ : state) {
    IndexTable t{};
    if (!xiOpenTb(folder.db(), &t, "bix", kKeySize, kCodeKey)) {
      state.SkipWithError("cannot create the index file");
      break;
    }
    for (const Key& k : keys) xiAdd(&t, &k);
    benchmark::DoNotOptimize(t.count);
    xCloseTemp(folder.db(), &t.handle, t.name);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_SortBaseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemTableAdd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexTableAdd)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
