// The rounding decimals of an open project, as the digit settings left them
// in the tables' field descriptors and the project information block.
#ifndef KELVO_PROJECT_DIGITS_H_
#define KELVO_PROJECT_DIGITS_H_

#include <cstdint>

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// Field flag bits that tie a numeric field to a project-wide digit setting.
inline constexpr uint32_t kDurationDigitsClass = 0x40000000;
inline constexpr uint32_t kWeightDigitsClass = 0x04000000;
inline constexpr uint32_t kAmountDigitsClass = 0x08000000;
inline constexpr uint32_t kPriceDigitsClass = 0x10000000;
inline constexpr uint32_t kQuantityDigitsClass = 0x20000000;
// Flag bit of a field that may hold negative values: its width is one column
// more than its digit class gives, so that the sign is never cut off.
inline constexpr uint32_t kSignedField = 0x00000200;

struct ProjectDigits {
  int quantity = 3;
  int amount = 0;
  int weight = 2;
};

// Quantity and weight decimals from the first activity field (else work-type
// field) that carries the class bit; amount decimals from the information
// block. Quantities and amounts are clamped to 0..9, weights to 0..4; a class
// that no field carries keeps the default above.
ProjectDigits projectDigits(const ProjectDb* db, const PrjInfo& info);

}  // namespace kelvo

#endif  // KELVO_PROJECT_DIGITS_H_
