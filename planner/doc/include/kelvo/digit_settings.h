// The project-wide digits of the numeric items ("숫자 항목 자릿수"): five
// classes, each tied to the fields whose flag word carries its class bit.
// Narrowing a class is refused while a stored value would no longer fit.
#ifndef KELVO_DIGIT_SETTINGS_H_
#define KELVO_DIGIT_SETTINGS_H_

#include <array>
#include <cstdint>

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// The rows of the digits dialog, in its order.
enum DigitRow { kDurationRow, kQuantityRow, kPriceRow, kAmountRow, kWeightRow, kDigitRows };

struct DigitSetting {
  int width = 0;     // integer digits
  int decimals = 0;  // decimal digits
};
using DigitSettings = std::array<DigitSetting, kDigitRows>;

// The class bit of a row.
uint32_t digitClassBit(int row);

// The settings the tables carry now: each row from the first field of the
// activity table (else any project table) with its class bit; the amount
// width and decimals from the information block.
DigitSettings currentDigitSettings(const ProjectDb* db, const PrjInfo& info);

// Clamped to the ranges: durations 1..5 integer digits (0 or more than 5
// become 5, no decimals), progress and weights 0..4 decimals (integer
// digits kept), the others 1..15 and 0..9.
DigitSettings clampDigits(const DigitSettings& wanted, const DigitSettings& current);

// Checks the rows whose integer digits shrink: a stored value of a field of
// that class, in the seven tables or the open summary file, that fits its field now and would not
// fit the new digits refuses the row. Returns the first refused row (and sets *smallest to the
// narrowest width, at most the current one, at which every such value
// fits), or -1 when every row may be applied.
int refusedDigitRow(const ProjectDb* db, const DigitSettings& wanted, const DigitSettings& current,
                    int* smallest);

// Gives every field with a class bit of the seven project tables and of
// the open summary file (whose trailer is rewritten in place) its
// class's digits (durations only their width, weights only their decimals,
// the types kept; a signed field one integer digit more) and stores the
// amount digits in the information block.
void applyDigits(ProjectDb* db, PrjInfo* info, const DigitSettings& settings);

}  // namespace kelvo

#endif  // KELVO_DIGIT_SETTINGS_H_
