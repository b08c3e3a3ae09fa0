// Progress from the data date: remaining durations, actual dates,
// time-shared quantities and the crew details' inputs to date.
#include <set>
#include <string>

#include "kelvo/engine_calendars.h"
#include "kelvo/progress_stages.h"
#include "kelvo/project_numeric.h"
#include "project_records.h"

namespace kelvo {

namespace {

// Stores the quantity done of a time-shared activity for `day`, over an
// entry of that day if there is one.
bool storeShared(ProjectDb* db, int32_t activity, uint16_t day, double value) {
  SpaEntry entry = {};
  entry.activity = activity;
  entry.day = day;
  entry.value = value;
  // The input overwrites the current entry when it is the same day, and
  // removes any other current entry: only a match may stay current.
  if (db->spa.count == 0 || !xiSeek(&db->spa, &entry)) db->spa.current = XJOR_NONE;
  return xInputRecSpa(db, &entry) == 0;
}

}  // namespace

int32_t deriveProjectProgress(ProjectDb* db, uint16_t dataDate, int quantityDecimals,
                              std::span<const int32_t> chosen, int32_t* entries) {
  std::vector<uint8_t> bytes;
  int32_t written = 0, stored = 0;
  {
    EngineCalendars calendars;
    for (int32_t slot : records::visited(db->act.tb, chosen)) {
      ActRecord r;
      if (!records::read(db->act.tb, slot, bytes, r)) continue;
      ProgressActivity a = records::progressFields(r);
      const ProgressUpdate update = deriveProgress(a, dataDate, quantityDecimals, calendars);
      if (!update.written) continue;
      r.remaining = a.remaining;
      r.actualStart = a.actualStart;
      r.actualFinish = a.actualFinish;
      records::write(db->act.tb, slot, bytes, r);
      ++written;
      if (update.sharedQuantity && storeShared(db, slot, dataDate, *update.sharedQuantity)) {
        ++stored;
      }
    }
  }
  if (entries) *entries = stored;
  return written;
}

int32_t deriveCrewInputs(ProjectDb* db, bool roundUp, const std::string& resourceClass,
                         int quantityDecimals, std::span<const int32_t> chosen) {
  std::vector<uint8_t> bytes, actBytes;
  std::set<std::string> codes;
  for (int32_t slot : chosen) {
    ActRecord r;
    if (records::read(db->act.tb, slot, actBytes, r)) {
      codes.insert(std::string(r.code, strnlen(r.code, sizeof r.code)));
    }
  }
  int32_t changed = 0;
  for (int32_t slot : records::live(db->opr.tb)) {
    OprRecord d;
    if (!records::read(db->opr.tb, slot, bytes, d)) continue;
    const std::string activity(d.actCode, strnlen(d.actCode, sizeof d.actCode));
    if (!chosen.empty() && !codes.count(activity)) continue;
    const OprRecord before = d;
    const std::string resource(d.resCode, strnlen(d.resCode, sizeof d.resCode));
    if (roundUp && resourceInClass(resource, resourceClass)) {
      d.quantity = roundUpInput(d.quantity, quantityDecimals);
    }
    ActRecord a;
    const int32_t at = records::activityRecord(db, activity.c_str());
    if (at >= 0 && records::read(db->act.tb, at, actBytes, a)) {
      d.actualQuantity =
          crewInputToDate(d.quantity, d.actualQuantity, a.duration, a.remaining, quantityDecimals);
    }
    if (std::memcmp(&before, &d, sizeof d) == 0) continue;
    records::write(db->opr.tb, slot, bytes, d);
    ++changed;
  }
  return changed;
}

NumericItemCounts deriveNumericItems(ProjectDb* db, const PrjInfo& info,
                                     const NumericItemOptions& o, std::span<const int32_t> chosen) {
  const ProjectDigits digits = projectDigits(db, info);
  NumericItemCounts c;
  if (o.spreadQuantities) c.quantities = spreadWorkTypeQuantities(db, digits.quantity);
  if (o.durationsFromDaily) {
    c.durations = deriveDurationsFromDaily(db, info, digits.quantity, chosen, &c.durationsRefused);
  }
  if (o.prices.contract || o.prices.execution || o.prices.input) {
    c.prices = copyProjectUnitPrices(db, o.prices, o.skipCompleted, chosen);
  }
  if (o.contractWeights) {
    c.contractWeights = deriveProjectWeights(db, true, digits.amount, digits.weight);
  }
  if (o.executionWeights) {
    c.executionWeights = deriveProjectWeights(db, false, digits.amount, digits.weight);
  }
  if (o.actualDates) {
    c.progress =
        deriveProjectProgress(db, info.dataDate, digits.quantity, chosen, &c.sharedEntries);
  }
  if (o.crewInputs) {
    c.crewDetails = deriveCrewInputs(db, o.roundUpInputs, o.resourceClass, digits.quantity, chosen);
  }
  return c;
}

}  // namespace kelvo
