// The kvcli commands. Each returns the process exit status: 0 success,
// 1 error (message on standard error), 3 when the command's work reported a
// message.
#ifndef KVCLI_COMMANDS_H_
#define KVCLI_COMMANDS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "xjor/packed_date.h"

namespace kvcli {

// What `kvcli new` is given (UTF-8 texts, dates in the date form; empty =
// not given).
struct NewProject {
  std::string code, name, start, finish, dataDate;
};

int create(const std::string& file, const NewProject& request);

// What `kvcli calendar` is given: the calendar number 1..8, the range (date
// texts), the weekdays that do not work (bit 0 Sunday .. bit 6 Saturday),
// the holidays, and whether the Korean public holidays of the range's years
// are holidays too.
struct CalendarRequest {
  int number = 0;
  std::string from, to;
  unsigned offWeekdays = 0;
  std::vector<std::string> holidays;
  bool koreanHolidays = false;
};

int calendar(const std::string& file, const CalendarRequest& request);
// Sets the levels ("LEN" or "LEN:NAME") of classification "work" or
// "facility".
int classes(const std::string& file, const std::string& which,
            const std::vector<std::string>& levels);
int info(const std::string& file);
int check(const std::string& file);
int schedule(const std::string& file, const std::string& dataDate);
// A random acyclic project; with workTypes it also has a work-type and a
// facility classification and every activity a place in them.
int generate(const std::string& file, int32_t activities, int32_t relations, uint32_t seed,
             bool workTypes);
// Enters the rows of a UTF-8 CSV file into table (wbs obs res crw act rel
// opr) through the record input; the header names fields by field name or
// dBASE column name. Refused rows are reported and skipped; 3 when any was.
int load(const std::string& file, const std::string& table, const std::string& csv,
         int16_t dateMode);
// Prints every live record of table as CSV, headed by the dBASE column names.
int dump(const std::string& file, const std::string& table);

// register, converters, export and import (the converter plug-ins): the
// command's exit status, or -1 when argv[1] names none of them.
int convertCommand(int argc, char** argv);

// The packed date of a day (year 1980-2107).
inline uint16_t packedDate(int year, int month, int day) {
  return xjor::packDate(year, month, day);
}

// The processing commands (baseline, next-stage, derive, actuals,
// rewrite-codes, register-summary) with their own arguments; -1 when
// argv[1] names none of them.
int stageCommand(int argc, char** argv);
// kvcli summary, series and dump FILE summary N; -1 when argv names none of
// them.
int summaryCommand(int argc, char** argv);

// Prints the usage on standard error; returns 1.
int usage();
// Prints the text of a message number on standard error; returns 1.
int fail(int message);
// CP949 text as UTF-8 (bytes that do not convert are kept as they are).
std::string utf8(const char* cp949);
// UTF-8 text as CP949 in out; false (out empty) when it has a character
// CP949 lacks.
bool cp949(const std::string& utf8Text, std::string& out);

}  // namespace kvcli

#endif  // KVCLI_COMMANDS_H_
