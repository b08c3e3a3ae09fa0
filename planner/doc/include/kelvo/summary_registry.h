// The summary registrations of a project: one 82-byte record per summary
// number 1..48 in item 50 + number of the project's option file. The summary
// build reads a registration to know what to roll up; the registration
// dialog and `kvcli register-summary` write them.
#ifndef KELVO_SUMMARY_REGISTRY_H_
#define KELVO_SUMMARY_REGISTRY_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "kelvo/progress_stages.h"

struct ProjectDb;

namespace kelvo {

inline constexpr int16_t kSummaryNumberMax = 48;

// Bits of the registration's flag word.
enum SummaryFlag : uint32_t {
  kSummaryPeriodMask = 0x3,  // 0 month, 1 week, 2 day
  kSummaryOfResources = 0x4,
  kSummaryResourceFirst = 0x8,
  kSummaryActivities = 0x10,  // "작업 포함"
  kSummaryResourceClasses = 0x20,
  kSummaryResources = 0x40,
  kSummaryPeriods = 0x80,
  kSummaryIndentNames = 0x100,
  kSummaryNumberNames = 0x200,
  kSummaryNoMilestones = 0x400,
  kSummaryNoUnclassified = 0x800,
  kSummaryWeightedProgress = 0x1000,
};
inline constexpr uint32_t kSummaryMonth = 0, kSummaryWeek = 1, kSummaryDay = 2;

// Reads registration `number` (1..48). Nothing when the number is out of
// range, the item is not in use, or its bytes do not make a registration.
std::optional<SummaryRegistration> readSummaryRegistration(ProjectDb* db, int16_t number);

// Result of writing a registration.
inline constexpr int kRegistrationWritten = 0;
inline constexpr int kRegistrationBadNumber = -1;   // number not in 1..48
inline constexpr int kRegistrationTitleLong = -3;   // title above 40 bytes
inline constexpr int kRegistrationNotWritten = -4;  // the option file refused
// Composition refusals are returned as the kComposition* codes (> 0) of
// checkCompositionEntry.

// Checks `registration` (number, title of at most 40 bytes, composition
// built entry by entry under the composition rules, every work-type and
// facility level one the project's classification has) and stores it in item
// 50 + number, replacing what was there; when what was there differs, the
// summary file built under it is deleted (closed first when it is open), as
// it no longer shows what the registration describes. Returns
// kRegistrationWritten or the first refusal; on a refusal nothing changes.
// *refusedEntry (may be null) receives the index of the composition entry
// that was refused.
int writeSummaryRegistration(ProjectDb* db, const SummaryRegistration& registration,
                             size_t* refusedEntry = nullptr);

// Removes registration `number`. Returns true when one was there.
bool deleteSummaryRegistration(ProjectDb* db, int16_t number);

// The numbers that have a readable registration, ascending.
std::vector<int16_t> registeredSummaries(ProjectDb* db);

// Message of a write result (UTF-8), empty for kRegistrationWritten.
const char* registrationMessage(int result);

// The flag bit of an option caption ("작업 포함", ..., "진도율 계산시 보할 반영") or of
// its command-line name ("activities", "resource-classes", "resources",
// "periods", "indent", "number", "no-milestones", "no-unclassified",
// "weighted", "resource-summary", "resource-first"); 0 for an unknown name.
uint32_t summaryOptionFlag(std::string_view name);

}  // namespace kelvo

#endif  // KELVO_SUMMARY_REGISTRY_H_
