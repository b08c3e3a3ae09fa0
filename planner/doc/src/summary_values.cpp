// The values a summary takes from one activity or crew detail, up to the
// data date and the start of the current period, and their period series.
#include <algorithm>
#include <cmath>

#include "summary_internal.h"
#include "xjor/calendar.h"
#include "xjor/numfmt.h"
#include "xjor/packed_date.h"

namespace kelvo::summary {

namespace {

constexpr int kLastYear = 127;  // 2107
// A series never runs longer than this many periods (about 270 years of days).
constexpr int kMaxPeriods = 100000;

// y counts years from 1980.
uint16_t pack(int y, int m, int d) {
  return xjor::packDate(xjor::kBaseYear + y, m, d);
}

int yearsFrom1980(uint16_t packed) {
  return xjor::packedYear(packed) - xjor::kBaseYear;
}

}  // namespace

int32_t dayNumber(uint16_t packed) {
  // A month outside 1..12 counts as the nearest month.
  const int m = std::clamp(xjor::packedMonth(packed), 1, 12);
  return xjor::dayNumber(pack(yearsFrom1980(packed), m, xjor::packedDay(packed)));
}

uint16_t dateOfDayNumber(int32_t n) {
  if (n < 0) return 0;
  int y = std::min(n / 366, kLastYear + 1);
  while (y <= kLastYear && dayNumber(pack(y + 1, 1, 1)) <= n) ++y;
  if (y > kLastYear) return 0;
  int m = 1;
  while (m < 12 && dayNumber(pack(y, m + 1, 1)) <= n) ++m;
  return pack(y, m, n - dayNumber(pack(y, m, 1)) + 1);
}

uint16_t addDays(uint16_t packed, int32_t days) {
  return packed == 0 ? 0 : dateOfDayNumber(dayNumber(packed) + days);
}

uint16_t Boundaries::first(uint16_t day) const {
  if (day == 0) return 0;
  if (unit == 2) return day;
  if (unit == 1) {
    const int weekday = (dayNumber(day) + 2) % 7;  // 1980-01-01 was a Tuesday
    return addDays(day, (startDayOfWeek - weekday + 7) % 7);
  }
  const int y = yearsFrom1980(day), m = xjor::packedMonth(day);
  const uint16_t here = pack(y, m, startDayOfMonth);
  return here >= day ? here : next(here);
}

uint16_t Boundaries::next(uint16_t boundary) const {
  if (boundary == 0) return 0;
  if (unit == 2) return addDays(boundary, 1);
  if (unit == 1) return addDays(boundary, 7);
  int y = yearsFrom1980(boundary), m = xjor::packedMonth(boundary) + 1;
  if (m > 12) {
    m = 1;
    ++y;
  }
  return y > kLastYear ? 0 : pack(y, m, startDayOfMonth);
}

double rounded(double v, int decimals) {
  if (!std::isfinite(v)) return 0;
  xRound(&v, decimals);
  return v;
}

int32_t workingDays(WorkCalendars& calendars, int calendar, uint16_t from, uint16_t to) {
  if (from == 0 || to == 0 || to <= from) return 0;
  return std::max(0, calendars.offset(calendar, to) - calendars.offset(calendar, from));
}

namespace {

float rate(double part, double whole, int decimals) {
  return whole == 0 ? 0.0f : static_cast<float>(rounded(part / whole * 100, decimals));
}

// A share of `total` spread over `days` working days from `from`, as done by
// the start of `day`: nothing up to `from`, the whole once the days are
// reached.
double spreadUpTo(double total, WorkCalendars& c, int calendar, uint16_t from, int32_t days,
                  uint16_t day, int decimals) {
  if (from == 0 || day == 0 || day <= from) return 0;
  const int32_t done = workingDays(c, calendar, from, day);
  if (days <= 0 || done >= days) return total;
  return rounded(total * done / days, decimals);
}

// The latest time-shared entry on or before `day`.
double sharedUpTo(const Activity& a, uint16_t day) {
  double value = 0;
  for (const SpaEntry& e : a.shared) {
    if (e.day > day) break;
    value = e.value;
  }
  return value;
}

bool timeShared(const ActRecord& act) {
  return act.type == kTimeShared;
}

// Where the planned spread starts and how long it lasts.
uint16_t plannedFrom(const ActRecord& act) {
  return act.plannedStart ? act.plannedStart : act.start;
}
int32_t plannedDays(const ActRecord& act) {
  return act.plannedStart ? act.plannedDuration : act.duration;
}
uint16_t plannedEnd(const ActRecord& act) {
  return act.plannedFinish ? act.plannedFinish : act.finish;
}

double plannedQuantity(const Activity& a, uint16_t day, const Settings& s, WorkCalendars& c) {
  const ActRecord& act = a.act;
  if (timeShared(act)) {
    return spreadUpTo(act.quantity, c, act.calendar, plannedFrom(act), plannedDays(act), day,
                      s.digits.quantityDecimals);
  }
  const uint16_t end = plannedEnd(act);
  return end != 0 && end < day ? act.quantity : 0;
}

double actualQuantity(const Activity& a, uint16_t day) {
  const ActRecord& act = a.act;
  if (act.actualFinish != 0 && act.actualFinish < day) return act.quantity;
  return timeShared(act) ? sharedUpTo(a, day) : 0;
}

// The actual quantity done by the end of `day` (a period boundary).
double actualThrough(const Activity& a, uint16_t day) {
  const ActRecord& act = a.act;
  if (act.actualFinish != 0 && act.actualFinish <= day) return act.quantity;
  return sharedUpTo(a, day);
}

// One block of a series from a cumulative function `through(boundary)`:
// an entry at every boundary from the first on or after `from` whose total
// grew, until the boundary on or after `last`.
template <class Through>
void cumulativeEntries(const Boundaries& b, uint16_t from, uint16_t last, Through through,
                       std::vector<SeriesEntry>& out) {
  SeriesEntry previous;
  uint16_t day = b.first(from);
  for (int n = 0; day != 0 && n < kMaxPeriods; ++n, day = b.next(day)) {
    SeriesEntry now = through(day);
    SeriesEntry e;
    e.day = day;
    bool grew = false;
    for (int i = 0; i < 6; ++i) {
      e.value[i] = now.value[i] - previous.value[i];
      grew = grew || e.value[i] != 0;
    }
    if (grew) out.push_back(e);
    previous = now;
    if (day >= last) break;
  }
}

}  // namespace

Values activityValues(const Activity& a, const Settings& s, WorkCalendars& c) {
  const ActRecord& act = a.act;
  const int qd = s.digits.quantityDecimals, ad = s.digits.amountDecimals;
  Values v;
  double* m = v.amount;
  m[kQty] = act.quantity;
  for (int i = 0; i < 3; ++i) m[kUser1 + i] = act.value[i];
  m[kPlanQtyD] = rounded(plannedQuantity(a, s.dataDate, s, c), qd);
  m[kActQtyD] = rounded(actualQuantity(a, s.dataDate), qd);
  m[kRemQty] = rounded(act.quantity - m[kActQtyD], qd);
  m[kPlanQtyP] = rounded(plannedQuantity(a, s.periodStart, s, c), qd);
  m[kActQtyP] = rounded(actualQuantity(a, s.periodStart), qd);
  const double cu = act.contractPrice, eu = act.executionPrice, au = act.inputPrice;
  m[kContract] = rounded(act.quantity * cu, ad);
  m[kExec] = rounded(act.quantity * eu, ad);
  m[kInputD] = rounded(m[kActQtyD] * au, ad);
  m[kPlanContractD] = rounded(m[kPlanQtyD] * cu, ad);
  m[kPlanExecD] = rounded(m[kPlanQtyD] * eu, ad);
  m[kActContractD] = rounded(m[kActQtyD] * cu, ad);
  m[kActExecD] = rounded(m[kActQtyD] * eu, ad);
  m[kInputP] = rounded(m[kActQtyP] * au, ad);
  m[kPlanContractP] = rounded(m[kPlanQtyP] * cu, ad);
  m[kPlanExecP] = rounded(m[kPlanQtyP] * eu, ad);
  m[kActContractP] = rounded(m[kActQtyP] * cu, ad);
  m[kActExecP] = rounded(m[kActQtyP] * eu, ad);
  m[kRemInput] = rounded(m[kRemQty] * au, ad);
  m[kExpTotalInput] = rounded(m[kRemInput] + m[kInputD], ad);
  m[kContractLessExec] = rounded(m[kContract] - m[kExec], ad);
  m[kActualProfit] = rounded(m[kActContractD] - m[kInputD], ad);
  m[kExpectedProfit] = rounded(m[kContract] - m[kExpTotalInput], ad);
  v.weight[0] = act.contractWeight;
  v.weight[1] = act.executionWeight;
  deriveRates(v, s.digits);
  return v;
}

void deriveRates(Values& v, const SummaryDigits& digits) {
  const double* m = v.amount;
  const int d = digits.rateDecimals;
  v.rate[kExecRate] = rate(m[kExec], m[kContract], d);
  v.rate[kInputRate] = rate(m[kInputD], m[kActContractD], d);
  v.rate[kExpInputRate] = rate(m[kExpTotalInput], m[kContract], d);
  v.rate[kPlanContractRate] = rate(m[kPlanContractD], m[kContract], d);
  v.rate[kPlanExecRate] = rate(m[kPlanExecD], m[kExec], d);
  v.rate[kActContractRate] = rate(m[kActContractD], m[kContract], d);
  v.rate[kActExecRate] = rate(m[kActExecD], m[kExec], d);
}

void clearQuantities(Values& v) {
  for (int i : {kQty, kPlanQtyD, kActQtyD, kRemQty, kPlanQtyP, kActQtyP}) v.amount[i] = 0;
}

RowSeries activitySeries(const Activity& a, const Values& v, const Settings& s, WorkCalendars& c) {
  const ActRecord& act = a.act;
  const int qd = s.digits.quantityDecimals, ad = s.digits.amountDecimals;
  const int rd = s.digits.rateDecimals;
  const double qty = act.quantity;
  // Cumulative values of `done` of the quantity; block 0 has the execution
  // amount last, the others the input amount.
  auto cumulative = [&](double done, double share, int block) {
    SeriesEntry e;
    e.value[0] = rounded(done, qd);
    e.value[1] = rounded(done * act.contractPrice, ad);
    e.value[3] = rounded(done * act.executionPrice, ad);
    e.value[5] = block == 0 ? e.value[3] : rounded(done * act.inputPrice, ad);
    if (s.weights) {
      e.value[2] = rounded(share * act.contractWeight, rd);
      e.value[4] = rounded(share * act.executionWeight, rd);
    }
    return e;
  };
  auto shareOf = [&](double done) { return qty != 0 ? done / qty : 1.0; };
  RowSeries series;
  const bool finished = act.actualFinish != 0;
  if (!timeShared(act)) {
    auto whole = [&](uint16_t day, int block) {
      const uint16_t at = s.bounds.first(day);
      if (at == 0) return;
      SeriesEntry e = cumulative(qty, 1.0, block);
      e.value[1] = v.amount[kContract];
      e.value[3] = v.amount[kExec];
      e.value[5] = block == 0 ? e.value[3] : rounded(qty * act.inputPrice, ad);
      e.day = at;
      series.block[block].push_back(e);
    };
    if (plannedEnd(act) != 0) whole(plannedEnd(act), 0);
    if (finished) whole(act.actualFinish, 1);
    const uint16_t early = act.earlyFinish ? act.earlyFinish : act.finish;
    if (!finished && early != 0) whole(early, 2);
    return series;
  }
  // Time-shared: spread by working days, written as each period's increase.
  const uint16_t from = plannedFrom(act);
  const int32_t days = plannedDays(act);
  if (from != 0) {
    const uint16_t last =
        days > 0 ? c.dayAt(act.calendar, c.offset(act.calendar, from) + days - 1) : from;
    cumulativeEntries(
        s.bounds, from, last,
        [&](uint16_t b) {
          const double done = spreadUpTo(qty, c, act.calendar, from, days, addDays(b, 1), qd);
          return cumulative(done, shareOf(done), 0);
        },
        series.block[0]);
  }
  uint16_t firstActual = act.actualStart;
  if (!a.shared.empty() && (firstActual == 0 || a.shared.front().day < firstActual)) {
    firstActual = a.shared.front().day;
  }
  if (firstActual != 0) {
    uint16_t last = a.shared.empty() ? firstActual : a.shared.back().day;
    if (finished) last = std::max(last, act.actualFinish);
    cumulativeEntries(
        s.bounds, firstActual, last,
        [&](uint16_t b) {
          const double done = actualThrough(a, b);
          return cumulative(done, shareOf(done), 1);
        },
        series.block[1]);
  }
  const double remaining = v.amount[kRemQty];
  if (!finished && s.dataDate != 0 && act.remaining > 0 && remaining != 0) {
    const uint16_t from2 = s.dataDate;
    const int32_t left = act.remaining;
    const uint16_t last = c.dayAt(act.calendar, c.offset(act.calendar, from2) + left - 1);
    cumulativeEntries(
        s.bounds, from2, last,
        [&](uint16_t b) {
          const double done =
              spreadUpTo(remaining, c, act.calendar, from2, left, addDays(b, 1), qd);
          return cumulative(done, shareOf(done), 2);
        },
        series.block[2]);
  }
  return series;
}

Inputs crewValues(const CrewDetail& cd, const Activity& a, const Settings& s, WorkCalendars& c) {
  const ActRecord& act = a.act;
  const int qd = s.digits.quantityDecimals;
  Inputs v;
  v.duration = act.duration;
  const double planned = cd.opr.quantity, toDate = cd.opr.actualQuantity;
  const uint16_t from = plannedFrom(act);
  const int32_t days = plannedDays(act);
  v.input[kPlanInput] = planned;
  v.input[kPlanInputD] = spreadUpTo(planned, c, act.calendar, from, days, s.dataDate, qd);
  v.input[kPlanInputP] = spreadUpTo(planned, c, act.calendar, from, days, s.periodStart, qd);
  v.input[kActInputD] = toDate;
  const int32_t done = act.duration - act.remaining;
  v.input[kActInputP] =
      spreadUpTo(toDate, c, act.calendar, act.actualStart, done, s.periodStart, qd);
  const bool underWay = act.actualStart != 0;
  v.input[kExpRemInput] =
      underWay ? (done > 0 ? rounded(toDate / done * act.remaining, qd) : 0) : planned;
  v.input[kExpTotalInputQ] = rounded(v.input[kExpRemInput] + toDate, qd);
  return v;
}

RowSeries crewSeries(const CrewDetail& cd, const Activity& a, const Inputs& v, const Settings& s,
                     WorkCalendars& c) {
  const ActRecord& act = a.act;
  const int qd = s.digits.quantityDecimals;
  RowSeries series;
  auto spread = [&](double total, uint16_t from, int32_t days, int block) {
    if (from == 0 || total == 0) return;
    const uint16_t last =
        days > 0 ? c.dayAt(act.calendar, c.offset(act.calendar, from) + days - 1) : from;
    cumulativeEntries(
        s.bounds, from, last,
        [&](uint16_t b) {
          SeriesEntry e;
          e.value[0] = spreadUpTo(total, c, act.calendar, from, days, addDays(b, 1), qd);
          return e;
        },
        series.block[block]);
  };
  spread(cd.opr.quantity, plannedFrom(act), plannedDays(act), 0);
  spread(cd.opr.actualQuantity, act.actualStart, act.duration - act.remaining, 1);
  if (act.actualFinish == 0) {
    const bool underWay = act.actualStart != 0;
    const uint16_t from = underWay ? s.dataDate : (act.earlyStart ? act.earlyStart : act.start);
    spread(v.input[kExpRemInput], from, underWay ? act.remaining : act.duration, 2);
  }
  return series;
}

}  // namespace kelvo::summary
