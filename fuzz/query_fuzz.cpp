// Any byte string as an expression: checked for each kind of result, then
// evaluated over a few records of a small table. The text is copied into a
// buffer of exactly its size so that reading past it is caught.
#include <cstring>
#include <memory>

#include "xJorDbm2.h"

namespace {

#pragma pack(push, 1)
struct Row {
  int16_t dur;
  char name[11];
  uint16_t start;
  double qty;
  float weight;
  char kind;
  uint8_t odd;
};
#pragma pack(pop)

FieldDesc Field(const char* name, int type, int16_t offset, int16_t width) {
  FieldDesc fd{};
  std::strncpy(fd.name, name, sizeof fd.name - 1);
  fd.type = static_cast<int8_t>(type);
  fd.offset = offset;
  fd.width = width;
  return fd;
}

FieldDesc g_fields[] = {
    Field("Dur", 4, 0, 4),    Field("Name", 11, 2, 10), Field("Start", 12, 13, 8),
    Field("Qty", 10, 15, 10), Field("W", 9, 23, 6),     Field("Kind", 2, 27, 1),
    Field("Odd", 1, 28, 1),   Field("Far", 11, 20, 40),
};

Row g_rows[3] = {
    {5, "EXCAVATE", static_cast<uint16_t>((20 << 9) | (1 << 5) | 3), 2.5, 0.5f, 'A', 1},
    {-3, "\xB0\xA1\xB1\xE2XYZWV?", 0, -1e300, 1e30f, 0, 2},
    {32767, "", 0xFFFF, 0, -0.0078125f, '?', 3},
};

volatile unsigned g_sink;  // keeps the reads of string results

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const int32_t kExpected[] = {0, -1, 10, 11, 12, 5};
  const int32_t expected = kExpected[data[0] % 6];
  std::unique_ptr<char[]> text(new char[size]);
  std::memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';

  TableBinding binding{};
  binding.tb.fields = g_fields;
  binding.tb.fieldCount = sizeof g_fields / sizeof g_fields[0];
  binding.tb.recordSize = sizeof(Row);
  TableBinding* bindings[2] = {&binding, &binding};
  const void* records[2] = {&g_rows[0], &g_rows[1]};

  QueryCtx q{};
  q.text = text.get();
  q.bindings = bindings;
  q.records = records;
  q.bindingCount = 2;
  xCheckSyntax(expected, &q);
  unsigned sum = 0;
  for (const Row& row : g_rows) {
    records[0] = &row;
    xExeQuery(&q);
    if (q.result.type == XJOR_QV_STRING) {
      for (int32_t i = 0; i < q.result.u.string.length; ++i)
        sum += static_cast<unsigned char>(q.result.u.string.text[i]);
    }
  }
  g_sink = sum;
  return 0;
}
