#include "kelvo/project_stages.h"

#include <cstring>
#include <utility>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "kelvo/progress_stages.h"
#include "project_records.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo {

namespace {

// Records visited between two progress reports.
constexpr int32_t kProgressStep = 256;

void givePlanFields(const ProgressActivity& a, ActRecord& r) {
  r.plannedDuration = a.plannedDuration;
  r.plannedStart = a.plannedStart;
  r.plannedFinish = a.plannedFinish;
  r.plannedES = a.plannedES;
  r.plannedEF = a.plannedEF;
  r.plannedLS = a.plannedLS;
  r.plannedLF = a.plannedLF;
}

}  // namespace

int32_t planProjectSchedule(ProjectDb* db, int percent, bool excludeStarted,
                            std::span<const int32_t> chosen, const StageProgress& progress) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> visit = records::visited(tb, chosen);
  const int32_t total = static_cast<int32_t>(visit.size());
  std::vector<uint8_t> buffer;
  // The planned dates each written record had, to put back on a stop.
  std::vector<std::pair<int32_t, ProgressActivity>> kept;
  bool stopped = false;
  {
    EngineCalendars calendars;
    for (int32_t i = 0; i < total && !stopped; ++i) {
      if (progress && i % kProgressStep == 0 && !progress(i, total)) {
        stopped = true;
        break;
      }
      ActRecord r;
      if (!records::read(tb, visit[i], buffer, r)) continue;
      ProgressActivity a = records::progressFields(r);
      const ProgressActivity before = a;
      if (!setPlannedSchedule(a, percent, excludeStarted, calendars)) continue;
      givePlanFields(a, r);
      records::write(tb, visit[i], buffer, r);
      kept.emplace_back(visit[i], before);
    }
    if (!stopped && progress && !progress(total, total)) stopped = true;
  }
  xSetCalNo(0);
  if (!stopped) return static_cast<int32_t>(kept.size());
  for (const auto& [record, before] : kept) {
    ActRecord r;
    if (!records::read(tb, record, buffer, r)) continue;
    givePlanFields(before, r);
    records::write(tb, record, buffer, r);
  }
  return kPlanStopped;
}

int32_t deriveProjectWeights(ProjectDb* db, bool contract, int amountDecimals, int weightDecimals) {
  TableHandle& tb = db->act.tb;
  std::vector<uint8_t> buffer;
  std::vector<double> prices, quantities;
  std::vector<int32_t> read;
  for (int32_t record : records::live(tb)) {
    ActRecord r;
    if (!records::read(tb, record, buffer, r)) continue;
    // Packed members are copied out, never bound by reference.
    const double price = contract ? double{r.contractPrice} : double{r.executionPrice};
    const double quantity = r.quantity;
    prices.push_back(price);
    quantities.push_back(quantity);
    read.push_back(record);
  }
  const auto weights = computeWeights(prices, quantities, amountDecimals, weightDecimals);
  if (!weights) return 0;
  for (size_t i = 0; i < read.size(); ++i) {
    ActRecord r;
    if (!records::read(tb, read[i], buffer, r)) continue;
    if (contract) {
      r.contractWeight = (*weights)[i];
    } else {
      r.executionWeight = (*weights)[i];
    }
    records::write(tb, read[i], buffer, r);
  }
  return static_cast<int32_t>(read.size());
}

int32_t copyProjectUnitPrices(ProjectDb* db, PriceCopy prices, bool skipCompleted,
                              std::span<const int32_t> chosen) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> visit = records::visited(tb, chosen);
  std::vector<uint8_t> buffer, workTypeBuffer;
  int32_t written = 0;
  for (int32_t record : visit) {
    ActRecord r;
    if (!records::read(tb, record, buffer, r)) continue;
    if (skipCompleted && r.actualFinish != 0) continue;
    const int32_t workType = records::codeRecord(db->wbsCodes, r.wbsCode, sizeof r.wbsCode);
    WbsRecord w;
    if (workType < 0 || !records::read(db->wbs.tb, workType, workTypeBuffer, w)) continue;
    if (prices.contract) r.contractPrice = w.contractPrice;
    if (prices.execution) r.executionPrice = w.executionPrice;
    if (prices.input) r.inputPrice = w.inputPrice;
    records::write(tb, record, buffer, r);
    ++written;
  }
  return written;
}

int closeProjectStage(PrjInfo* info, uint16_t from, uint16_t to) {
  StageState state{info->stage, info->periodStart, info->periodFinish, info->dataDate};
  int result;
  {
    EngineCalendars calendars;
    result = closeStage(state, from, to, calendars);
  }
  if (result != kStageClosed) return result;
  info->stage = state.stage;
  info->periodStart = state.periodStart;
  info->periodFinish = state.periodFinish;
  info->dataDate = state.dataDate;
  return result;
}

int advanceProjectStage(ProjectDb* db, PrjInfo* info, uint16_t from, uint16_t to, int percent,
                        bool excludeStarted, int32_t* planned, const StageProgress& progress) {
  if (planned) *planned = 0;
  PrjInfo trial = *info;
  const int checked = closeProjectStage(&trial, from, to);
  if (checked != kStageClosed) return checked;
  if (info->stage == 0) {
    const int32_t written = planProjectSchedule(db, percent, excludeStarted, {}, progress);
    if (written == kPlanStopped) return kStageStopped;
    if (planned) *planned = written;
  }
  return closeProjectStage(info, from, to);
}

}  // namespace kelvo
