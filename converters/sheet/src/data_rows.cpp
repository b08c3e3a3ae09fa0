#include "data_rows.h"

#include <cstdlib>

#include "cell_reader.h"

namespace kvsheet {

namespace {
constexpr int kColumnB = 1;
constexpr uint32_t kHeaderRow = 2, kFirstRow = 3;
}  // namespace

bool readHeaderRow(kvxlsx::Workbook& wb, size_t sheet, int columns,
                   std::vector<kvxlsx::Cell>& out) {
  out.assign(static_cast<size_t>(columns), kvxlsx::Cell{});
  return wb.readRows(sheet, kColumnB, columns,
                     [&](uint32_t r, const std::vector<kvxlsx::Cell>& cells) {
                       if (r == kHeaderRow) out = cells;
                       return r < kHeaderRow;
                     });
}

bool readRowsFrom(kvxlsx::Workbook& wb, size_t sheet, int columns,
                  const std::function<bool(uint32_t row, const std::vector<kvxlsx::Cell>&)>& fn) {
  uint32_t expected = kFirstRow;
  return wb.readRows(sheet, kColumnB, columns,
                     [&](uint32_t r, const std::vector<kvxlsx::Cell>& cells) {
                       if (r < kFirstRow) return true;
                       if (r != expected++) return false;  // a missing row is an empty one
                       return fn(r, cells);
                     });
}

bool readDataRows(kvxlsx::Workbook& wb, size_t sheet, int columns,
                  const std::function<void(uint32_t row, const std::vector<kvxlsx::Cell>&)>& fn) {
  return readRowsFrom(wb, sheet, columns < 1 ? 1 : columns,
                      [&](uint32_t r, const std::vector<kvxlsx::Cell>& cells) {
                        if (isEmpty(cells[0])) return false;
                        fn(r, cells);
                        return true;
                      });
}

std::string columnName(int column) {
  std::string letters;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters;
}

bool parseLevelHeader(const std::string& text, LevelHeader* out) {
  if (text.size() < 4 || text[0] != '#') return false;
  char* end = nullptr;
  const long level = strtol(text.c_str() + 1, &end, 10);
  if (end == text.c_str() + 1 || *end != '[') return false;
  const size_t open = static_cast<size_t>(end - text.c_str());
  const size_t close = text.rfind(']');
  if (close == std::string::npos || close < open) return false;
  const char* digits = text.c_str() + close + 1;
  const long length = strtol(digits, &end, 10);
  if (end == digits || *end != '\0' || length < 1 || length > 10 || level < 1) return false;
  out->level = static_cast<int>(level);
  out->name = text.substr(open + 1, close - open - 1);
  out->length = static_cast<int>(length);
  return true;
}

}  // namespace kvsheet
