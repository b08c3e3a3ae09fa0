// "항목값 일괄변경" on the activity sheet as a user drives it: the item
// chosen, the formula built with the insert lists, "변경"; records compared
// before and after.
#include "batch_change_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstring>

#include "definitions_fixture.h"
#include "kelvo/messages.h"
#include "kelvo/named_formulas.h"
#include "kelvo/table_view.h"
#include "kelvo/text_fields.h"
#include "kelvo/wbs_tree.h"
#include "main_frame.h"
#include "xjor/field.h"

namespace kelvo_test {
namespace {

using kelvo::CBatchChangeDlg;
using kelvo::CTableView;

class BatchChangeDialogTest : public DefinitionsTest {
 protected:
  CTableView* activitySheet(kelvo::CKelvoApp& app) {
    EXPECT_TRUE(app.requestWindow(8));
    auto* sheet = qobject_cast<CTableView*>(app.mainFrame()->childFrame()->content());
    if (sheet) app.router()->setActiveView(sheet);
    return sheet;
  }
  // Every live record of the activity table, bytes as stored.
  static std::vector<std::vector<char>> records(TableHandle& tb) {
    std::vector<std::vector<char>> all;
    const int32_t current = tb.current;
    tb.current = -1;
    while (xMoveNext(&tb)) {
      all.emplace_back(tb.recordSize);
      xGetRec(&tb, all.back().data());
    }
    tb.current = current;
    return all;
  }
  static double number(const std::vector<char>& rec, int offset) {
    double v;
    std::memcpy(&v, rec.data() + offset, sizeof v);
    return v;
  }
  static int16_t shortAt(const std::vector<char>& rec, int offset) {
    int16_t v;
    std::memcpy(&v, rec.data() + offset, sizeof v);
    return v;
  }
  static void choose(QComboBox* combo, const QString& text) {
    const int i = combo->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    combo->setCurrentIndex(i);
    emit combo->activated(i);
  }
};

constexpr int kDuration = 2, kQuantity = 46, kUserItem1 = 54;

TEST_F(BatchChangeDialogTest, FormulaFromInsertListsChangesEveryListedRecord) {
  auto app = start(sample("batch"));
  CTableView* sheet = activitySheet(*app);
  ASSERT_NE(sheet, nullptr);
  TableHandle& acts = app->document()->db().act.tb;
  const auto before = records(acts);
  ASSERT_EQ(before.size(), sheet->rows().count());

  CBatchChangeDlg d(*app->document(), *sheet);
  d.show();
  choose(d.findChild<QComboBox*>("item"), QStringLiteral("사용자 항목1"));
  // [수량] * [소요일수] built from the lists.
  choose(d.findChild<QComboBox*>("insertItem"), QStringLiteral("수량"));
  choose(d.findChild<QComboBox*>("insertSymbol"), QStringLiteral("*"));
  choose(d.findChild<QComboBox*>("insertItem"), QStringLiteral("소요일수"));
  EXPECT_EQ(d.findChild<QLineEdit*>("formula")->text(), QStringLiteral("[수량]*[소요일수]"));
  shoot(&d, "issue30_batch_change.png");
  QTest::mouseClick(d.findChild<QPushButton*>("change"), Qt::LeftButton);
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(app->document()->isModified());

  const auto after = records(acts);
  ASSERT_EQ(after.size(), before.size());
  int nonZero = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    const double expected =
        std::round(number(before[i], kQuantity) * shortAt(before[i], kDuration));
    EXPECT_EQ(number(after[i], kUserItem1), expected) << i;
    nonZero += expected != 0;
    // The other bytes of the record are as they were.
    std::vector<char> rest = after[i];
    std::memcpy(rest.data() + kUserItem1, before[i].data() + kUserItem1, sizeof(double));
    EXPECT_EQ(rest, before[i]) << i;
  }
  EXPECT_GT(nonZero, 10);
  EXPECT_EQ(d.findChild<QLabel*>("outcome")->text(),
            QStringLiteral("%1개의 자료를 변경했습니다.").arg(after.size()));
}

TEST_F(BatchChangeDialogTest, RefusalsChangeNothing) {
  auto app = start(sample("refused"));
  CTableView* sheet = activitySheet(*app);
  ASSERT_NE(sheet, nullptr);
  TableHandle& acts = app->document()->db().act.tb;
  const auto before = records(acts);
  CBatchChangeDlg d(*app->document(), *sheet);
  d.show();
  auto* formula = d.findChild<QLineEdit*>("formula");
  auto* change = d.findChild<QPushButton*>("change");
  // A duration that some activity's quantity makes too long for the item.
  choose(d.findChild<QComboBox*>("item"), QStringLiteral("소요일수"));
  formula->setText(QStringLiteral("[수량]*1000"));
  QTest::mouseClick(change, Qt::LeftButton);
  // Unbalanced brackets: the engine's message, the error position selected.
  formula->setText(QStringLiteral("([소요일수]+1"));
  QTest::mouseClick(change, Qt::LeftButton);
  // A derived item cannot be changed.
  choose(d.findChild<QComboBox*>("item"), QStringLiteral("총여유"));
  formula->setText(QStringLiteral("1"));
  QTest::mouseClick(change, Qt::LeftButton);
  EXPECT_EQ(messages_, (std::vector<int>{21020, 21018, 20007}));
  EXPECT_EQ(records(acts), before);
  EXPECT_FALSE(app->document()->isModified());
}

}  // namespace
}  // namespace kelvo_test

