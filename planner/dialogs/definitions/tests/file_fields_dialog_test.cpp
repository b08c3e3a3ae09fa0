// "파일 항목" driven as a user would: other tables only shown, user items of
// the activity table added, changed and inserted, OK re-lays out the table
// with every other value kept; a re-layout the disk refuses changes nothing.
#include "file_fields_dialog.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <csignal>
#include <cstring>
#include <tuple>

#include "definitions_fixture.h"
#include "field_index_remap.h"
#include "kelvo/named_formulas.h"
#include "kelvo/report_items.h"

namespace kelvo_test {
namespace {

using kelvo::CFileFieldsDlg;

constexpr int kSystemRecordSize = 298;

class FileFieldsDialogTest : public DefinitionsTest {
 protected:
  static std::vector<std::vector<char>> records(TableHandle& tb) {
    std::vector<std::vector<char>> all;
    tb.current = -1;
    while (xMoveNext(&tb)) {
      all.emplace_back(tb.recordSize);
      xGetRec(&tb, all.back().data());
    }
    return all;
  }
  static void type(CFileFieldsDlg& d, const QString& name, int kind, int width, int decimals) {
    d.findChild<QLineEdit*>("name")->setText(name);
    d.findChild<QComboBox*>("kind")->setCurrentIndex(kind);
    d.findChild<QSpinBox*>("width")->setValue(width);
    d.findChild<QSpinBox*>("decimals")->setValue(decimals);
  }
  static void press(CFileFieldsDlg& d, const char* button) {
    QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
  }
  static QStringList line(CFileFieldsDlg& d, int row) {
    QTreeWidgetItem* item = d.findChild<QTreeWidget*>("fields")->topLevelItem(row);
    QStringList texts;
    for (int c = 0; item && c < 4; ++c) texts << item->text(c);
    return texts;
  }
};

TEST_F(FileFieldsDialogTest, UserItemsAddedAndEveryValueKept) {
  auto app = start(sample("fields"));
  kelvo::CPlanDoc& doc = *app->document();
  TableHandle& acts = doc.db().act.tb;
  const auto before = records(acts);
  const int fields = acts.fieldCount;
  CFileFieldsDlg d(doc);
  d.show();
  auto* list = d.findChild<QTreeWidget*>("fields");
  // Another table is shown, not edited.
  d.findChild<QComboBox*>("table")->setCurrentIndex(2);
  EXPECT_FALSE(d.findChild<QPushButton*>("add")->isEnabled());
  EXPECT_FALSE(d.findChild<QLineEdit*>("name")->isEnabled());
  d.findChild<QComboBox*>("table")->setCurrentIndex(3);
  EXPECT_EQ(list->topLevelItemCount(), fields);
  EXPECT_EQ(line(d, 2), (QStringList{"소요일수", "숫자", "5", "0"}));
  // Relied-on fields: no insert or delete before them.
  list->setCurrentItem(list->topLevelItem(2));
  EXPECT_FALSE(d.findChild<QPushButton*>("remove")->isEnabled());
  EXPECT_FALSE(d.findChild<QPushButton*>("modify")->isEnabled());
  type(d, "공정률", 1, 3, 2);
  press(d, "add");
  type(d, "비고", 0, 2000, 0);
  press(d, "add");
  EXPECT_EQ(line(d, fields + 1), (QStringList{"비고", "문자", "1024", "0"}));
  // A duplicate name is refused and the list stays.
  type(d, "소요일수", 1, 3, 0);
  press(d, "add");
  EXPECT_EQ(list->topLevelItemCount(), fields + 2);
  EXPECT_TRUE(d.findChild<QLineEdit*>("name")->hasFocus() || !d.isActiveWindow());
  // Insert a date before 공정률, then widen 공정률.
  list->setCurrentItem(list->topLevelItem(fields));
  type(d, "검사일", 2, 0, 0);
  press(d, "insert");
  list->setCurrentItem(list->topLevelItem(fields + 1));
  type(d, "공정률", 1, 6, 3);
  press(d, "modify");
  EXPECT_EQ(line(d, fields + 1), (QStringList{"공정률", "숫자", "6", "3"}));
  shoot(&d, "issue30_file_fields.png");
  pressOk(&d);
  ASSERT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(doc.isModified());
  EXPECT_EQ(acts.fieldCount, fields + 3);
  const auto after = records(acts);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(std::memcmp(after[i].data(), before[i].data(), kSystemRecordSize), 0) << i;
    EXPECT_TRUE(std::all_of(after[i].begin() + kSystemRecordSize, after[i].end(),
                            [](char c) { return c == 0; }));
  }
  EXPECT_EQ(d.fieldMap()[2], 2);
}

// Settings stored by field index keep naming their fields when a user item
// before them is deleted; settings of the deleted item drop it.
TEST_F(FileFieldsDialogTest, StoredFieldIndexesFollowTheirFields) {
  auto app = start(sample("indexes"));
  kelvo::CPlanDoc& doc = *app->document();
  OptionFileRef* opt = &doc.db().opt;
  const int f = doc.db().act.tb.fieldCount;
  {
    CFileFieldsDlg d(doc);
    type(d, "가", 1, 3, 0);
    press(d, "add");
    type(d, "나", 1, 3, 0);
    press(d, "add");
    pressOk(&d);
    ASSERT_EQ(d.result(), QDialog::Accepted);
  }
  const auto i16 = [](std::vector<uint8_t>& b, size_t at, int v) {
    const int16_t w = int16_t(v);
    std::memcpy(b.data() + at, &w, 2);
  };
  const auto put = [&](int item, std::vector<uint8_t> b) {
    xOption(opt, XOPT_WRITE, item, b.data(), uint32_t(b.size()));
  };
  const auto get = [&](int item) {
    std::vector<uint8_t> b(size_t(std::max(0, xOption(opt, XOPT_SIZE, item, nullptr, 0))));
    xOption(opt, XOPT_READ, item, b.data(), uint32_t(b.size()));
    return b;
  };
  const auto columns = [&](std::initializer_list<int> fields) {
    std::vector<uint8_t> b(46 * fields.size(), 0);
    size_t at = 0;
    for (int field : fields) i16(b, at, field), i16(b, at + 2, 100 + field), at += 46;
    return b;
  };
  // The first n column records as (field, field it was put in for).
  const auto fieldsOf = [&](const std::vector<uint8_t>& b, size_t n) {
    std::vector<std::pair<int, int>> fields;
    for (size_t at = 0; at + 46 <= b.size() && fields.size() < n; at += 46)
      fields.emplace_back(int16_t(b[at] | b[at + 1] << 8), (b[at + 2] | b[at + 3] << 8) - 100);
    return fields;
  };
  const uint8_t ga = uint8_t(f), na = uint8_t(f + 1);
  // An upper template: 가 wrapped over a line, a literal, 나; a lower: field 1.
  const std::vector<uint8_t> upper = {ga, 0xFD, 0xFC, 'a', 0, na, 0xFF};
  // The open sheet's own record with four columns and a sort order.
  std::vector<uint8_t> sheet = get(104), gantt(172 + 32, 0), net(172 + 110, 0xEE), paper(828, 0);
  ASSERT_EQ(sheet.size(), 276u);
  i16(sheet, 2, 4);
  for (int k : {0, 1, 2, 3}) i16(sheet, 150 + 2 * k, std::vector<int>{3, f, f + 1 + 10000, 1}[k]);
  i16(gantt, 180, f);
  i16(gantt, 182, f + 1);
  for (auto* b : {&net, &paper}) {
    const size_t at = b == &net ? 172 + 24 : 664;
    std::fill(b->begin() + at, b->begin() + at + 80, 0xFF);
    std::copy(upper.begin(), upper.end(), b->begin() + at);
    (*b)[at + 40] = 1;
  }
  std::vector<uint8_t> map(6, 0xFF);
  i16(map, 0, f + 1);
  put(132 + 4, columns({0, f, f + 1, 2}));
  put(132 + 14, columns({f + 1}));
  put(104, sheet);
  put(112, gantt);
  put(116, net);
  put(180, paper);
  put(25, map);
  // Report items showing a field of the related record: in the activity
  // band (5) they name activity fields, in the work-type band (2) not.
  kelvo::ObjectTable objects(&doc.db().objects);
  const auto reportItem = [&](int16_t band, uint8_t source, int16_t field) {
    kelvo::ReportTextHeader h;
    h.source = source;
    h.field = field;
    objects.append(kelvo::kSectionBody,
                   kelvo::makeReportText(kelvo::reportAnchor(10 * field, band, 0), 400, 50, 0, 0,
                                         LOGFONT{}, h, "", "[x] > 1"));
  };
  reportItem(5, kelvo::source::kRelatedField, int16_t(f));
  reportItem(5, kelvo::source::kRelatedField2, int16_t(f + 1));
  reportItem(5, kelvo::source::kSummaryField, int16_t(f + 1));
  reportItem(2, kelvo::source::kRelatedField, int16_t(f + 1));
  // Batch formulas for activities (kind 4) and for resources (kind 2).
  const auto keep = [&](uint16_t kind, const char* title, int item) {
    kelvo::NamedFormula n;
    n.list = kelvo::kBatchFormulaList;
    n.kind = kind;
    std::strcpy(n.title, title);
    std::strcpy(n.formula, "1");
    n.item = uint16_t(item);
    ASSERT_TRUE(kelvo::registerNamedFormula(&doc.db(), n));
  };
  keep(4, "ga", f);
  keep(4, "na", f + 1);
  keep(2, "res", f + 1);
  // The open sheet takes them as its own.
  doc.updateAllViews(kelvo::kAllViews, kelvo::hint::kSettingsRewritten);

  CFileFieldsDlg d(doc);
  d.findChild<QTreeWidget*>("fields")->setCurrentItem(
      d.findChild<QTreeWidget*>("fields")->topLevelItem(f));
  press(d, "remove");
  pressOk(&d);
  ASSERT_EQ(d.result(), QDialog::Accepted);
  // What the open views hold is what the file holds.
  doc.updateAllViews(kelvo::kAllViews, kelvo::hint::kStoreSettings);
  const auto sorted = get(104);
  ASSERT_EQ(sorted.size(), 276u);
  EXPECT_EQ(sorted[2], 3) << "one column fewer";
  using Moves = std::vector<std::pair<int, int>>;
  EXPECT_EQ(fieldsOf(get(132 + 4), 3), (Moves{{0, 0}, {f, f + 1}, {2, 2}}));
  EXPECT_EQ(fieldsOf(get(132 + 14), 9), (Moves{{f, f + 1}}));
  EXPECT_EQ(std::vector<uint8_t>(sorted.begin() + 150, sorted.begin() + 158),
            (std::vector<uint8_t>{2, 0, uint8_t((f + 10000) & 0xFF), uint8_t((f + 10000) >> 8), 1,
                                  0, 0, 0}));
  const auto labels = get(112);
  EXPECT_EQ(int16_t(labels[180] | labels[181] << 8), -1);
  EXPECT_EQ(int16_t(labels[182] | labels[183] << 8), f);
  std::vector<uint8_t> moved = {0xFC, 'a', 0, ga};
  moved.resize(40, 0xFF);
  std::vector<uint8_t> lower(40, 0xFF);
  lower[0] = 1;
  for (const auto& [item, at] : {std::pair{116, 172 + 24}, std::pair{180, 664}}) {
    const auto b = get(item);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + at, b.begin() + at + 40), moved) << item;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + at + 40, b.begin() + at + 80), lower) << item;
  }
  EXPECT_EQ(get(116)[172], 0xEE) << "the rest of the block is kept";
  EXPECT_EQ(get(25), (std::vector<uint8_t>{ga, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  // (band, source, field) of the report items, and their conditions kept.
  std::vector<std::tuple<int, int, int>> items;
  for (const kelvo::ReportItem& r : kelvo::reportItems(objects, kelvo::kSectionBody)) {
    items.emplace_back(r.band, r.header.source, r.header.field);
    EXPECT_EQ(r.condition, "[x] > 1");
  }
  using Items = std::vector<std::tuple<int, int, int>>;
  EXPECT_EQ(items, (Items{{2, 6, f + 1}, {5, 6, -1}, {5, 8, f}, {5, 3, f + 1}}));
  const auto formulas = kelvo::readNamedFormulas(&doc.db(), 1, 4);
  ASSERT_EQ(formulas.size(), 2u);
  EXPECT_EQ(formulas[0].item, 0xFFFF) << "가 is gone";
  EXPECT_EQ(formulas[1].item, f) << "나 moved";
  EXPECT_EQ(kelvo::readNamedFormulas(&doc.db(), 1, 2).at(0).item, f + 1);
  // The map's remembered choice (0 = no item, else field + 1).
  const std::vector<int32_t> map_ = d.fieldMap();
  EXPECT_EQ(kelvo::remappedFieldChoice(map_, 0), 0);
  EXPECT_EQ(kelvo::remappedFieldChoice(map_, f + 1), 0);
  EXPECT_EQ(kelvo::remappedFieldChoice(map_, f + 2), f + 1);
  EXPECT_EQ(kelvo::remappedFieldChoice(map_, 3), 3);
}

TEST_F(FileFieldsDialogTest, OpenSummaryIsTheEighthTable) {
  auto app = start(sample("summary"));
  kelvo::CPlanDoc& doc = *app->document();
  EXPECT_EQ(CFileFieldsDlg(doc).findChild<QComboBox*>("table")->count(), 7);
  FieldDesc fields[1] = {};
  std::strcpy(fields[0].name, "CODE");
  fields[0].type = XF_STRING;
  fields[0].width = 10;
  int16_t number = 0;
  ASSERT_EQ(xCreateSumFile(&doc.db(), &number, 1, 11, 1, fields), 1);
  doc.setOpenSummary(number);
  CFileFieldsDlg d(doc);
  auto* table = d.findChild<QComboBox*>("table");
  ASSERT_EQ(table->count(), 8);
  EXPECT_EQ(table->itemText(7), QStringLiteral("집계 자료"));
  table->setCurrentIndex(7);
  EXPECT_EQ(line(d, 0), (QStringList{"CODE", "문자", "10", "0"}));
  EXPECT_FALSE(d.findChild<QPushButton*>("add")->isEnabled());
}

TEST_F(FileFieldsDialogTest, FailedRelayoutLeavesTheTable) {
  auto app = start(sample("full"));
  kelvo::CPlanDoc& doc = *app->document();
  TableHandle& acts = doc.db().act.tb;
  const auto before = records(acts);
  CFileFieldsDlg d(doc);
  d.show();
  type(d, "큰 항목", 0, 1024, 0);
  press(d, "add");
  // Files may not grow past their size now: the new slots cannot be written.
  struct stat st;
  ASSERT_EQ(fstat(acts.handle, &st), 0);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit tight = old;
  tight.rlim_cur = static_cast<rlim_t>(st.st_size) + 1024;
  setrlimit(RLIMIT_FSIZE, &tight);
  pressOk(&d);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(doc.isModified());
  EXPECT_EQ(records(acts), before);
  d.reject();
}

}  // namespace
}  // namespace kelvo_test
