// Format files: the header and block bytes, the checks that refuse a
// damaged file, carrying a layout from one project's option file to
// another's, the drawing-object stream, and the files of the Form folder.
#include "kelvo/format_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "kelvo/format_store.h"
#include "kelvo/option_slots.h"
#include "xQdDb100.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;
using K = ViewKind;

// Two empty projects (their option files) and a scratch Form folder.
class FormatFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/format_file_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    for (int p = 0; p < 2; ++p) {
      const fs::path folder = root_ / ("p" + std::to_string(p));
      fs::create_directories(folder);
      ASSERT_EQ(xCreateDB(&db_[p], nullptr, (folder.string() + "/").c_str(), nullptr), 1);
    }
    form_ = (root_ / "Form").string();
    fs::create_directories(form_);
  }
  void TearDown() override {
    for (ProjectDb& db : db_) xCloseDB(&db);
    xFreeWork(0);
    fs::remove_all(root_);
  }
  OptionFileRef* opt(int p) { return &db_[p].opt; }

  std::vector<uint8_t> item(int p, int item) {
    const int32_t size = xOption(opt(p), XOPT_SIZE, item, nullptr, 0);
    std::vector<uint8_t> bytes(size > 0 ? size_t(size) : 0);
    if (size > 0) xOption(opt(p), XOPT_READ, item, bytes.data(), uint32_t(size));
    return bytes;
  }
  void put(int p, int item, const std::vector<uint8_t>& bytes) {
    ASSERT_NE(xOption(opt(p), XOPT_WRITE, item, const_cast<uint8_t*>(bytes.data()),
                      uint32_t(bytes.size())),
              0);
  }
  void putU16(int p, int slot, size_t at, uint16_t v) {
    std::vector<uint8_t> bytes = item(p, slot);
    bytes[at] = uint8_t(v);
    bytes[at + 1] = uint8_t(v >> 8);
    put(p, slot, bytes);
  }

  // Fills every record the kind's blocks live in with a pattern in which
  // every eighth byte is a NUL (so every text is terminated and every
  // size positive), then sets the counts: 3 columns and 2 value items of
  // items 5 and series 3.
  void seedLayout(int p, ViewKind kind) {
    std::map<int, size_t> sizes;
    for (const FormatBlock& b : formatBlocks(kind))
      if (b.item >= 0) sizes[b.item] = std::max(sizes[b.item], size_t(b.at + b.used));
    for (const FormatBlock& b : formatBlocks(kind)) {
      if (b.role == BlockRole::Columns) sizes[b.item] = 3 * 46;
      if (b.role == BlockRole::ValueItems) sizes[b.item] = 2 * 38;
    }
    for (auto [i, size] : sizes) {
      std::vector<uint8_t> bytes(size);
      for (size_t n = 0; n < size; ++n) bytes[n] = n % 8 == 7 ? 0 : uint8_t(1 + (n * 13 + i) % 120);
      put(p, i, bytes);
    }
    for (const FormatBlock& b : formatBlocks(kind)) {
      if (b.role == BlockRole::GridFormat) putU16(p, b.item, b.at + 2, 3);
      if (b.role == BlockRole::SheetBlock) {
        putU16(p, b.item, b.at, 3);
        putU16(p, b.item, b.at + 2, 2);
      }
      if (b.role == BlockRole::ValueItems)
        for (size_t e = 0; e < 2; ++e) {
          putU16(p, b.item, e * 38, 5);
          putU16(p, b.item, e * 38 + 2, 3);
        }
    }
  }

  fs::path root_;
  std::string form_;
  ProjectDb db_[2];
};

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FormatHeader, MagicKindTitleAndExtensions) {
  const std::string title39(39, 'T');
  const auto h = encodeFormatHeader(K::Network, title39 + "overflow");
  const uint8_t want[6] = {0x65, 0x46, 0x64, 0x00, 16, 0};
  EXPECT_EQ(std::memcmp(h.data(), want, 6), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.data() + 6), 39), title39);
  EXPECT_EQ(h[45], 0) << "the 40th title byte terminates it";
  FormatHeader back;
  ASSERT_TRUE(decodeFormatHeader(h.data(), h.size(), &back));
  EXPECT_EQ(back.kind, 16);
  EXPECT_EQ(back.title, title39);
  // A double-byte character that would straddle byte 39 is left out whole.
  const std::string korean = std::string(38, 'a') + "\xB0\xA1";
  EXPECT_EQ(
      std::string(reinterpret_cast<const char*>(encodeFormatHeader(K::Map, korean).data() + 6)),
      std::string(38, 'a'));
  EXPECT_FALSE(decodeFormatHeader(h.data(), 45, &back));

  EXPECT_EQ(formatExtension(K::WorkTypeSheet), ".p01");
  EXPECT_EQ(formatExtension(K::PeriodChart), ".p21");
  EXPECT_EQ(formatExtension(K::UserReport), ".prp");
  EXPECT_EQ(formatKindOf(K::GanttSummaryTable), K::GanttSummaryChart);
  EXPECT_FALSE(hasFormatFiles(K::GanttTable));
  EXPECT_FALSE(hasFormatFiles(K::Predecessors));
}

