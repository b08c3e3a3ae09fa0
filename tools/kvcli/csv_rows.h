// Tables printed as CSV on standard output, as kvcli's dump commands do.
#ifndef KVCLI_CSV_ROWS_H_
#define KVCLI_CSV_ROWS_H_

#include <string>

#include "xQdDb100.h"

namespace kvcli {

// text as one CSV field: in quotes, its quotes doubled, when it holds a
// comma, a quote or a line break; as it is otherwise.
std::string csvField(const std::string& text);

// Prints every live record of tb as one CSV line of its fields' display
// texts in UTF-8, without thousands separators or padding so that the lines
// load back as they read. refHandle is the project's reference file.
void printRecords(TableHandle& tb, int32_t refHandle);

}  // namespace kvcli

#endif  // KVCLI_CSV_ROWS_H_
