// The builder behind buildSummary: one summary of an open project, from
// the records through the rows to the file. Its steps live in
// summary_build.cpp (reading the project, activity rows),
// summary_resource_rows.cpp (crew-detail rows) and summary_file_write.cpp
// (the final pass and the file).
#ifndef KELVO_DOC_SUMMARY_BUILDER_H_
#define KELVO_DOC_SUMMARY_BUILDER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "row_key_index.h"
#include "summary_internal.h"

namespace kelvo::summary {

inline constexpr int kActivityNameAt = 237;
inline constexpr int kDefaultActivityNameWidth = 60;
inline constexpr int kOtherCodesAt = 142;
inline constexpr int kProgressStep = 512;

// The characters of one classification that a composition entry adds to
// the row key.
struct Segment {
  int classification = 0;  // 0 work type, 1 facility, 2 other
  int level = 0;
  int from = 0, to = 0;  // code characters [from, to); the other codes take 10
};

// UTF-8 text as CP949 ("" when it does not convert).
std::string cp949(const char* utf8);
// A fixed text field up to its NUL.
std::string fixedText(const char* text, size_t width);

class Builder {
 public:
  Builder(ProjectDb* db, const PrjInfo& info, const SummaryRegistration& r,
          const ClassLevels levels[2], const SummaryProgress& progress);
  // Reads the project and gathers the rows (the project is only read):
  // kSummaryDone, kSummaryNoReference or kSummaryStopped.
  int gather();
  // Creates the summary file and writes the rows gathered in key order, the
  // total row, the series, the descriptors and the table header:
  // kSummaryDone or kSummaryFileFailed.
  int write(int16_t* current);

 private:
  // Reports rows or records done now and then, and at the end; a listener
  // that answers false stops the gathering.
  void report(int32_t done);
  // The key segments of the composition and the quantity level.
  void planSegments();
  // The activity's code of the classification a segment takes.
  static const char* classCode(const ActRecord& act, const Segment& s);
  // The key segment of composition entry i for an activity: its code
  // characters blank-filled, all 0xFF when it has no code.
  std::string segment(size_t i, const ActRecord& act) const;

  // The activities in table order with their time-shared entries; the crew
  // details whose activity exists.
  void loadActivities();
  void loadCrewDetails();
  // Index of the activity with `code`, -1 when none.
  int32_t activityOf(const std::string& code);
  // Record of the resource with `code`, -1 when none.
  int32_t resourceOf(const std::string& code);

  // The row of `key` (its index), made by `make` when it is new.
  template <class Make>
  int32_t rowOf(const std::string& key, Make make) {
    const int32_t found =
        byKey_.find(key, [&](int32_t row) -> const std::string& { return rows_[row].key; });
    if (found >= 0) return found;
    const int32_t at = static_cast<int32_t>(rows_.size());
    rows_.emplace_back();
    Row& row = rows_.back();
    row.key = key;
    make(row);
    row.quantities = quantityLevel_ != 0 && row.level >= quantityLevel_;
    byKey_.add(key, at);
    return at;
  }

  // Kind, level, codes, name and texts of composition row i of an activity.
  void makeClassRow(Row& row, size_t i, const ActRecord& act);
  static void setActivityCode(Row& row, const ActRecord& act);
  // The activity code as a 20-byte key segment.
  static std::string activityKey(const ActRecord& act);

  // Adds a member to a row and makes the rows of every member.
  void addToActivityRow(Row& row, int32_t member);
  void buildActivityRows();
  void addToResourceRow(Row& row, int32_t member);
  void buildResourceRows();

  // Rounds the sums, derives the percentages and merges the series.
  void finishRow(Row& row);
  void finishRows();
  // The name of the next row in key order as shown: indented and numbered
  // with `number`, the count of rows so far at each level under their
  // parent; cut to the name width.
  void shownName(const Row& row, std::vector<int>& number, std::string& name);
  // Removes a summary file that could not be completed.
  void discard(int16_t* current);

  ProjectDb* db_;
  SummaryRegistration reg_;
  ClassLevels levels_[2];
  SummaryProgress progress_;
  Settings settings_;
  EngineCalendars calendars_;
  bool resource_ = false;
  int nameWidth_ = 40;
  std::vector<FieldDesc> fields_;
  std::vector<Segment> segments_;
  int quantityLevel_ = 0;
  std::vector<Activity> activities_;
  std::vector<int32_t> slotToActivity_;
  std::vector<CrewDetail> crew_;
  std::vector<Values> actValues_;
  std::vector<Inputs> crewValues_;
  std::vector<RowSeries> memberSeries_;
  std::vector<Row> rows_;
  RowKeyIndex byKey_;
  Row total_;
  int32_t workTotal_ = 0;
  bool stopped_ = false;
  std::vector<char> nameBuffer_;
};

}  // namespace kelvo::summary

#endif  // KELVO_DOC_SUMMARY_BUILDER_H_
