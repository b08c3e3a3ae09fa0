// A period value sheet: dates and values that the user types, generates by
// period or reads from summary data, stored under a sheet number n (0..49)
// in the project's option file: record 250 + n the header, 200 + n the
// entries as a memory-table image (a 32-bit count, then 10-byte entries in
// the order they were entered), 300 + n the link to summary data.
#ifndef KELVO_VALUE_SHEET_H_
#define KELVO_VALUE_SHEET_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/period_values.h"

struct OptionFileRef;

namespace kelvo {

#pragma pack(push, 1)
struct ValueEntryRecord {
  uint16_t day;
  double value;
};
struct ValueSheetHeader {
  int16_t decimals;
  int16_t hasData;
  char title[32];  // CP949
};
struct ValueSheetLink {
  int16_t summary;     // summary number
  int16_t item;        // 0..5 as in a value item
  int16_t series;      // 0 plan, 1 actual, 2 expected, 3 actual then expected
  int16_t cumulative;  // 0 "당기", 1 "누계"
  int32_t row;         // 0 the project total row, n the n-th record (1-based)
  int16_t rebuild;     // "자료 모두 삭제 후 재구성"
};
#pragma pack(pop)
static_assert(sizeof(ValueEntryRecord) == 10, "a value entry is 10 bytes");
static_assert(sizeof(ValueSheetHeader) == 36, "the value-sheet header is 36 bytes");
static_assert(sizeof(ValueSheetLink) == 14, "the value-sheet link is 14 bytes");

inline constexpr int kValueSheetCount = 50;
inline constexpr int kBadDate = 21015;    // "날짜 형식이 올바르지 않습니다."
inline constexpr int kDuplicate = 21025;  // "이미 존재하는 코드입니다."

// True for a packed date with a real month and day.
bool isValidDay(uint16_t day);

enum class DayStep { Month, Week, Day };

class ValueSheet {
 public:
  // Loads sheet n from the option file: the header (decimals clamped to
  // 0..9, title terminated) and, when it says there are data, the entries
  // (only from a record of 10-byte entries; invalid days dropped, of two
  // entries on one day the first kept). False for n outside 0..49.
  bool load(OptionFileRef* opt, int n);
  // Stores the header (has-data = there are entries) and the entries, or
  // deletes the entries record when there are none.
  bool store(OptionFileRef* opt) const;

  int number() const { return number_; }
  int decimals = 0;
  std::string title;  // CP949
  const std::vector<PeriodValue>& entries() const { return entries_; }

  // Commits row (entries().size() = the new-entry row) with a day and a
  // value: 0 when stored (appended or updated), kBadDate for no date,
  // kDuplicate when another row has the day. A refusal changes nothing.
  int commit(int row, uint16_t day, double value);
  // Removes the rows (indexes into entries()).
  void removeRows(std::vector<int> rows);
  // The row with day, or -1.
  int find(uint16_t day) const;
  // Adds an entry of value 0 for each period day from start to finish
  // (inclusive) that has none yet, and returns how many were added. Months:
  // from the start day of month in the start's month (the next month when
  // that lies before the start); weeks: from the first start day of week
  // on or after the start; days: from the start.
  int generate(uint16_t start, uint16_t finish, DayStep step, int startDayOfMonth,
               int startDayOfWeek);
  // Replaces the entries (a read from summary data).
  void setEntries(std::vector<PeriodValue> entries) { entries_ = std::move(entries); }

 private:
  int number_ = -1;
  std::vector<PeriodValue> entries_;
};

// Checks the range of "기준일 자동 생성": 0 when fine, 1 when the start is
// no date, 2 when the finish is no date or lies before the start.
int checkGenerateRange(uint16_t start, uint16_t finish);

// The entries after reading a summary row's series into them: with rebuild
// only the series' days remain, else every entry keeps its day at value 0
// and the series' values replace those of their days (a new day goes before
// the first entry with a later day, or at the end). "실적+예상" adds an
// expected entry on the last actual day to it. With cumulative every value
// becomes the running total in day order.
std::vector<PeriodValue> entriesFromSeries(const std::vector<PeriodValue>& entries,
                                           const RowSeries& series, bool resource,
                                           const ValueSheetLink& link);

// Reads and writes record 300 + n (false: none, or n outside 0..49).
bool readValueLink(OptionFileRef* opt, int n, ValueSheetLink* link);
bool writeValueLink(OptionFileRef* opt, int n, const ValueSheetLink& link);

// Loads the entries of sheet n as a chart series (sorted by day), with its
// decimals and title. False, with nothing loaded, when the sheet has none.
bool loadSheetSeries(OptionFileRef* opt, int n, std::vector<PeriodValue>* values, int* decimals,
                     std::string* title);

}  // namespace kelvo

#endif  // KELVO_VALUE_SHEET_H_
