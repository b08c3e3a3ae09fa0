#include "project_records.h"

namespace kelvo::records {

namespace {

constexpr int32_t kClassesItem = 1;
constexpr size_t kDefinitionSize = 202;
constexpr size_t kStartsAt = 2, kLengthsAt = 18;

int16_t word(const uint8_t* at) {
  return static_cast<int16_t>(at[0] | at[1] << 8);
}

bool readDefinitions(ProjectDb* db, uint8_t (&both)[2 * kDefinitionSize]) {
  std::memset(both, 0, sizeof both);
  return xOption(&db->opt, XOPT_READ, kClassesItem, both, sizeof both) != 0;
}

int16_t count(const uint8_t* definition) {
  return std::clamp<int16_t>(word(definition), 0, 8);
}

}  // namespace

LevelCounts levelCounts(ProjectDb* db) {
  uint8_t both[2 * kDefinitionSize];
  if (!readDefinitions(db, both)) return {};
  return {count(both), count(both + kDefinitionSize)};
}

std::vector<int16_t> facilityLevelLengths(ProjectDb* db) {
  uint8_t both[2 * kDefinitionSize];
  std::vector<int16_t> lengths;
  if (!readDefinitions(db, both)) return lengths;
  const uint8_t* facility = both + kDefinitionSize;
  for (int16_t i = 0; i < count(facility); ++i) {
    const int16_t total = word(facility + kStartsAt + 2 * i) + word(facility + kLengthsAt + 2 * i);
    if (total < 1 || total > 10) break;
    lengths.push_back(total);
  }
  return lengths;
}

}  // namespace kelvo::records
