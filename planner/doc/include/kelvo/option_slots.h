// Every item of the project option file with its owner and size, so that no
// two parts of the program write the same item.
#ifndef KELVO_OPTION_SLOTS_H_
#define KELVO_OPTION_SLOTS_H_

#include <cstdint>
#include <span>

namespace kelvo {

struct OptionSlotRange {
  int first;      // first item
  int count;      // consecutive items
  uint32_t size;  // bytes of each item, 0 = variable
  const char* owner;
};

inline constexpr int kOptClassDefs = 1;    // two ClassDef records, 404 bytes
inline constexpr int kOptOpenSummary = 4;  // u16 open summary number
inline constexpr int kOptResourceClasses = 5;
inline constexpr int kOptMapItem = 25;

std::span<const OptionSlotRange> optionSlotTable();

}  // namespace kelvo

#endif  // KELVO_OPTION_SLOTS_H_
