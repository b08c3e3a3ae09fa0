#include "ref_builder.h"

#include <iconv.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "table_layouts.h"
#include "xJorDbm2.h"

namespace mkref {
namespace {

constexpr size_t kDescriptorSize = 42;
constexpr size_t kNameBytes = 32;

void PutLe(std::vector<uint8_t>* out, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) (*out)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

int FieldSize(const LayoutField& f) {
  switch (f.type) {
    case kInt16:
    case kDate:
    case kRef:
      return 2;
    case kInt32:
    case kFloat:
      return 4;
    case kDouble:
      return 8;
    case kText:
      return f.width + 1;
  }
  return 1;
}

bool EncodeLayout(const TableLayout& t, RefListBytes* out, std::string* error) {
  out->list = t.list;
  out->width = kDescriptorSize - 1;
  out->count = static_cast<uint16_t>(t.fields.size());
  out->bytes.assign(t.fields.size() * kDescriptorSize, 0);
  std::vector<std::pair<int, int>> spans;
  for (size_t i = 0; i < t.fields.size(); ++i) {
    const LayoutField& f = t.fields[i];
    std::string name;
    if (!ToCp949(f.name, &name) || name.size() >= kNameBytes) {
      *error = std::string(t.table) + ": field name too long or not CP949: " + f.name;
      return false;
    }
    const int end = f.offset + FieldSize(f);
    if (f.offset < 0 || end > t.recordLength) {
      *error = std::string(t.table) + ": field outside the record: " + f.name;
      return false;
    }
    spans.emplace_back(f.offset, end);
    const size_t at = i * kDescriptorSize;
    memcpy(&out->bytes[at], name.data(), name.size());
    PutLe(&out->bytes, at + 32, static_cast<uint16_t>(f.width), 2);
    out->bytes[at + 34] = static_cast<uint8_t>(f.decimals);
    out->bytes[at + 35] = static_cast<uint8_t>(f.type);
    PutLe(&out->bytes, at + 36, f.flags, 4);
    PutLe(&out->bytes, at + 40, static_cast<uint16_t>(f.offset), 2);
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].first < spans[i - 1].second) {
      *error = std::string(t.table) + ": fields overlap at byte " + std::to_string(spans[i].first);
      return false;
    }
  }
  return true;
}

bool EncodeTexts(const TextList& t, RefListBytes* out, std::string* error) {
  out->list = t.list;
  out->width = t.width;
  out->count = static_cast<uint16_t>(t.entries.size());
  out->bytes.assign(t.entries.size() * (t.width + 1u), 0);
  for (size_t i = 0; i < t.entries.size(); ++i) {
    std::string text;
    if (!ToCp949(t.entries[i], &text) || text.size() > t.width) {
      *error = "text list " + std::to_string(t.list) + ": entry too long: " + t.entries[i];
      return false;
    }
    memcpy(&out->bytes[i * (t.width + 1u)], text.data(), text.size());
  }
  return true;
}

// Writes the lists through the engine's reference-file calls into a new
// file beside path, then renames it over path.
bool WriteFile(const char* path, const std::vector<RefListBytes>& lists, std::string* error) {
  const std::string tmp = std::string(path) + ".new";
  int32_t handle = -1;
  if (!xCreateRef(&handle, tmp.c_str())) {
    *error = "cannot create " + tmp;
    return false;
  }
  bool written = true;
  for (const RefListBytes& l : lists) {
    RefList list = {l.width, l.count,
                    const_cast<char*>(reinterpret_cast<const char*>(l.bytes.data()))};
    written = written && xPutRef(handle, l.list, &list) != 0;
  }
  xCloseFile(&handle);
  if (!written || rename(tmp.c_str(), path) != 0) {
    remove(tmp.c_str());
    *error = std::string("cannot write ") + path;
    return false;
  }
  return true;
}

}  // namespace

bool ToCp949(const std::string& utf8, std::string* cp949) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* o = out.data();
  size_t out_left = out.size();
  const size_t rc = iconv(cd, &in, &in_left, &o, &out_left);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || in_left != 0) return false;
  out.resize(out.size() - out_left);
  *cp949 = out;
  return true;
}

bool BuildReferenceLists(std::vector<RefListBytes>* lists, std::string* error) {
  lists->clear();
  for (const TextList& t : TextLists()) {
    lists->emplace_back();
    if (!EncodeTexts(t, &lists->back(), error)) return false;
  }
  for (const TableLayout& t : TableLayouts()) {
    lists->emplace_back();
    if (!EncodeLayout(t, &lists->back(), error)) return false;
  }
  return true;
}

bool WriteReferenceFile(const char* path, std::string* error) {
  std::vector<RefListBytes> lists;
  return BuildReferenceLists(&lists, error) && WriteFile(path, lists, error);
}

}  // namespace mkref
