// Label templates from hostile bytes, as a project's chart settings or
// print format may carry them: the reader stays inside the template and
// names fields of the table only, a label never passes 1022 bytes, and a
// template written back from what was read reads back as the same items.
//
// Input: the table's field count, the characters per label line, up to 40
// template bytes, then the text the fields take their values from.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/network_label.h"

namespace {

constexpr size_t kTemplateSize = 40;

bool sameItems(const std::vector<kelvo::LabelItem>& a, const std::vector<kelvo::LabelItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].kind != b[i].kind || a[i].field != b[i].field || a[i].extraLines != b[i].extraLines ||
        a[i].text != b[i].text)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int fieldCount = data[0];
  const int lineChars = data[1] % 64;
  data += 2;
  size -= 2;
  // A buffer of exactly the template's bytes, so a read past it is caught.
  const size_t n = std::min(size, kTemplateSize);
  const std::vector<uint8_t> tmpl(data, data + n);
  const std::string text(reinterpret_cast<const char*>(data + n), size - n);

  const std::vector<kelvo::LabelItem> items =
      kelvo::parseLabelTemplate(tmpl.data(), tmpl.size(), fieldCount);
  size_t used = 0;
  for (const kelvo::LabelItem& item : items) {
    if (item.kind == kelvo::LabelItem::Field &&
        (item.field < 0 || item.field >= fieldCount || item.field >= kelvo::labelbyte::kLiteral))
      abort();
    used += kelvo::labelItemBytes(item);
  }
  // Only a literal running to the end lacks the NUL it is counted with.
  if (used > n + 1) abort();

  const auto value = [&](int field) {
    kelvo::LabelValue v;
    if (!text.empty()) v.text = text.substr(size_t(field) % text.size(), 300);
    v.width = int(v.text.size()) + field % 7;
    v.number = field & 1;
    return v;
  };
  size_t total = 0;
  for (const std::string& line : kelvo::labelLines(items, value, lineChars)) total += line.size();
  if (total > kelvo::kMaxLabelBytes) abort();
  if (kelvo::labelLineChars(items, [](int field) { return field * 3; }) < 0) abort();
  if (kelvo::labelLineCount(items) < 0) abort();

  uint8_t written[kTemplateSize];
  if (kelvo::buildLabelTemplate(items, written, sizeof written) &&
      !sameItems(kelvo::parseLabelTemplate(written, sizeof written, fieldCount), items))
    abort();
  return 0;
}
