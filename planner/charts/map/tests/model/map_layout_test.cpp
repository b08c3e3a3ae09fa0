// The map of the sample project: cells against the activities' and crews'
// codes, map places, narrowed and stored lists, displayed levels.
#include "kelvo/map_layout.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "kelvo/summary_build.h"

namespace kelvo {
namespace {

class SampleMap : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/map_layout_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ASSERT_EQ(xOpenRef(&ref_, KELVO_BIN_DIR "/Kelvo.ref"), 1);
    std::memset(&db, 0, sizeof db);
    ASSERT_EQ(xCreateDB(&db, nullptr, (folder_.string() + "/").c_str(), nullptr), 1);
    db.space.refHandle = ref_;
    PrjInfo info;
    ASSERT_EQ(xReadDB(&db, &info, KELVO_BIN_DIR "/samples/small_building.kvp"), 1);
    readClassLevels(&db, classes);
    ASSERT_EQ(classes[0].count, 3);
    ASSERT_EQ(classes[1].count, 2);
  }
  void TearDown() override {
    xCloseDB(&db);
    xCloseFile(&ref_);
    std::filesystem::remove_all(folder_);
  }

  template <typename Record>
  std::vector<std::pair<int32_t, Record>> records(TableHandle* tb) {
    std::vector<std::pair<int32_t, Record>> out;
    std::vector<char> buf(tb->recordSize + 1u);
    tb->current = -1;
    while (xMoveNext(tb)) {
      xGetRec(tb, buf.data());
      Record r;
      std::memcpy(&r, buf.data(), sizeof r);
      out.emplace_back(tb->current, r);
    }
    return out;
  }

  ProjectDb db;
  ClassLevels classes[2];
  int32_t ref_ = -1;
  std::filesystem::path folder_;
};

TEST_F(SampleMap, ActivityCellsMatchCodesAndPlaces) {
  const MapLayout map = buildMapLayout(db, classes, MapMode::Activities);
  // Rows: every final-level work type (5 characters); columns: every
  // final-level facility (3 characters).
  ASSERT_FALSE(map.rows.codes.empty());
  for (const MapCode& c : map.rows.codes) EXPECT_EQ(std::strlen(c.text), 5u) << c.text;
  for (const MapCode& c : map.columns.codes) EXPECT_EQ(std::strlen(c.text), 3u) << c.text;
  EXPECT_EQ(map.rows.levelLengths, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(map.columns.levelLengths, (std::vector<int>{1, 3}));

  size_t onMap = 0;
  for (const auto& [slot, a] : records<ActRecord>(&db.act.tb)) {
    const int32_t row = findCode(map.rows.codes, a.wbsCode);
    const int32_t column = findCode(map.columns.codes, a.obsCode);
    const MapCell* cell = findCell(map.cells, row, column);
    if (row < 0 || column < 0) {
      EXPECT_EQ(a.mapColumn, 0) << a.code;
      EXPECT_EQ(a.mapRow, 0) << a.code;
      continue;
    }
    ++onMap;
    ASSERT_NE(cell, nullptr) << a.code;
    EXPECT_EQ(cell->record, slot) << a.code;
    EXPECT_EQ(a.mapColumn, column + 1) << a.code;
    EXPECT_EQ(a.mapRow, row + 1) << a.code;
  }
  EXPECT_EQ(onMap, 63u);
  EXPECT_EQ(map.cells.size(), onMap);
  // Ordered by row, then column.
  for (size_t i = 1; i < map.cells.size(); ++i) {
    const MapCell& p = map.cells[i - 1];
    const MapCell& c = map.cells[i];
    EXPECT_TRUE(p.row < c.row || (p.row == c.row && p.column < c.column)) << i;
  }
  // A second build writes nothing: the places are up to date.
  EXPECT_EQ(writeMapPlaces(db, map.cells), 0);
}

TEST_F(SampleMap, ResourceCellsAreCrews) {
  const MapLayout map = buildMapLayout(db, classes, MapMode::Resources);
  EXPECT_EQ(map.columns.codes.size(), 16u);  // every resource
  const auto crews = records<CrewRecord>(&db.crw.tb);
  EXPECT_EQ(map.cells.size(), crews.size());
  for (const auto& [slot, c] : crews) {
    const MapCell* cell = findCell(map.cells, findCode(map.rows.codes, c.wbsCode),
                                   findCode(map.columns.codes, c.resCode));
    ASSERT_NE(cell, nullptr) << c.wbsCode << ' ' << c.resCode;
    EXPECT_EQ(cell->record, slot);
  }
}

TEST_F(SampleMap, NarrowedListsAreStoredAndAllCodesAreNot) {
  MapLayout map = buildMapLayout(db, classes, MapMode::Activities);
  const size_t allRows = map.rows.codes.size();
  const MapCell first = map.cells.front(), last = map.cells.back();
  keepRows(db, &map, {first.row, last.row});
  ASSERT_EQ(map.rows.codes.size(), 2u);
  for (const MapCell& c : map.cells) EXPECT_TRUE(c.row == 0 || c.row == 1);
  // Activities of the dropped rows leave the map.
  size_t placed = 0;
  for (const auto& [slot, a] : records<ActRecord>(&db.act.tb)) placed += a.mapRow != 0;
  EXPECT_EQ(placed, map.cells.size());

  storeMapLists(db, map);
  EXPECT_EQ(readCodeList(&db.opt, rowListItem(MapMode::Activities)), map.rows.codes);
  EXPECT_TRUE(readCodeList(&db.opt, columnListItem(MapMode::Activities)).empty());
  EXPECT_EQ(buildMapLayout(db, classes, MapMode::Activities).rows.codes.size(), 2u);

  // "전체 보기": the stored list goes, every code comes back.
  writeCodeList(&db.opt, rowListItem(MapMode::Activities), {});
  EXPECT_EQ(buildMapLayout(db, classes, MapMode::Activities).rows.codes.size(), allRows);
}

TEST_F(SampleMap, StoredListBytesAndDamagedLists) {
  const int item = rowListItem(MapMode::Activities);
  ASSERT_TRUE(writeCodeList(&db.opt, item, {mapCode("A0101"), mapCode("B0102")}));
  std::vector<unsigned char> bytes(size_t(xOption(&db.opt, XOPT_SIZE, item, nullptr, 0)));
  ASSERT_EQ(bytes.size(), 4u + 22u);
  xOption(&db.opt, XOPT_READ, item, bytes.data(), uint32_t(bytes.size()));
  const unsigned char head[4] = {2, 0, 0, 0};
  EXPECT_EQ(std::memcmp(bytes.data(), head, 4), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 4), "A0101");
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 15), "B0102");

  // Unsorted, repeated, empty and unterminated codes come back clean.
  char raw[4 + 5 * 11] = {5};
  std::memcpy(raw + 4, "B0102", 5);
  std::memcpy(raw + 15, "A0101", 5);
  std::memcpy(raw + 26, "B0102", 5);
  std::memset(raw + 48, 'Z', 11);
  xOption(&db.opt, XOPT_WRITE, item, raw, sizeof raw);
  const MapCodeList list = readCodeList(&db.opt, item);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_STREQ(list[0].text, "A0101");
  EXPECT_STREQ(list[1].text, "B0102");
  EXPECT_STREQ(list[2].text, "ZZZZZZZZZZ");
  // A count beyond the block is refused.
  raw[0] = 50;
  xOption(&db.opt, XOPT_WRITE, item, raw, sizeof raw);
  EXPECT_TRUE(readCodeList(&db.opt, item).empty());
}

