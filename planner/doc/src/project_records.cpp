#include "project_records.h"

namespace kelvo::records {

namespace {

int16_t count(const ClassDefinition& definition) {
  return std::clamp<int16_t>(definition.levels, 0, 8);
}

}  // namespace

LevelCounts levelCounts(ProjectDb* db) {
  ClassDefinition both[2];
  if (!xReadClassDefinitions(db, both)) return {};
  return {count(both[0]), count(both[1])};
}

std::vector<int16_t> facilityLevelLengths(ProjectDb* db) {
  ClassDefinition both[2];
  std::vector<int16_t> lengths;
  if (!xReadClassDefinitions(db, both)) return lengths;
  const ClassDefinition& facility = both[1];
  for (int16_t i = 0; i < count(facility); ++i) {
    const int16_t total = static_cast<int16_t>(facility.start[i] + facility.length[i]);
    if (total < 1 || total > 10) break;
    lengths.push_back(total);
  }
  return lengths;
}

}  // namespace kelvo::records
