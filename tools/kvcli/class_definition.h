// The two classification definitions of option slot 1 (work type, then
// facility), 202 bytes each.
#ifndef KVCLI_CLASS_DEFINITION_H_
#define KVCLI_CLASS_DEFINITION_H_

#include <cstdint>

namespace kvcli {

inline constexpr int32_t kClassesSlot = 1;

#pragma pack(push, 1)
struct ClassDefinition {
  int16_t count;      // levels, 0..8
  int16_t start[8];   // characters of the levels above
  int16_t length[8];  // characters of each level
  char name[8][21];   // level names (CP949)
};
#pragma pack(pop)
static_assert(sizeof(ClassDefinition) == 202);

}  // namespace kvcli

#endif  // KVCLI_CLASS_DEFINITION_H_
