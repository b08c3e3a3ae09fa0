// The version and scheme files of a file set, and member names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "kvdbf.h"
#include "kvdbfset.h"
#include "xjor/packed_date.h"

namespace fs = std::filesystem;

namespace {

constexpr auto day = xjor::packDate;

uint16_t u16(const char* info, int at) {
  uint16_t v;
  memcpy(&v, info + at, 2);
  return v;
}

void setU16(char* info, int at, uint16_t v) {
  memcpy(info + at, &v, 2);
}

class SetFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kvdbfset_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    memset(info_, 0, sizeof info_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  // Writes a version file with the given columns and one record.
  void writeVersion(int version, bool withRemark, const char* start, const char* finish,
                    const char* now) {
    kvdbf::Writer w;
    std::vector<kvdbf::Column> cols = {
        {"VERSION", 'N', 4},  {"CODE", 'C', 10},    {"TITLE", 'C', 60},  {"MANAGER", 'C', 10},
        {"COMPANY", 'C', 40}, {"CURRENCY", 'C', 6}, {"STEP", 'N', 3},    {"START", 'D', 8},
        {"FINISH", 'D', 8},   {"TIME_NOW", 'D', 8}, {"THIS_FR", 'D', 8}, {"THIS_TO", 'D', 8}};
    if (withRemark) cols.push_back({"REMARK", 'C', 40});
    ASSERT_TRUE(w.create(path("v.dbf"), cols, day(2024, 1, 1)));
    w.setInt(0, version);
    w.setText(1, "P-1");
    w.setText(7, start);
    w.setText(8, finish);
    w.setText(9, now);
    ASSERT_TRUE(w.append());
    ASSERT_TRUE(w.close());
  }

  fs::path dir_;
  char info_[200];
  std::string why_;
};

TEST(SetNames, TagGoesBeforeTheExtension) {
  EXPECT_EQ(kvdbf::memberPath("/a/Plan.dbf", "Wbs"), "/a/PlanWbs.dbf");
  EXPECT_EQ(kvdbf::memberPath("/a/Plan.dbf", "Etc.opt"), "/a/PlanEtc.opt");
  EXPECT_EQ(kvdbf::memberPath("/a.b/Plan", "Str"), "/a.b/PlanStr");
  EXPECT_EQ(kvdbf::memberPath("/a/x.y.dbf", "Act"), "/a/x.yAct.dbf");
}

TEST_F(SetFiles, VersionFileCarriesTheProjectInformation) {
  strcpy(info_, "PRJ-01");
  strcpy(info_ + 11, "\xB0\xA1\xB3\xAA \xB4\xD9\xB8\xB6");  // Korean title
  strcpy(info_ + 133, "KRW");
  setU16(info_, 140, 3);
  setU16(info_, 142, day(2024, 3, 1));
  setU16(info_, 144, day(2025, 2, 28));
  setU16(info_, 146, day(2024, 6, 30));
  strcpy(info_ + 156, "note");
  ASSERT_TRUE(kvdbf::writeVersionFile(path("v.dbf"), info_, day(2024, 7, 1)));

  kvdbf::Reader r;
  ASSERT_TRUE(r.open(path("v.dbf")));
  ASSERT_EQ(r.columnCount(), 13u);
  EXPECT_EQ(r.columns()[12].name, "REMARK");
  ASSERT_TRUE(r.seek(0));
  EXPECT_EQ(r.raw(0), " 100");
  EXPECT_EQ(r.raw(6), "  3");
  EXPECT_EQ(r.raw(8), "20250228");
  EXPECT_EQ(r.raw(10), "        ");

  char back[200] = {};
  ASSERT_TRUE(kvdbf::readVersionFile(path("v.dbf"), back, why_));
  EXPECT_EQ(memcmp(back, info_, 200), 0);
}

TEST_F(SetFiles, WrongVersionOrColumnCountIsRefused) {
  writeVersion(99, true, "", "", "");
  EXPECT_FALSE(kvdbf::readVersionFile(path("v.dbf"), info_, why_));
  EXPECT_EQ(why_, "VERSION 99, not 100");
  writeVersion(100, false, "", "", "");
  EXPECT_FALSE(kvdbf::readVersionFile(path("v.dbf"), info_, why_));
  EXPECT_EQ(why_, "12 columns, not 13");
  writeVersion(100, true, "", "", "");
  EXPECT_TRUE(kvdbf::readVersionFile(path("v.dbf"), info_, why_));
  EXPECT_STREQ(info_, "P-1");
  EXPECT_FALSE(kvdbf::readVersionFile(path("missing.dbf"), info_, why_));
  EXPECT_EQ(why_, "cannot open: No such file or directory");
  // A FIFO under the name is refused at once, not waited on.
  ASSERT_EQ(mkfifo(path("fifo.dbf").c_str(), 0600), 0);
  EXPECT_FALSE(kvdbf::readVersionFile(path("fifo.dbf"), info_, why_));
  EXPECT_EQ(why_, "not a regular file");
}

TEST_F(SetFiles, MissingDatesGetDefaultsAndSwappedOnesAreSwapped) {
  writeVersion(100, true, "", "", "");
  ASSERT_TRUE(kvdbf::readVersionFile(path("v.dbf"), info_, why_));
  kvdbf::completeDates(info_, day(2026, 12, 7));
  EXPECT_EQ(u16(info_, 146), day(2026, 1, 1));    // data date: 1 January this year
  EXPECT_EQ(u16(info_, 142), day(2026, 1, 1));    // start: the data date
  EXPECT_EQ(u16(info_, 144), day(2026, 12, 31));  // finish: end of the start's year

  writeVersion(100, true, "20250601", "20240101", "20240315");
  ASSERT_TRUE(kvdbf::readVersionFile(path("v.dbf"), info_, why_));
  kvdbf::completeDates(info_, day(2026, 12, 7));
  EXPECT_EQ(u16(info_, 142), day(2024, 1, 1));
  EXPECT_EQ(u16(info_, 144), day(2025, 6, 1));
  EXPECT_EQ(u16(info_, 146), day(2024, 3, 15));
}

TEST_F(SetFiles, SchemeRoundTripsAndCountsLevelsWithinTenCharacters) {
  XKvScheme s{};
  s.block[0].levels = 3;
  const int16_t lengths[] = {2, 3, 5};
  for (int i = 0; i < 3; ++i) {
    s.block[0].length[i] = lengths[i];
    snprintf(s.block[0].name[i], 21, "L%d", i + 1);
  }
  s.block[1].levels = 1;
  s.block[1].length[0] = 4;
  strcpy(s.block[1].name[0], "\xB5\xBF");  // 동
  ASSERT_TRUE(kvdbf::writeSchemeFile(path("s.dbf"), s, day(2024, 1, 1)));

  XKvScheme back;
  memset(&back, 0x55, sizeof back);
  ASSERT_TRUE(kvdbf::readSchemeFile(path("s.dbf"), &back, why_));
  EXPECT_EQ(back.block[0].levels, 3);
  EXPECT_EQ(back.block[0].start[2], 5);
  EXPECT_EQ(back.block[0].length[2], 5);
  EXPECT_STREQ(back.block[0].name[1], "L2");
  EXPECT_EQ(back.block[1].levels, 1);
  EXPECT_STREQ(back.block[1].name[0], "\xB5\xBF");
  EXPECT_EQ(back.block[1].length[1], 0);
}

TEST_F(SetFiles, SchemeRecordsOutOfRangeAreIgnoredAndLongCodesCut) {
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(
      path("s.dbf"),
      {{"TABLE_NO", 'N', 1}, {"LEVEL", 'N', 1}, {"LENGTH", 'N', 1}, {"TITLE", 'C', 20}}, 0));
  const int rows[][3] = {{1, 1, 6}, {1, 2, 6}, {1, 3, 2}, {2, 9, 3},
                         {3, 1, 3}, {2, 1, 4}, {2, 2, 0}, {2, 3, 2}};
  for (const auto& row : rows) {
    for (int c = 0; c < 3; ++c) w.setInt(c, row[c]);
    w.setText(3, "name");
    ASSERT_TRUE(w.append());
  }
  ASSERT_TRUE(w.close());
  XKvScheme s;
  ASSERT_TRUE(kvdbf::readSchemeFile(path("s.dbf"), &s, why_));
  // 6 + 6 would make 12 characters: only the first level stays.
  EXPECT_EQ(s.block[0].levels, 1);
  EXPECT_EQ(s.block[0].length[1], 0);
  EXPECT_EQ(s.block[0].name[1][0], 0);
  // Level 9 and table 3 are ignored; a level of length 0 ends the count.
  EXPECT_EQ(s.block[1].levels, 1);
  EXPECT_EQ(s.block[1].length[0], 4);
  EXPECT_EQ(s.block[1].length[2], 0);
}

TEST_F(SetFiles, SchemeFileNeedsFourColumns) {
  kvdbf::Writer w;
  ASSERT_TRUE(
      w.create(path("s.dbf"), {{"TABLE_NO", 'N', 1}, {"LEVEL", 'N', 1}, {"LENGTH", 'N', 1}}, 0));
  ASSERT_TRUE(w.close());
  XKvScheme s;
  EXPECT_FALSE(kvdbf::readSchemeFile(path("s.dbf"), &s, why_));
}

}  // namespace
