// Working-time offsets on a twenty-year five-day calendar. The baseline is
// the same conversion with no calendar selected (plain day numbers).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "xJorDbm2.h"

namespace {

constexpr int kDates = 4096;  // a power of two, so the loop can mask

// Installs 2000-01-01 .. 2019-12-31, Monday to Friday, in slot 0.
void InstallFiveDayCalendar() {
  std::vector<uint16_t> days;
  xSetCalNo(0);
  for (int32_t n = xGetTimeOffset(0x2821); n <= xGetTimeOffset(0x4F9F); ++n) {
    uint16_t d = xGetTimeFromOffset(n);
    int w = xGetDayOfWeek(d);
    if (w >= 1 && w <= 5) days.push_back(d);
  }
  uint16_t* w = xSetWork(0, static_cast<int32_t>(days.size()));
  std::copy(days.begin(), days.end(), w);
}

std::vector<uint16_t> RandomDates() {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> day(xGetTimeOffset(0x2821), xGetTimeOffset(0x4F9F));
  std::vector<uint16_t> dates(kDates);
  for (uint16_t& d : dates) d = xGetTimeFromOffset(day(rng));
  return dates;
}

void RunOffsets(benchmark::State& state, int calNo) {
  InstallFiveDayCalendar();
  std::vector<uint16_t> dates = RandomDates();
  xSetCalNo(calNo);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(xGetTimeOffset(dates[i++ & (kDates - 1)]));
  }
  state.SetItemsProcessed(state.iterations());
  xSetCalNo(0);
  xFreeWork(0);
}

void BM_OffsetPlainDays(benchmark::State& state) {
  RunOffsets(state, 0);
}
void BM_OffsetFiveDayCalendar(benchmark::State& state) {
  RunOffsets(state, 1);
}

void BM_DateFromOffsetFiveDayCalendar(benchmark::State& state) {
  InstallFiveDayCalendar();
  std::vector<uint16_t> dates = RandomDates();
  xSetCalNo(1);
  std::vector<int32_t> offsets;
  for (uint16_t d : dates) offsets.push_back(xGetTimeOffset(d));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(xGetTimeFromOffset(offsets[i++ & (kDates - 1)]));
  }
  state.SetItemsProcessed(state.iterations());
  xSetCalNo(0);
  xFreeWork(0);
}

void BM_DateTextRoundTrip(benchmark::State& state) {
  std::vector<uint16_t> dates = RandomDates();
  char buf[XJOR_DATE_TEXT_MAX];
  size_t i = 0;
  for (auto _ : state) {
    xTimeToStr(buf, dates[i++ & (kDates - 1)]);
    benchmark::DoNotOptimize(xStrToTime(buf));
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_OffsetPlainDays);
BENCHMARK(BM_OffsetFiveDayCalendar);
BENCHMARK(BM_DateFromOffsetFiveDayCalendar);
BENCHMARK(BM_DateTextRoundTrip);

}  // namespace

BENCHMARK_MAIN();
