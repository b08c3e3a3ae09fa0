// The dBASE tests' project, with the spreadsheet plug-in registered too,
// helpers to run it, to dump tables and to patch a workbook's members.
#ifndef KVSHEET_TESTS_FIXTURE_H_
#define KVSHEET_TESTS_FIXTURE_H_

#include <zip.h>

#include <map>
#include <regex>

#include "dbase_fixture.h"

class SheetTest : public DbaseTest {
 protected:
  void SetUp() override {
    DbaseTest::SetUp();
    kvconv::writeRegistrations(*settings_, {{{"xlsx", "Excel", "xKvXls.so"}}, "xlsx"});
    format_ = "xlsx";
  }

  // Every live record of a table as display texts, one line per record.
  static std::string Dump(TableBinding& t) {
    std::string out;
    std::vector<char> rec(t.tb.recordSize);
    char value[XF_VALUE_BUFFER];
    t.tb.current = -1;
    while (xMoveNext(&t.tb)) {
      if (!xGetRec(&t.tb, rec.data())) continue;
      for (int i = 0; i < t.tb.fieldCount; ++i) {
        xGetValue(t.tb.fields, t.db ? t.db->refHandle : -1, value, rec.data(), i, -1);
        out += value;
        out += '|';
      }
      out += '\n';
    }
    return out;
  }

  // The text of a member of a zip file.
  static std::string Member(const std::string& path, const std::string& name) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z) return {};
    std::string text;
    if (zip_file_t* f = zip_fopen(z, name.c_str(), 0)) {
      char buf[65536];
      for (zip_int64_t n; (n = zip_fread(f, buf, sizeof buf)) > 0;) text.append(buf, n);
      zip_fclose(f);
    }
    zip_discard(z);
    return text;
  }

  // Replaces every match of pattern in a member of a zip file.
  static void Patch(const std::string& path, const std::string& name, const std::string& pattern,
                    const std::string& with) {
    const std::string text = std::regex_replace(Member(path, name), std::regex(pattern), with);
    ReplaceMember(path, name, text);
  }

  static void ReplaceMember(const std::string& path, const std::string& name,
                            const std::string& text) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE, &err);
    ASSERT_NE(z, nullptr);
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    memcpy(copy, text.data(), text.size());
    zip_source_t* src = zip_source_buffer(z, copy, text.size(), 1);
    ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(z), 0);
  }
};

#endif  // KVSHEET_TESTS_FIXTURE_H_
