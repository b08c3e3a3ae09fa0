// The report's stored records and its page assignment, without widgets:
// record 121 byte for byte, the text item's payload, and which rows land on
// which page.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "kelvo/report_items.h"
#include "kelvo/report_pages.h"
#include "kelvo/report_settings.h"
#include "xJorDbm2.h"

namespace {

using namespace kelvo;

// The object table's key: the first two bytes.
constexpr KeyDesc kKey[] = {7, 0};

TEST(ReportSettingsTest, RecordBytesAndDefaults) {
  const ReportSettings d = defaultReportSettings(2100, 2970);
  EXPECT_EQ(d.paperWidth, 1900);
  EXPECT_EQ(d.paperHeight, 2770);
  EXPECT_EQ(defaultReportSettings(0, 0).paperWidth, 2100);
  ReportSettings s = d;
  s.flags = 0x0B;
  s.bandHeight[9] = 0x0102;
  s.breakLevel = 2;
  s.firstPage = 7;
  s.marginRight = 55;
  s.outlineColor = 0x00112233;
  uint8_t b[44];
  std::memcpy(b, &s, sizeof b);
  const uint8_t expect[44] = {
      0x0B, 0,    0x6C, 0x07, 0xD2, 0x0A, 0,    0,                  // flags, paper, reserved
      200,  0,    0x90, 1,    0x90, 1,    0x90, 1, 0x90, 1,         // bands 0..4
      0x90, 1,    0x90, 1,    0x90, 1,    0x90, 1, 2,    1,         // bands 5..9
      2,    0,    7,    0,    100,  0,    100,  0, 100,  0, 55, 0,  // break, first, margins
      0x33, 0x22, 0x11, 0};
  EXPECT_EQ(std::memcmp(b, expect, sizeof b), 0);
}

TEST(ReportSettingsTest, OptionFileRoundTripAndShortRecord) {
  DbSpace space{};
  char folder[] = "/tmp/kelvo-report-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = std::string(folder) + "/";
  ASSERT_EQ(xOpenDb(&space, dir.c_str(), nullptr), 1);
  OptionFileRef opt{};
  ASSERT_EQ(xOpenOpt(&space, &opt, "opt", 200), 1);
  const ReportSettings d = defaultReportSettings(2100, 2970);
  EXPECT_EQ(readReportSettings(&opt, d), d);
  // An older, shorter record keeps the defaults past its end.
  const uint16_t shortRecord[2] = {0x9, 1500};
  ASSERT_NE(xOption(&opt, XOPT_WRITE, kReportSettingsItem, (void*)shortRecord, 4), 0);
  ReportSettings r = readReportSettings(&opt, d);
  EXPECT_EQ(r.flags, 0x9);
  EXPECT_EQ(r.paperWidth, 1500);
  EXPECT_EQ(r.paperHeight, d.paperHeight);
  r.firstPage = 3;
  ASSERT_TRUE(writeReportSettings(&opt, r));
  EXPECT_EQ(readReportSettings(&opt, d), r);
  // A paper of 0 x 0 (the shipped Default file's) is the printer's page.
  ReportSettings unsized = r;
  unsized.paperWidth = unsized.paperHeight = 0;
  ASSERT_TRUE(writeReportSettings(&opt, unsized));
  const ReportSettings a3 = defaultReportSettings(2970, 4200);
  EXPECT_EQ(readReportSettings(&opt, a3).paperWidth, 2770);
  EXPECT_EQ(readReportSettings(&opt, a3).paperHeight, 4000);
  EXPECT_EQ(readReportSettings(&opt, a3).firstPage, 3);
  xCloseTemp(&space, &opt.handle, "opt");
  xCloseFile(&space.mainHandle);
  std::filesystem::remove_all(dir);
}

TEST(ReportItemTest, TextPayloadBytesAndReadBack) {
  MemTable mt{};
  xmOpenTb(&mt, 28, kKey, 100);
  ObjectTable table(&mt);
  LOGFONT font{};
  font.lfHeight = -35;
  ReportTextHeader h;
  h.source = source::kFormula;
  h.decimals = 2;
  h.field = 12;
  const ViewPosition anchor = reportAnchor(150, 5, -30);
  ASSERT_EQ(table.append(kSectionBody, makeReportText(anchor, 400, -50, 0xFF, textalign::kRight,
                                                      font, h, "[A]+[B]", "[C]>1")),
            0);
  const ObjectRecord head = table.at(0);
  EXPECT_EQ(head.layer, '*');
  uint8_t anchorBytes[8];
  std::memcpy(anchorBytes, &head.anchor, 8);
  const uint8_t expectAnchor[8] = {150, 0, 0, 0, 5, 0, 0xE2, 0xFF};
  EXPECT_EQ(std::memcmp(anchorBytes, expectAnchor, 8), 0);
  EXPECT_EQ(head.textLength(), 12 + 7 + 5);
  // The header follows the font in the first continuation records.
  LOGFONT f{};
  std::string payload;
  ASSERT_TRUE(table.readText(0, &f, &payload));
  const uint8_t expectHeader[12] = {1, 0, 2, 0, 12, 0, 7, 0, 5, 0, 0, 0};
  EXPECT_EQ(std::memcmp(payload.data(), expectHeader, 12), 0);
  ReportItem item;
  ASSERT_TRUE(readReportItem(table, 0, &item));
  EXPECT_EQ(item.band, 5);
  EXPECT_EQ(item.y, -30);
  EXPECT_EQ(item.text, "[A]+[B]");
  EXPECT_EQ(item.condition, "[C]>1");
  EXPECT_EQ(item.header.decimals, 2);
  // Lengths that claim more than the records hold make no item.
  ObjectRecords bad =
      makeTextObject(anchor, 10, -10, 0, 0, font, std::string("\0\0\0\0\0\0\xFF\0\0\0\0\0", 12));
  const int64_t at = table.append(kSectionCover, bad);
  ASSERT_GT(at, 0);
  EXPECT_FALSE(readReportItem(table, uint32_t(at), &item));
  xmCloseTb(&mt);
}

TEST(ReportItemTest, ItemsSortedByBandAndPosition) {
  MemTable mt{};
  xmOpenTb(&mt, 28, kKey, 100);
  ObjectTable table(&mt);
  auto line = [&](uint8_t section, int32_t x, int16_t band, int16_t y) {
    ObjectRecord r;
    r.type = shape::kHorizontalLine;
    r.anchor = reportAnchor(x, band, y);
    r.width = 100;
    table.append(section, {r});
  };
  line(kSectionBody, 500, 5, -10);
  line(kSectionBody, 100, 1, -20);
  line(kSectionCover, 0, 0, 0);
  line(kSectionBody, 50, 5, -10);
  line(kSectionBody, 10, 5, -40);
  std::vector<std::pair<int, int32_t>> got;
  for (const ReportItem& i : reportItems(table, kSectionBody)) got.push_back({i.band, i.x});
  EXPECT_EQ(got, (std::vector<std::pair<int, int32_t>>{{1, 100}, {5, 50}, {5, 500}, {5, 10}}));
  EXPECT_EQ(reportItems(table, kSectionCover).size(), 1u);
  xmCloseTb(&mt);
}

TEST(ReportPagesTest, BandsOfRowKinds) {
  const std::pair<int16_t, int> cases[] = {{0, 2},  {1, 3},  {2, 7}, {4, 5}, {6, 8},
                                           {50, 6}, {41, 4}, {3, 4}, {-1, 4}};
  for (auto [kind, expected] : cases) EXPECT_EQ(reportBand(kind), expected) << kind;
}

// Rows as "kind:level"; pages as the first row of each ("C" the cover).
std::vector<int> starts(const std::vector<ReportRow>& rows, const ReportSettings& s) {
  std::vector<int> out;
  for (const ReportPage& p : assignReportPages(rows, s)) out.push_back(p.first);
  return out;
}

TEST(ReportPagesTest, PageBreaksAndNumbers) {
  ReportSettings s;
  s.paperHeight = 1000;   // body 100 + 200 .. 1000 - 100 - 600 = 300..300: room for nothing
  s.bandHeight[9] = 100;  // footer top 800: 500 units of body
  // Levels 1 2 4 4 | 1 2 4 with work types at 100 and activities at 150.
  s.bandHeight[1] = 0;
  s.bandHeight[2] = 100;
  s.bandHeight[5] = 150;
  const std::vector<ReportRow> rows = {{0, 1}, {0, 2}, {4, 3}, {4, 3}, {0, 1}, {0, 2}, {4, 3}};
  // 100+100+150 = 350, the next 150 still fits (500); the level-1 row then
  // does not (600).
  EXPECT_EQ(starts(rows, s), (std::vector<int>{0, 4}));
  s.breakLevel = 1;
  EXPECT_EQ(starts(rows, s), (std::vector<int>{0, 4}));
  s.bandHeight[2] = 60;  // everything fits: only the level break remains
  s.bandHeight[5] = 50;
  EXPECT_EQ(starts(rows, s), (std::vector<int>{0, 4}));
  s.breakLevel = 0;
  EXPECT_EQ(starts(rows, s), (std::vector<int>{0}));
  // Going up to level 2 breaks only when the break level reaches it; the
  // total row (level 0) never breaks.
  const std::vector<ReportRow> up = {{0, 1}, {0, 2}, {4, 3}, {0, 2}, {0, 0}};
  s.breakLevel = 1;
  EXPECT_EQ(starts(up, s), (std::vector<int>{0}));
  s.breakLevel = 2;
  EXPECT_EQ(starts(up, s), (std::vector<int>{0, 3}));
  // A record taller than the body still gets a page of its own.
  s.breakLevel = 0;
  s.bandHeight[5] = 900;
  EXPECT_EQ(starts({{0, 1}, {4, 2}, {4, 2}}, s), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(starts({}, s), (std::vector<int>{0}));

  s.flags = reportflag::kCover | reportflag::kBody;
  s.firstPage = 5;
  const auto pages = assignReportPages({{0, 1}, {4, 2}, {4, 2}}, s);
  ASSERT_EQ(starts({{0, 1}, {4, 2}, {4, 2}}, s), (std::vector<int>{-1, 0, 1, 2}));
  EXPECT_EQ(reportPageNumber(s, pages, 0), 0);
  EXPECT_EQ(reportPageNumber(s, pages, 1), 5);
  EXPECT_EQ(reportPageNumber(s, pages, 3), 7);
  s.flags |= reportflag::kNumberFromCover;
  EXPECT_EQ(reportPageNumber(s, pages, 0), 5);
  EXPECT_EQ(reportPageNumber(s, pages, 3), 8);
  s.flags = reportflag::kCover;
  EXPECT_EQ(starts({{0, 1}}, s), (std::vector<int>{-1}));
}

}  // namespace
