#include "kelvo/project_stages.h"

#include <cstring>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "kelvo/progress_stages.h"
#include "project_records.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo {

namespace {

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
                            std::span<const int32_t> chosen) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> visit = records::visited(tb, chosen);
  std::vector<uint8_t> buffer;
  int32_t written = 0;
  {
    EngineCalendars calendars;
    for (int32_t record : visit) {
      ActRecord r;
      if (!records::read(tb, record, buffer, r)) continue;
      ProgressActivity a = records::progressFields(r);
      if (!setPlannedSchedule(a, percent, excludeStarted, calendars)) continue;
      givePlanFields(a, r);
      records::write(tb, record, buffer, r);
      ++written;
    }
  }
  xSetCalNo(0);
  return written;
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
                        bool excludeStarted, int32_t* planned) {
  if (planned) *planned = 0;
  PrjInfo trial = *info;
  const int checked = closeProjectStage(&trial, from, to);
  if (checked != kStageClosed) return checked;
  if (info->stage == 0) {
    const int32_t written = planProjectSchedule(db, percent, excludeStarted);
    if (planned) *planned = written;
  }
  return closeProjectStage(info, from, to);
}

}  // namespace kelvo
