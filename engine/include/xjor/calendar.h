// Packed dates, day numbers, the eight working calendars, working-time
// offsets, the date display settings and dates as text.
//
// A packed date is a u16: bits 15-9 year - 1980 (0-127), bits 8-5 month,
// bits 4-0 day; 0 means "no date". Valid packed dates order like the days.
// Every fourth year (1980, 1984, ..., 2100, ...) is a leap year.
//
// The calendars, the selected calendar and the date settings are
// process-wide and unguarded: use them from one thread.
#ifndef XJOR_CALENDAR_H_
#define XJOR_CALENDAR_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The date settings as one 12-byte record, stored byte for byte in option
// files (little-endian, no padding).
typedef struct DateInfo {
  int16_t form;             // date form 0-7
  int16_t ordinalMode;      // non-zero: dates shown as day counts
  uint16_t ordinalBase;     // packed date that is day 1 in ordinal mode
  int16_t startDayOfMonth;  // kept for period grouping, unused here
  int16_t startDayOfWeek;   // kept for period grouping, unused here
  char delimiter;           // separator of date parts, 0 = none
  uint8_t reserved;
} DateInfo;

// Number of calendar slots; slot s is selected by calendar number s + 1.
#define XJOR_CALENDAR_SLOTS 8

// --- Packed dates --------------------------------------------------------

// Returns 1 when d has month 1-12 and a day within that month, else 0.
int32_t xIsValidT(uint16_t d);
// Returns the length of d's month (February from d's own year), or 0 when
// the month is not 1-12.
int32_t xGetEndDay(uint16_t d);
// Returns the day of week of d, 0 = Sunday .. 6 = Saturday.
int32_t xGetDayOfWeek(uint16_t d);
// Returns today's packed date in local time (0 outside 1980-2107).
uint16_t xGetToday(void);

// --- Working calendars ---------------------------------------------------

// Selects calendar number 1-8 (slot 0-7) for offset conversions; any other
// value selects none (plain calendar days). Returns calNo.
int32_t xSetCalNo(int32_t calNo);
// Returns the selected calendar number (0 = none).
int32_t xGetCalNo(void);
// Releases the slot's array (if the engine owns it) and gives the slot a new
// engine-owned array of count dates, which the caller fills in strictly
// ascending order. Returns the array, or null (count 0) when count is 0,
// the slot is not 0-7 or memory is short.
uint16_t* xSetWork(int32_t slot, int32_t count);
// Installs the caller's array of count ascending working days in the slot;
// the caller keeps it alive while installed. A null array empties the slot.
// An engine-owned array previously in the slot is freed. Returns count, or 0
// when the array is null or the slot is not 0-7.
int32_t xSetWorkBuf(int32_t slot, uint16_t* dates, int32_t count);
// Empties the slot, freeing its array if the engine owns it.
void xFreeWork(int32_t slot);
// Returns the slot's array, or null when the slot is empty.
uint16_t* xGetWork(int32_t slot);
// Returns the slot's number of working days (0 = empty).
int32_t xGetWorkCount(int32_t slot);

// Converts d to a working-time offset on the selected calendar: working days
// within the calendar's range, calendar days before and after it (equal to
// the day number up to its first working day). A non-working day inside the
// range gives the offset of the next working day. 0 gives 0.
int32_t xGetTimeOffset(uint16_t d);
// Converts an offset back to a packed date; negative offsets count as 0 and
// offsets beyond 2107-12-31 give 2107-12-31.
uint16_t xGetTimeFromOffset(int32_t offset);

// --- Date settings -------------------------------------------------------

// Sets the date form (0-7; other values count as 0). Returns the form set.
int32_t xSetDateForm(int32_t form);
int32_t xGetDateForm(void);
// Switches ordinal mode on (non-zero) or off. Returns the flag.
int32_t xSetOrdinalTime(int32_t flag);
int32_t xIsOrdinalTime(void);
// Sets the packed date shown as day 1 in ordinal mode. Returns it.
uint16_t xSetOrdinalBase(uint16_t base);
uint16_t xGetOrdinalBase(void);
// Stores the start day of month and of week. Returns startDayOfMonth.
int32_t xSetStartDayOfMW(int32_t startDayOfMonth, int32_t startDayOfWeek);
int32_t xGetStartDayOfM(void);
int32_t xGetStartDayOfW(void);
// Sets the delimiter between date parts (0 = none). Returns it.
char xSetDateDelimiter(char delimiter);
char xGetDateDelimiter(void);
// Copies the settings into / from *info. Returns info.
DateInfo* xGetDateInfo(DateInfo* info);
DateInfo* xSetDateInfo(DateInfo* info);

// --- Dates as text -------------------------------------------------------

// Longest text xTimeToStr, xGetTodayStr and xGetTimeStr write, NUL included.
#define XJOR_DATE_TEXT_MAX 16

// Writes the three capital letters of month 1-12 and a NUL into buf
// (4 bytes); other months give "???".
void xGetMonStr(char* buf, int32_t month);
// Writes d in the current form (or as an ordinal day count) into buf (at
// least XJOR_DATE_TEXT_MAX bytes). Returns the text length; 0 gives "".
int32_t xTimeToStr(char* buf, uint16_t d);
// Reads a NUL-terminated date text in the current form (or an ordinal day
// count). Returns the packed date, or 0 when the text is not a valid date
// between 1980-01-01 and 2079-12-31.
uint16_t xStrToTime(const char* text);
// Writes today's date (never ordinal) into buf. Returns the text length.
int32_t xGetTodayStr(char* buf);
// Writes the local time as "hh:mm:ss" into buf. Returns the text length.
int32_t xGetTimeStr(char* buf);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_CALENDAR_H_