namespace kelvo_test {
namespace {

// The definition commands open their dialogs from the menu; the batch change
// only while a sheet is the active view.
TEST_F(BatchChangeDialogTest, CommandsFollowTheActiveView) {
  auto app = start(sample("commands"));
  kelvo::CommandRouter* router = app->router();
  for (int id : {40096, 40097, 40100, 40101}) EXPECT_TRUE(router->state(id).enabled) << id;
  router->setActiveView(nullptr);
  EXPECT_FALSE(router->state(40086).enabled);
  ASSERT_NE(activitySheet(*app), nullptr);
  EXPECT_TRUE(router->state(40086).enabled);
  QString title;
  whenModal([&title](QDialog* d) {
    title = d->windowTitle();
    d->reject();
  });
  router->dispatch(40086);
  EXPECT_EQ(title, QStringLiteral("항목값 일괄변경"));

  // The classification tree hands the command to the sheet beside it.
  app->setOptionBarChoice(10500, 0);
  ASSERT_TRUE(app->requestWindow(0));
  auto* tree = app->mainWindow()->findChild<kelvo::CWbsTree*>();
  ASSERT_NE(tree, nullptr);
  router->setActiveView(tree);
  EXPECT_TRUE(router->state(40086).enabled);
  title.clear();
  whenModal([&title](QDialog* d) {
    title = d->windowTitle();
    d->reject();
  });
  router->dispatch(40086);
  EXPECT_EQ(title, QStringLiteral("항목값 일괄변경"));
}

TEST_F(BatchChangeDialogTest, NamedFormulasAreKeptForTheSheetsKindOfData) {
  auto app = start(sample("batchlist"));
  CTableView* sheet = activitySheet(*app);
  ASSERT_NE(sheet, nullptr);
  ProjectDb& db = app->document()->db();
  std::vector<int> messages;
  kelvo::setMessageHook([&](int id, const QString&) {
    messages.push_back(id);
    return 0;
  });
  {
    CBatchChangeDlg d(*app->document(), *sheet);
    auto* title = d.findChild<QLineEdit*>("title");
    auto* formula = d.findChild<QLineEdit*>("formula");
    auto* add = d.findChild<QPushButton*>("register");
    choose(d.findChild<QComboBox*>("item"), QStringLiteral("사용자 항목1"));
    formula->setText(QStringLiteral("[수량]*2"));
    add->click();  // no title
    EXPECT_EQ(messages, std::vector<int>{104312});
    title->setText(QStringLiteral(" 두배 "));
    add->click();
    formula->setText(QStringLiteral("[수량]*3"));
    add->click();  // the same title replaces the entry
    title->setText(QStringLiteral("하나"));
    formula->setText(QStringLiteral("1"));
    add->click();
    EXPECT_EQ(d.findChild<QListWidget*>("list")->count(), 2);
  }
  // Activities are kind 4: two 146-byte records in title order.
  const std::vector<kelvo::NamedFormula> kept = kelvo::readNamedFormulas(&db, 1, 4);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kelvo::fieldText(kept[0].title, 40), QStringLiteral("두배"));
  EXPECT_EQ(kelvo::fieldText(kept[0].formula, 100), QStringLiteral("[수량]*3"));
  char name[32] = {};
  kelvo::setFieldText(name, sizeof name, QStringLiteral("사용자 항목1"));
  EXPECT_EQ(kept[0].item, xGetFldOrdinal(name, db.act.tb.fields, db.act.tb.fieldCount));
  EXPECT_EQ(kept[0].list, 1);
  EXPECT_EQ(kept[0].kind, 4);
  EXPECT_TRUE(kelvo::readNamedFormulas(&db, 1, 2).empty());

  // Opened again: choosing the entry brings back formula and item;
  // deleting removes it from the file.
  CBatchChangeDlg d(*app->document(), *sheet);
  auto* list = d.findChild<QListWidget*>("list");
  ASSERT_EQ(list->count(), 2);
  list->setCurrentRow(0);
  EXPECT_EQ(d.findChild<QLineEdit*>("formula")->text(), QStringLiteral("[수량]*3"));
  EXPECT_EQ(d.findChild<QComboBox*>("item")->currentText(), QStringLiteral("사용자 항목1"));
  d.findChild<QPushButton*>("delete")->click();
  EXPECT_EQ(list->count(), 1);
  ASSERT_EQ(kelvo::readNamedFormulas(&db, 1, 4).size(), 1u);
  kelvo::setMessageHook({});
}

}  // namespace
}  // namespace kelvo_test
