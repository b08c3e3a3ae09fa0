// The workbook reader on arbitrary input. Input that starts with "PK" is
// opened as a whole .xlsx file. Any other input is split at 0x01 bytes into
// the worksheet, the shared strings, the styles and the workbook part and
// packed into a valid zip first, so that mutations reach the XML reading
// instead of dying on the zip's checksums.
#include <stddef.h>
#include <stdint.h>
#include <zip.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kvxlsx.h"

namespace {

const char* const kDefaults[] = {
    "<worksheet><sheetData><row r=\"3\"><c t=\"s\"><v>0</v></c></row></sheetData></worksheet>",
    "<sst><si><t>a</t></si></sst>",
    "<styleSheet><cellXfs><xf numFmtId=\"14\"/></cellXfs></styleSheet>",
    "<workbook xmlns:r=\"r\"><sheets><sheet name=\"s\" r:id=\"rId1\"/></sheets></workbook>",
};
const char* const kMembers[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml",
                                "xl/workbook.xml"};
const char kRels[] =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/></Relationships>";

// A stored (uncompressed) zip of the parts, made in memory.
std::vector<char> pack(const std::vector<std::string>& parts) {
  std::vector<char> bytes;
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &ze);
  if (!src) return bytes;
  zip_source_keep(src);
  zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &ze);
  if (z) {
    for (size_t i = 0; i < 4; ++i) {
      zip_source_t* s = zip_source_buffer(z, parts[i].data(), parts[i].size(), 0);
      const zip_int64_t at = zip_file_add(z, kMembers[i], s, ZIP_FL_OVERWRITE);
      if (at >= 0) zip_set_file_compression(z, static_cast<zip_uint64_t>(at), ZIP_CM_STORE, 0);
    }
    zip_source_t* s = zip_source_buffer(z, kRels, sizeof kRels - 1, 0);
    zip_file_add(z, "xl/_rels/workbook.xml.rels", s, ZIP_FL_OVERWRITE);
    if (zip_close(z) != 0) zip_discard(z);
    if (zip_source_open(src) == 0) {
      char buf[65536];
      for (zip_int64_t n; (n = zip_source_read(src, buf, sizeof buf)) > 0;)
        bytes.insert(bytes.end(), buf, buf + n);
      zip_source_close(src);
    }
  }
  zip_source_free(src);
  zip_error_fini(&ze);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<char> book;
  if (input.compare(0, 2, "PK") == 0) {
    book.assign(input.begin(), input.end());
  } else {
    std::vector<std::string> parts(kDefaults, kDefaults + 4);
    size_t at = 0;
    for (size_t i = 0; i < 4 && at <= input.size(); ++i) {
      const size_t end = std::min(input.find('\x01', at), input.size());
      parts[i] = input.substr(at, end - at);
      at = end + 1;
    }
    book = pack(parts);
  }
  // The default limits but a smaller member, so that an input that
  // unpacks into gigabytes costs seconds, not minutes; what a read holds
  // does not depend on the member's size (the ctest run caps it at 256 MB).
  kvxlsx::Limits limits;
  limits.memberBytes = 64 << 20;
  kvxlsx::Workbook wb;
  if (!wb.openBuffer(book.data(), book.size(), limits)) return 0;
  for (size_t s = 0; s < wb.sheetCount() && s < 4; ++s) {
    uint32_t rows = 0;
    wb.readRows(s, 1, 12, [&](uint32_t, const std::vector<kvxlsx::Cell>& cells) {
      for (const kvxlsx::Cell& c : cells) {
        int y, m, d;
        if (c.kind == kvxlsx::Cell::Date) kvxlsx::dayOfSerial(c.number, &y, &m, &d);
        (void)kvxlsx::cutUtf8(c.text, 7);
      }
      return ++rows < 10000;
    });
  }
  return 0;
}
