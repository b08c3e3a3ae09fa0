#include "kelvo/project_stages.h"

#include <cstring>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "kelvo/progress_stages.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo {

namespace {

// Live activity records in slot order.
std::vector<int32_t> allActivities(TableHandle& tb) {
  std::vector<int32_t> records;
  tb.current = -1;
  while (xMoveNext(&tb)) records.push_back(tb.current);
  return records;
}

bool readActivity(TableHandle& tb, int32_t record, std::vector<uint8_t>& buffer, ActRecord& r) {
  buffer.resize(tb.recordSize);
  if (buffer.size() < sizeof r) return false;
  tb.current = record;
  if (!xGetRec(&tb, buffer.data())) return false;
  std::memcpy(&r, buffer.data(), sizeof r);
  return true;
}

void writeActivity(TableHandle& tb, int32_t record, std::vector<uint8_t>& buffer,
                   const ActRecord& r) {
  std::memcpy(buffer.data(), &r, sizeof r);
  tb.current = record;
  xPutRec(&tb, buffer.data());
}

ProgressActivity takePlanFields(const ActRecord& r) {
  ProgressActivity a;
  a.duration = r.duration;
  a.totalFloat = r.totalFloat;
  a.start = r.start;
  a.finish = r.finish;
  a.actualStart = r.actualStart;
  a.plannedStart = r.plannedStart;
  a.calendar = r.calendar;
  return a;
}

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
                            std::span<const int32_t> records) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> every = records.empty() ? allActivities(tb) : std::vector<int32_t>();
  if (records.empty()) records = every;
  std::vector<uint8_t> buffer;
  int32_t written = 0;
  {
    EngineCalendars calendars;
    for (int32_t record : records) {
      ActRecord r;
      if (!readActivity(tb, record, buffer, r)) continue;
      ProgressActivity a = takePlanFields(r);
      if (!setPlannedSchedule(a, percent, excludeStarted, calendars)) continue;
      givePlanFields(a, r);
      writeActivity(tb, record, buffer, r);
      ++written;
    }
  }
  xSetCalNo(0);
  return written;
}

int32_t deriveProjectWeights(ProjectDb* db, bool contract, int amountDecimals, int weightDecimals) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> records = allActivities(tb);
  std::vector<uint8_t> buffer;
  std::vector<double> prices, quantities;
  std::vector<int32_t> read;
  for (int32_t record : records) {
    ActRecord r;
    if (!readActivity(tb, record, buffer, r)) continue;
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
    if (!readActivity(tb, read[i], buffer, r)) continue;
    if (contract) {
      r.contractWeight = (*weights)[i];
    } else {
      r.executionWeight = (*weights)[i];
    }
    writeActivity(tb, read[i], buffer, r);
  }
  return static_cast<int32_t>(read.size());
}

int32_t copyProjectUnitPrices(ProjectDb* db, PriceCopy prices, bool skipCompleted,
                              std::span<const int32_t> records) {
  TableHandle& tb = db->act.tb;
  const std::vector<int32_t> every = records.empty() ? allActivities(tb) : std::vector<int32_t>();
  if (records.empty()) records = every;
  std::vector<uint8_t> buffer, workTypeBuffer;
  int32_t written = 0;
  for (int32_t record : records) {
    ActRecord r;
    if (!readActivity(tb, record, buffer, r)) continue;
    if (skipCompleted && r.actualFinish != 0) continue;
    CodeEntry key = {};
    std::memcpy(key.code, r.wbsCode, sizeof key.code);
    key.code[sizeof key.code - 1] = 0;
    if (key.code[0] == 0 || !xmSeek(&db->wbsCodes, &key)) continue;
    CodeEntry found;
    std::memcpy(&found, db->wbsCodes.data + size_t{db->wbsCodes.current} * db->wbsCodes.recordSize,
                sizeof found);
    WbsRecord w;
    workTypeBuffer.resize(db->wbs.tb.recordSize);
    db->wbs.tb.current = found.record;
    if (workTypeBuffer.size() < sizeof w || !xGetRec(&db->wbs.tb, workTypeBuffer.data())) continue;
    std::memcpy(&w, workTypeBuffer.data(), sizeof w);
    if (prices.contract) r.contractPrice = w.contractPrice;
    if (prices.execution) r.executionPrice = w.executionPrice;
    if (prices.input) r.inputPrice = w.inputPrice;
    writeActivity(tb, record, buffer, r);
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