TEST_F(SampleMap, LevelRecordsChooseTheDeepestDisplayedLevel) {
  MapLevels levels = allLevels(0);
  levels.level[0] = 0;
  levels.level[1] = 1;  // the middle level: 3-character work types
  ASSERT_TRUE(writeMapLevels(&db.opt, rowLevelItem(MapMode::Activities), levels));
  MapLevels bytes;
  xOption(&db.opt, XOPT_READ, rowLevelItem(MapMode::Activities), &bytes, sizeof bytes);
  const int16_t expected[8] = {0, 1, -1, -1, -1, -1, -1, -1};
  EXPECT_EQ(std::memcmp(bytes.level, expected, sizeof expected), 0);

  const MapLayout map = buildMapLayout(db, classes, MapMode::Activities);
  EXPECT_EQ(map.rows.levelLengths, (std::vector<int>{1, 3}));
  for (const MapCode& c : map.rows.codes) EXPECT_EQ(std::strlen(c.text), 3u);
  // Activities carry final-level codes: none is on this map.
  EXPECT_TRUE(map.cells.empty());
  for (const auto& [slot, a] : records<ActRecord>(&db.act.tb)) {
    EXPECT_EQ(a.mapColumn, 0);
    EXPECT_EQ(a.mapRow, 0);
  }
  // A level the classification lacks ends the list; none left means all.
  levels.level[0] = 7;
  writeMapLevels(&db.opt, rowLevelItem(MapMode::Activities), levels);
  EXPECT_EQ(buildMapLayout(db, classes, MapMode::Activities).rows.levelLengths.size(), 3u);
}

TEST_F(SampleMap, SummaryCellsAreTheOpenSummarysRows) {
  EXPECT_TRUE(buildMapLayout(db, classes, MapMode::Summary).cells.empty());  // none open
  PrjInfo info;
  xGetPrjInfo(KELVO_BIN_DIR "/samples/small_building.kvp", &info);
  SummaryRegistration r;
  r.number = 3;
  r.composition = {1, 11};  // work types of level 1 by facilities of level 1
  int16_t current = 0;
  ASSERT_EQ(buildSummary(&db, info, r, &current), kSummaryDone);
  const MapLayout map = buildMapLayout(db, classes, MapMode::Summary);
  ASSERT_FALSE(map.cells.empty());
  // Every row that carries both codes has its cell; the first keeps it.
  std::set<std::pair<std::string, std::string>> pairs;
  TableHandle* tb = &db.summary.table.tb;
  std::vector<char> buf(tb->recordSize + 1u);
  for (const MapCell& c : map.cells) {
    tb->current = c.record;
    ASSERT_TRUE(xGetRec(tb, buf.data()));
    EXPECT_STREQ(buf.data() + kActRowCodesAt, map.rows.codes[size_t(c.row)].text);
    EXPECT_STREQ(buf.data() + kActRowCodesAt + 11, map.columns.codes[size_t(c.column)].text);
  }
  tb->current = -1;
  while (xMoveNext(tb)) {
    xGetRec(tb, buf.data());
    const char* w = buf.data() + kActRowCodesAt;
    if (w[0] && w[11]) pairs.emplace(w, w + 11);
  }
  EXPECT_EQ(map.cells.size(), pairs.size());
}

}  // namespace
}  // namespace kelvo
