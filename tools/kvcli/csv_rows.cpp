#include "csv_rows.h"

#include <cstdio>
#include <vector>

#include "commands.h"
#include "xjor/field.h"

namespace kvcli {

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

void printRecords(TableHandle& tb, int32_t refHandle) {
  std::vector<uint8_t> record(tb.recordSize);
  char value[XF_VALUE_BUFFER];
  std::string line;
  tb.current = -1;
  while (xMoveNext(&tb)) {
    if (!xGetRec(&tb, record.data())) continue;
    line.clear();
    for (int32_t i = 0; i < tb.fieldCount; ++i) {
      const int32_t flags = static_cast<int32_t>(tb.fields[i].flags & ~(XF_COMMA | XF_RIGHT));
      xGetValue(tb.fields, refHandle, value, record.data(), i, flags);
      line += (i ? "," : "") + csvField(utf8(value));
    }
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace kvcli
