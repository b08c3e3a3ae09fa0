// kvcli gen: a random acyclic project for benchmarks and tests.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "commands.h"
#include "project_session.h"
#include "xjor/calendar.h"
#include "xjor/option.h"

namespace kvcli {

namespace {

// Working days from `from` to `to`: every day whose weekday `works`.
void installCalendar(int slot, uint16_t from, uint16_t to, bool (*works)(int weekday)) {
  xSetCalNo(0);
  std::vector<uint16_t> days;
  for (int32_t n = xGetTimeOffset(from); n <= xGetTimeOffset(to); ++n) {
    const uint16_t day = xGetTimeFromOffset(n);
    if (works(xGetDayOfWeek(day))) days.push_back(day);
  }
  uint16_t* array = xSetWork(slot, static_cast<int32_t>(days.size()));
  if (array) std::memcpy(array, days.data(), days.size() * sizeof(uint16_t));
}

// Work types are a letter and two digits ("A" .. "J", then "A00" .. "J29"):
// 300 final codes. An activity's place (work type, facility) is unique, so
// the facilities are four digits, one for every 300 activities.
constexpr int kWorkTypes = 300;

// Returns 0 or the message of a refused code.
int defineClassifications(ProjectSession& s, int32_t activities, ClassLevels levels[2]) {
  ClassDefinition both[2];
  std::memset(both, 0, sizeof both);
  both[0].levels = 2;
  both[0].start[1] = 1;
  both[0].length[0] = 1;
  both[0].length[1] = 2;
  both[1].levels = 1;
  both[1].length[0] = 4;
  xOption(&s.db.opt, XOPT_WRITE, XQD_CLASSES_OPTION, both, sizeof both);
  for (int c = 0; c < 2; ++c) levels[c] = xClassLevelsOf(&both[c]);
  int refused = 0;
  const auto enter = [&](int classification, const char* code) {
    TableBinding& t = classification == 0 ? s.db.wbs : s.db.obs;
    std::vector<uint8_t> bytes(t.tb.recordSize, 0);
    WbsRecord w;
    std::memset(&w, 0, sizeof w);
    std::snprintf(w.code, sizeof w.code, "%s", code);
    std::snprintf(w.title, sizeof w.title, "%s %s", classification == 0 ? "work" : "place", code);
    std::memcpy(bytes.data(), &w, std::min(bytes.size(), sizeof w));
    t.tb.current = -1;
    if (int m = xInputRecWbs(&s.db, bytes.data(), static_cast<int16_t>(classification),
                             &levels[classification]))
      refused = m;
  };
  char code[8];
  for (int l = 0; l < kWorkTypes / 30; ++l) {
    std::snprintf(code, sizeof code, "%c", 'A' + l);
    enter(0, code);
    for (int d = 0; d < 30; ++d) {
      std::snprintf(code, sizeof code, "%c%02d", 'A' + l, d);
      enter(0, code);
    }
  }
  for (int32_t f = 0; f * kWorkTypes < activities; ++f) {
    std::snprintf(code, sizeof code, "%04d", f);
    enter(1, code);
  }
  return refused;
}

// Activity i's place and the quantities and unit prices a summary adds up.
void placeActivity(ActRecord& r, int32_t i) {
  std::snprintf(r.wbsCode, sizeof r.wbsCode, "%c%02d", 'A' + i % 10, (i / 10) % 30);
  std::snprintf(r.obsCode, sizeof r.obsCode, "%04d", i / kWorkTypes);
  r.quantity = 1 + i % 7;
  r.contractPrice = 1000;
  r.executionPrice = 800;
  r.inputPrice = 700;
}

}  // namespace

int generate(const std::string& file, int32_t activities, int32_t relations, uint32_t seed,
             bool workTypes) {
  ProjectSession s;
  if (int m = s.create()) return fail(m);
  std::mt19937 rng(seed);
  PrjInfo& p = s.info;
  std::snprintf(p.code, sizeof p.code, "GEN%u", seed % 10000000);
  std::snprintf(p.title, sizeof p.title, "generated %d/%d", activities, relations);
  p.start = p.dataDate = packedDate(2000, 1, 3);
  p.calendarFrom = packedDate(1999, 1, 1);
  p.calendarTo = packedDate(2029, 12, 31);
  p.amountDigits = 12;
  s.clearPassword();
  installCalendar(0, p.calendarFrom, p.calendarTo, [](int w) { return w != 0 && w != 6; });
  installCalendar(1, p.calendarFrom, p.calendarTo, [](int w) { return w != 0; });
  xSavePrjDateInfo(&s.db);

  // Sub-networks of 200 activities in code order, linked mostly inside and
  // now and then across, always from a lower to a higher position: acyclic.
  constexpr int32_t kGroup = 200;
  ClassLevels levels[2] = {};
  if (workTypes) {
    if (int m = defineClassifications(s, activities, levels)) return fail(m);
  }
  xBeginInputBatch(&s.db);
  std::vector<uint8_t> bytes(s.db.act.tb.recordSize);
  for (int32_t i = 0; i < activities; ++i) {
    std::fill(bytes.begin(), bytes.end(), 0);
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.code, sizeof r.code, "A%06d", i);
    std::snprintf(r.title, sizeof r.title, "activity %d", i);
    r.duration = r.remaining = static_cast<int16_t>(rng() % 16);
    r.calendar = static_cast<int16_t>(1 + rng() % 2);
    r.path = static_cast<int16_t>(i % 30000 + 1);
    if (workTypes) placeActivity(r, i);
    std::memcpy(bytes.data(), &r, sizeof r);
    s.db.act.tb.current = -1;
    if (int m = xInputRecAct(&s.db, bytes.data(), p.start, levels[0].count, levels[1].count, 0))
      return fail(m);
  }
  std::vector<uint8_t> relBytes(s.db.rel.tb.recordSize);
  int32_t entered = 0;
  for (int64_t attempt = 0; entered < relations && attempt < 20LL * relations + 1000; ++attempt) {
    const int32_t b = static_cast<int32_t>(rng() % activities);
    const int32_t pos = b % kGroup;
    if (pos == 0) continue;
    int32_t a;
    if (rng() % 10 == 0) {
      const int32_t groups = (activities + kGroup - 1) / kGroup;
      a = static_cast<int32_t>(rng() % groups) * kGroup + static_cast<int32_t>(rng() % pos);
      if (a >= activities) continue;
    } else {
      a = b - 1 - static_cast<int32_t>(rng() % std::min(pos, 12));
    }
    RelRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.pred, sizeof r.pred, "A%06d", a);
    std::snprintf(r.succ, sizeof r.succ, "A%06d", b);
    const uint32_t k = rng() % 10;
    r.kind = static_cast<int16_t>(k < 7 ? 0 : k - 6);
    r.lag = static_cast<int16_t>(static_cast<int>(rng() % 8) - 2);
    r.row = static_cast<int16_t>(entered % 30000 + 1);
    std::fill(relBytes.begin(), relBytes.end(), 0);
    std::memcpy(relBytes.data(), &r, sizeof r);
    s.db.rel.tb.current = -1;
    if (xInputRecRel(&s.db, relBytes.data()) == 0) ++entered;  // a repeated pair is refused
  }
  xEndInputBatch(&s.db);
  if (int m = s.save(file)) return fail(m);
  std::printf("작업 %d개, 선후행 관계 %d개\n", activities, entered);
  return 0;
}

}  // namespace kvcli
