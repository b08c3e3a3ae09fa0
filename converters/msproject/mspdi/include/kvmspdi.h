// Microsoft Project XML exchange files (MSPDI) as a plain model: reading
// with a bounded streaming reader and writing with Qt's stream writer. The
// model holds what the planner exchanges: project information, calendars,
// outline codes, tasks with links and baseline, resources and assignments.
// Texts are UTF-8; dates are packed dates (0 = none); durations are minutes
// and lags tenths of minutes, as the file counts them.
//
// Hostile files meet limits while they are read: a DOCTYPE (and with it
// every entity declaration) is refused, one piece of XML above
// Limits::tokenBytes, elements nested deeper than Limits::depth, a file
// above Limits::fileBytes, more records than Limits::records or a record of
// more than Limits::recordElements elements end the read with an error; texts are cut to
// Limits::textBytes at a character boundary. What a read holds grows with the records kept, never
// with the size of one element or text.
#ifndef KVMSPDI_H_
#define KVMSPDI_H_

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

class QIODevice;

namespace kvmsp {

struct Limits {
  size_t fileBytes = size_t{512} << 20;  // the whole file
  size_t tokenBytes = size_t{4} << 20;   // one tag, text or run of blanks
  size_t textBytes = 4096;               // bytes kept of one text
  int depth = 32;                        // elements open at once
  size_t records = 500000;               // tasks, resources, assignments, calendars, values, links
  size_t recordElements = 20000;         // elements inside one record
};

// A span of days on which a calendar differs from its week.
struct CalendarException {
  uint16_t from = 0, to = 0;
  bool working = false;
};

struct Calendar {
  int uid = 0;
  std::string name;
  bool working[7] = {};  // Sunday .. Saturday
  std::vector<CalendarException> exceptions;
};

// One value of an outline code: its part of the code, below parent (0 = a
// first-level value).
struct OutlineValue {
  int id = 0, parent = 0;
  std::string value, description;
};

// Outline code 1 carries the work-type classification, 2 the facility one.
struct OutlineCode {
  int number = 0;  // 1 or 2; 0 = another outline code (not read)
  std::string alias;
  std::vector<int> lengths;  // characters of each level (the masks)
  std::vector<OutlineValue> values;
};

// Link types as the file numbers them.
enum LinkType { kFF = 0, kFS = 1, kSF = 2, kSS = 3 };

struct Link {
  int predecessor = 0;  // task UID
  int type = kFS;
  int64_t lag = 0;  // tenths of minutes
};

// Constraint types as the file numbers them (0 as soon as possible, 1 as
// late as possible, 2 must start on, 3 must finish on, 4 start no earlier
// than, 5 start no later than, 6 finish no earlier than, 7 finish no later
// than).
struct Task {
  int uid = 0, id = 0;
  std::string code;  // the WBS element; empty = none
  std::string name, notes, outlineNumber;
  int outlineLevel = 1;
  bool summary = false, milestone = false;
  uint16_t start = 0, finish = 0, earlyStart = 0, earlyFinish = 0, lateStart = 0, lateFinish = 0;
  uint16_t actualStart = 0, actualFinish = 0, constraintDate = 0;
  int64_t duration = 0, remaining = -1;   // minutes; remaining -1 = not given
  int64_t totalSlack = 0, freeSlack = 0;  // tenths of minutes
  int percentComplete = 0;
  int constraintType = 0;
  int calendar = -1;             // calendar UID, -1 = the project's
  int outlineValue[2] = {0, 0};  // value ids of outline codes 1 and 2, 0 = none
  bool hasBaseline = false;
  uint16_t baselineStart = 0, baselineFinish = 0;
  int64_t baselineDuration = 0;
  std::vector<Link> links;
};

struct Resource {
  int uid = 0, id = 0;
  std::string code, name, unit, group;
};

// Units: the planned quantity; work and actualWork in minutes.
struct Assignment {
  int uid = 0, task = 0, resource = 0;
  double units = 0;
  int64_t work = 0, actualWork = 0;
};

struct Project {
  std::string title, subject, company, manager, currency;
  std::string created, saved;  // timestamps, written as given
  uint16_t start = 0, finish = 0, statusDate = 0;
  int minutesPerDay = 480;
  int calendar = 1;  // the project calendar's UID
  std::vector<Calendar> calendars;
  std::vector<OutlineCode> outlineCodes;
  std::vector<Task> tasks;
  std::vector<Resource> resources;
  std::vector<Assignment> assignments;
};

// Reads the file at path, or bytes in memory, into project. False, with a
// reason in error, when the file is not MSPDI, is damaged or meets a limit.
bool readFile(const std::string& path, Project& project, std::string& error,
              const Limits& limits = {});
bool readBuffer(const char* data, size_t size, Project& project, std::string& error,
                const Limits& limits = {});

// Reads the project's own fields and its first task (the project itself)
// from the file at path, and no more.
bool readInfo(const std::string& path, Project& project, std::string& error);

// Writes project as UTF-8 MSPDI to out. False when the device fails.
bool write(const Project& project, QIODevice& out);

// "YYYY-MM-DDThh:mm:ss" of a packed date at a time of day in minutes, and
// the packed date of such a text (0 when it is not a date 1980-2107).
std::string dateTimeText(uint16_t day, int minuteOfDay);
uint16_t dayOfText(const std::string& text);
// "PT<h>H<m>M<s>S" of minutes, and minutes of such a text (rounded; -1 when
// it is not a duration). Days, weeks and the like count with minutesPerDay.
std::string durationText(int64_t minutes);
int64_t minutesOfText(const std::string& text, int minutesPerDay);

}  // namespace kvmsp

#endif  // KVMSPDI_H_
