// Object tables from hostile bytes, as a project file may carry them: every
// record is looked at as a head (span, text, copy), layers are found by key,
// and objects are moved between layers. Nothing may read outside the table,
// a move keeps every record, and a snapshot restores the table exactly.
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/drawing_objects.h"

namespace {

constexpr KeyDesc kKey[] = {7, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  ++data;
  --size;
  const uint32_t n = uint32_t(std::min<size_t>(size / 28, 2000));
  MemTable mem{};
  xmOpenTb(&mem, 28, kKey, 100);
  xmOpenTb(&mem, int32_t(std::max<uint32_t>(n, 1)), kKey, 0);
  if (!mem.data) abort();
  memcpy(mem.data, data, size_t(n) * 28);
  mem.count = n;
  kelvo::ObjectTable table(&mem);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t span = table.span(i);
    if (span > n - i) abort();
    LOGFONT font;
    std::string text;
    if (table.readText(i, &font, &text) && text.size() > size_t(span) * 26) abort();
    if (table.copy(i).size() != span) abort();
  }
  const uint8_t layer = uint8_t(control >> 1);
  const kelvo::ObjectTable::Range r = table.layer(layer);
  if (r.first > r.end || r.end > n) abort();
  // Move every usable head of the layer, as the order commands do.
  std::vector<uint32_t> heads;
  for (uint32_t i = r.first; i < r.end; ++i)
    if (table.span(i) > 0) heads.insert(heads.begin(), i);
  const std::vector<uint8_t> before = table.snapshot();
  const auto move = static_cast<kelvo::ObjectTable::Move>(control & 3);
  const std::vector<uint32_t> placed = table.reorder(heads, move, uint8_t(layer & ~1));
  if (table.count() != n || placed.size() > heads.size()) abort();
  for (uint32_t p : placed)
    if (p >= n) abort();
  if (!table.restore(before) || table.snapshot() != before) abort();
  xmCloseTb(&mem);
  return 0;
}
