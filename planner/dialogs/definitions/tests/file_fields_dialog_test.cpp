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

#include "definitions_fixture.h"

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
