// What a report item shows for a summary record: the related record of the
// row's band, formulas and conditions over both records, fields and the
// system items.
#ifndef KELVO_REPORT_VALUES_H_
#define KELVO_REPORT_VALUES_H_

#include <QString>
#include <cstdint>
#include <vector>

#include "kelvo/report_items.h"

struct ProjectDb;
struct PrjInfo;
struct TableBinding;

namespace kelvo {

class ReportRecord {
 public:
  // A report over the open summary file of db; resource when it is a
  // resource summary.
  ReportRecord(ProjectDb* db, const PrjInfo* info, bool resource);

  // Reads summary record slot and its related record (zeroed when missing
  // or when its codes are not the row's). False when the slot is unreadable.
  bool read(uint32_t slot);
  int16_t kind() const;
  int16_t level() const;

  // Whether the item prints for this record (its condition holds; a
  // condition that does not parse prints nothing), and its text.
  bool shows(const ReportItem& item);
  QString text(const ReportItem& item, int pageNumber);

 private:
  bool evaluate(const std::string& expression, int32_t expected, struct QueryValue* result);
  ProjectDb* db_;
  const PrjInfo* info_;
  bool resource_;
  std::vector<char> row_, related_;
  TableBinding* relatedTable_ = nullptr;
};

// The text of system item n for the project (page number 0 prints nothing).
QString systemItemText(const PrjInfo* info, int n, int pageNumber);

}  // namespace kelvo

#endif  // KELVO_REPORT_VALUES_H_
