// The row conventions of the converter's sheets: headers in row 2 from
// column B, data from row 3 until the first row whose column B is empty.
#ifndef KVSHEET_DATA_ROWS_H_
#define KVSHEET_DATA_ROWS_H_

#include <functional>
#include <string>
#include <vector>

#include "kvxlsx.h"

namespace kvsheet {

// The cells of row 2 from column B (columns of them). False when the sheet
// cannot be read.
bool readHeaderRow(kvxlsx::Workbook& wb, size_t sheet, int columns, std::vector<kvxlsx::Cell>& out);

// Calls fn with the cells from column B (columns of them) of rows 3, 4, ...
// until a row is missing or its first cell is empty; rows after that are
// not read. False when the sheet cannot be read.
bool readDataRows(kvxlsx::Workbook& wb, size_t sheet, int columns,
                  const std::function<void(uint32_t row, const std::vector<kvxlsx::Cell>&)>& fn);

// Calls fn with the cells from column B (columns of them) of the rows from
// row 3 until fn returns false or a row is missing.
bool readRowsFrom(kvxlsx::Workbook& wb, size_t sheet, int columns,
                  const std::function<bool(uint32_t row, const std::vector<kvxlsx::Cell>&)>& fn);

// The letters of a 0-based column ("B" for 1), for messages.
std::string columnName(int column);

// A classification level header "#%d[%s]%d": level number, name, length.
struct LevelHeader {
  int level = 0;
  std::string name;
  int length = 0;
};
bool parseLevelHeader(const std::string& text, LevelHeader* out);

}  // namespace kvsheet

#endif  // KVSHEET_DATA_ROWS_H_