// A file per kind group: its size (the header, each block, 3 columns and
// 2 value items where the kind has them, 828 print bytes) and where the
// first block after the header comes from.
TEST_F(FormatFileTest, FileBytesPerKindGroup) {
  struct Case {
    ViewKind kind;
    size_t size;
    int firstItem;   // option item of the first block
    size_t firstAt;  // offset in it
  };
  const Case cases[] = {
      {K::Activities, 46 + 126 + 150 + 3 * 46 + 828, 104, 150},
      {K::FacilityTree, 46 + 150 + 3 * 46 + 828, 110, 0},
      {K::Map, 46 + 186 + 828, 111, 0},
      {K::GanttChart, 46 + 32 + 172 + 554 + 828, 112, 172},
      {K::Network, 46 + 110 + 130 + 172 + 554 + 828, 116, 172},
      {K::ValueSheet, 46 + 172 + 554 + 150 + 3 * 46 + 828, -1, 0},
      {K::PeriodSheet, 46 + 38 + 3 * 46 + 2 * 38 + 126 + 172 + 554 + 828, 118, 172},
      {K::PeriodChart, 46 + 172 + 554 + 498 + 828, 120, 0},
      {K::UserReport, 46 + 44 + 126, 121, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(kindNumber(c.kind));
    seedLayout(0, c.kind);
    const std::vector<uint8_t> bytes = encodeFormatFile(collectFormatLayout(opt(0), c.kind, "t"));
    ASSERT_EQ(bytes.size(), c.size);
    if (c.firstItem < 0) continue;
    const std::vector<uint8_t> record = item(0, c.firstItem);
    EXPECT_EQ(std::memcmp(bytes.data() + 46, record.data() + c.firstAt, 16), 0);
  }
}

// A layout saved from one project and loaded into another arrives whole:
// the second project's records then give back the same file, byte for byte.
TEST_F(FormatFileTest, LayoutCarriesFromProjectToProject) {
  for (int k = 0; k <= kindNumber(K::UserReport); ++k) {
    const ViewKind kind = viewKindOf(k);
    if (!hasFormatFiles(kind)) continue;
    SCOPED_TRACE(k);
    seedLayout(0, kind);
    const std::string path = form_ + "/carry" + formatExtension(kind);
    const FormatFile saved = collectFormatLayout(opt(0), kind, "공정표");
    ASSERT_TRUE(writeFormatFileBytes(path, encodeFormatFile(saved)));
    FormatFile loaded;
    ASSERT_EQ(readFormatFile(path, kind, &loaded), FormatError::None);
    ASSERT_TRUE(applyFormatLayout(opt(1), loaded, true, -1));
    EXPECT_EQ(encodeFormatFile(collectFormatLayout(opt(1), kind, "공정표")), fileBytes(path));
    for (const FormatBlock& b : formatBlocks(kind))
      if (b.item >= 0 && b.role != BlockRole::PrintFormat)
        EXPECT_EQ(item(1, b.item), item(0, b.item));
  }
}

TEST_F(FormatFileTest, TimeScaleKeepsOwnDatesUnlessObjectsCome) {
  seedLayout(0, K::GanttChart);
  const FormatFile file = collectFormatLayout(opt(0), K::GanttChart, "");
  std::vector<uint8_t> own(204, 0);
  own[2] = 0x34, own[3] = 0x12, own[4] = 0x78, own[5] = 0x56;
  put(1, 112, own);
  ASSERT_TRUE(applyFormatLayout(opt(1), file, false, -1));
  std::vector<uint8_t> got = item(1, 112);
  EXPECT_EQ(std::vector<uint8_t>(got.begin() + 2, got.begin() + 6),
            std::vector<uint8_t>({0x34, 0x12, 0x78, 0x56}));
  const std::vector<uint8_t> source = item(0, 112);
  EXPECT_EQ(std::vector<uint8_t>(got.begin() + 6, got.end()),
            std::vector<uint8_t>(source.begin() + 6, source.end()));
  ASSERT_TRUE(applyFormatLayout(opt(1), file, true, -1));
  EXPECT_EQ(item(1, 112), item(0, 112));
  // A project without a stored scale gets no dates (its own project dates).
  const int chart = kindItem(KindRecord::Settings, K::PeriodChart);
  seedLayout(0, K::PeriodChart);
  ASSERT_TRUE(
      applyFormatLayout(opt(1), collectFormatLayout(opt(0), K::PeriodChart, ""), false, -1));
  got = item(1, chart);
  EXPECT_EQ(std::vector<uint8_t>(got.begin() + 2, got.begin() + 6), std::vector<uint8_t>(4, 0));
}

TEST_F(FormatFileTest, ColumnsAndSortKeysOfMissingFieldsAreDropped) {
  seedLayout(0, K::Activities);
  // Columns name fields 2, 40 and 5; the order 3 keys: 1, 10000 + 41, 7.
  const int16_t fields[3] = {2, 40, 5};
  for (int c = 0; c < 3; ++c) putU16(0, 136, c * 46, uint16_t(fields[c]));
  std::vector<uint8_t> sheet = item(0, 104);
  const uint16_t order[4] = {3, 1, 10041, 7};
  std::memcpy(sheet.data() + 150, order, sizeof order);
  put(0, 104, sheet);
  ASSERT_TRUE(applyFormatLayout(opt(1), collectFormatLayout(opt(0), K::Activities, ""), false, 10));
  const std::vector<uint8_t> columns = item(1, 136);
  ASSERT_EQ(columns.size(), 2u * 46);
  EXPECT_EQ(columns[0], 2);
  EXPECT_EQ(columns[46], 5);
  const std::vector<uint8_t> got = item(1, 104);
  EXPECT_EQ(got[2], 2) << "the grid format's column count follows";
  uint16_t kept[4];
  std::memcpy(kept, got.data() + 150, sizeof kept);
  EXPECT_EQ(kept[0], 2);
  EXPECT_EQ(kept[1], 1);
  EXPECT_EQ(kept[2], 7);
}

// Every damage refuses the whole file with its reason; nothing is applied
// and the Default file leaves the built-in defaults.
TEST_F(FormatFileTest, DamagedFilesAreRefusedWhole) {
  seedLayout(0, K::PeriodSheet);
  const std::vector<uint8_t> good =
      encodeFormatFile(collectFormatLayout(opt(0), K::PeriodSheet, "x"));
  FormatFile file;
  ASSERT_EQ(parseFormatFile(good.data(), good.size(), K::PeriodSheet, &file), FormatError::None);
  auto damaged = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  const size_t items = 46 + 38 + 3 * 46;
  struct Case {
    std::vector<uint8_t> bytes;
    ViewKind kind;
    FormatError error;
  };
  const Case cases[] = {
      {std::vector<uint8_t>(good.begin(), good.begin() + 45), K::PeriodSheet, FormatError::Short},
      {damaged(1, 'X'), K::PeriodSheet, FormatError::Magic},
      {good, K::PeriodResourceSheet, FormatError::Kind},
      {std::vector<uint8_t>(good.begin(), good.end() - 1), K::PeriodSheet, FormatError::Truncated},
      {damaged(46 + 2, 200), K::PeriodSheet, FormatError::Truncated},  // 200 items
      {damaged(items, 6), K::PeriodSheet, FormatError::BadItem},
      {damaged(items + 2, 4), K::PeriodSheet, FormatError::BadItem},
      {damaged(46 + 38 + 45, 'z'), K::PeriodSheet, FormatError::Unterminated},  // column title
  };
  for (const Case& c : cases) {
    // A column title without its NUL: the pattern's NULs in it are gone too.
    std::vector<uint8_t> bytes = c.bytes;
    if (c.error == FormatError::Unterminated)
      for (size_t n = 46 + 38 + 6; n < 46 + 38 + 46; ++n) bytes[n] = 'z';
    FormatFile out;
    out.title = "untouched";
    EXPECT_EQ(parseFormatFile(bytes.data(), bytes.size(), c.kind, &out), c.error);
    EXPECT_EQ(out.title, "untouched");
    EXPECT_STRNE(formatErrorText(c.error), "");
  }
  // A damaged Default file is not applied; a sound one is.
  std::vector<uint8_t> cut(good.begin(), good.end() - 100);
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/DEFAULT.P19", cut));
  EXPECT_TRUE(applyDefaultFormats(opt(1), form_, nullptr).empty());
  EXPECT_TRUE(item(1, 118).empty());
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/DEFAULT.P19", good));
  EXPECT_EQ(applyDefaultFormats(opt(1), form_, nullptr), std::vector<ViewKind>{K::PeriodSheet});
  EXPECT_EQ(item(1, 132 + 18), item(0, 132 + 18));
  // Stored layouts are never overwritten by the Default.
  EXPECT_TRUE(applyDefaultFormats(opt(1), form_, nullptr).empty());
}

TEST_F(FormatFileTest, SizesThatDivideAreRaisedToOne) {
  seedLayout(0, K::Map);
  putU16(0, 111, 4, 0);
  putU16(0, 111, 6, 0xFFFF);
  const std::vector<uint8_t> bytes = encodeFormatFile(collectFormatLayout(opt(0), K::Map, ""));
  FormatFile file;
  ASSERT_EQ(parseFormatFile(bytes.data(), bytes.size(), K::Map, &file), FormatError::None);
  EXPECT_EQ(file.parts[0].bytes[4], 1);
  EXPECT_EQ(file.parts[0].bytes[6], 1);
  EXPECT_EQ(file.parts[0].bytes[7], 0);
}

std::vector<uint8_t> record(uint8_t type, uint8_t layer, int16_t continuations = 0) {
  std::vector<uint8_t> r(28, 0xAB);
  r[0] = type;
  r[1] = layer;
  std::memcpy(r.data() + 20, &continuations, 2);
  return r;
}

TEST(FormatObjects, StreamIsCleanedAndMovedToTheLoadingKind) {
  std::vector<uint8_t> stream;
  auto add = [&](const std::vector<uint8_t>& r) {
    stream.insert(stream.end(), r.begin(), r.end());
  };
  add(record(7, 8));     // rectangle, back layer of kind 4
  add(record(3, 9, 2));  // text, front, 2 continuations
  add(record(99, 9));
  add(record(99, 9));
  add(record(3, 8, 3));  // text claiming 3 but followed by 1: dropped with it
  add(record(99, 8));
  add(record(9, 9));                        // picture: kept, name zeroed
  add(record(42, 8));                       // no object type
  stream.resize(stream.size() + 10, 0x11);  // a partial record
  std::vector<uint8_t> back, front;
  decodeFormatObjects(stream, K::Network, &back, &front);
  ASSERT_EQ(back.size(), 28u);
  ASSERT_EQ(front.size(), 4 * 28u);
  EXPECT_EQ(back[1], 32);
  for (size_t r = 0; r < 4; ++r) EXPECT_EQ(front[r * 28 + 1], 33);
  EXPECT_EQ(front[3 * 28], 9);
  EXPECT_EQ(std::vector<uint8_t>(front.begin() + 3 * 28 + 14, front.end()),
            std::vector<uint8_t>(14, 0));
  EXPECT_EQ(front[28 + 2], 0xAB) << "text continuations keep their bytes";
}

TEST_F(FormatFileTest, FormFolderListingTitlesAndNames) {
  seedLayout(0, K::Activities);
  const std::vector<uint8_t> kind4 =
      encodeFormatFile(collectFormatLayout(opt(0), K::Activities, "작업"));
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/b.p05", kind4));
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/A.P05", kind4));
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/renamed.p06", kind4));  // stored kind 4
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/short.p05", {0x65, 0x46}));
  const auto list = listFormatFiles(form_, K::Activities);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "A");
  EXPECT_EQ(list[1].title, "작업");
  EXPECT_TRUE(listFormatFiles(form_, K::Relations).empty());

  // Changing only the title keeps every layout byte.
  ASSERT_TRUE(retitleFormatFile(form_ + "/b.p05", K::Activities, "새 제목"));
  const std::vector<uint8_t> after = fileBytes(form_ + "/b.p05");
  ASSERT_EQ(after.size(), kind4.size());
  EXPECT_TRUE(std::equal(after.begin() + 46, after.end(), kind4.begin() + 46));
  EXPECT_EQ(listFormatFiles(form_, K::Activities)[1].title, "새 제목");
  EXPECT_FALSE(retitleFormatFile(form_ + "/renamed.p06", K::Relations, "x"));

  for (const char* bad : {"", "   ", ".hidden", "a/b", "a\\b", "tab\there"})
    EXPECT_FALSE(isPlainFormatName(bad, K::Activities)) << bad;
  EXPECT_TRUE(isPlainFormatName("  공정 형식 ", K::Activities));
  EXPECT_TRUE(isPlainFormatName(std::string(196, 'n'), K::Activities));
  EXPECT_FALSE(isPlainFormatName(std::string(197, 'n'), K::Activities));
  EXPECT_EQ(trimFormatName("  a b  "), "a b");
}

TEST_F(FormatFileTest, SeedingCopiesMissingDefaultsOnly) {
  const std::string shipped = (root_ / "shipped").string();
  fs::create_directories(shipped);
  ASSERT_TRUE(writeFormatFileBytes(shipped + "/Default.p01", {1}));
  ASSERT_TRUE(writeFormatFileBytes(shipped + "/Default.p02", {2}));
  ASSERT_TRUE(writeFormatFileBytes(shipped + "/other.p01", {3}));
  ASSERT_TRUE(writeFormatFileBytes(form_ + "/default.P02", {9}));  // the user's own
  EXPECT_EQ(seedFormFolder(shipped, form_), 1);
  EXPECT_EQ(fileBytes(form_ + "/Default.p01"), std::vector<uint8_t>{1});
  EXPECT_EQ(fileBytes(form_ + "/default.P02"), std::vector<uint8_t>{9});
  EXPECT_FALSE(fs::exists(form_ + "/other.p01"));
  EXPECT_EQ(defaultFormatPath(form_, K::FacilitySheet), form_ + "/default.P02");
}

}  // namespace
}  // namespace kelvo
