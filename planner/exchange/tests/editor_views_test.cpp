// The external editor on the map, the classification tree, the value sheet
// and the period sheet: the request each window fills, as a plug-in that
// describes it sees it, and what a successful, a failed and a declined
// read back do.
#include <QCheckBox>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTreeWidget>

#include "child_frame.h"
#include "editor_read_dialog.h"
#include "exchange_fixture.h"
#include "kelvo/map_view.h"
#include "kelvo/map_window.h"
#include "kelvo/period_windows.h"
#include "kelvo/sheet_view.h"
#include "kelvo/table_view.h"
#include "kelvo/value_view.h"
#include "kelvo/wbs_tree.h"
#include "main_frame.h"
#include "program_wiring.h"
#include "sample_project.h"

using kelvo_test::ExchangeTest;
using kelvo_test::whenModal;

namespace {

// A pointer as the plug-in writes it.
QString pointer(const void* p) {
  return p ? QString::asprintf("%p", p) : QStringLiteral("null");
}

class EditorViewsTest : public ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    registerConverters({{{"prb", "시험 편집기", "xKvProbe.so"}}, "prb"});
    qputenv("KVPROBE_LOG", path("probe.log").toUtf8());
    qunsetenv("KVPROBE_RESULT");
    // A workbook for the read dialog to offer.
    QFile book(path("editor/편집.xlsx"));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
  }
  void TearDown() override {
    app_.reset();
    kelvo_test::forgetProgramWiring();
    for (int window : {2, 5, 6, 7}) kelvo::registerDocumentWindow(window, nullptr);
    kelvo::setMapDialogs({});
    qunsetenv("KVPROBE_LOG");
    qunsetenv("KVPROBE_RESULT");
    ExchangeTest::TearDown();
  }

  // The program on a copy of the sample project (summary: with an
  // activity summary by month built and open) showing window n.
  void open(int window, bool summary = false) {
    QDir().mkpath(path("p"));
    const QString file = kelvo_test::copySampleProject(kelvo_test::binDir(), path("p"));
    ASSERT_FALSE(file.isEmpty());
    if (summary) {
      for (const QStringList& args :
           {QStringList{"register-summary", file, "1", "--title", "공종별", "--compose", "0",
                        "--option", "activities", "--period", "month"},
            QStringList{"summary", file, "1", "--quiet"}}) {
        QProcess p;
        p.start(kelvo_test::binDir() + "/kvcli", args);
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
      }
    }
    app_ = start({file}, [](kelvo::CKelvoApp& app) {
      kelvo::registerMapWindow(app);
      kelvo::registerPeriodWindows(app);
    });
    ASSERT_TRUE(app_->requestWindow(window));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    doc()->setModified(false);
  }

  kelvo::CPlanDoc* doc() { return app_->document(); }
  template <class View>
  View* view() {
    return app_->mainFrame()->findChild<View*>();
  }

  // The lines the plug-in wrote since the last call.
  QStringList calls() {
    QFile log(path("probe.log"));
    if (!log.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    log.close();
    log.remove();
    return lines;
  }
  static QString field(const QString& line, const QString& name) {
    for (const QString& part : line.split(' '))
      if (part.startsWith(name + '=')) return part.mid(name.size() + 1);
    return "?";
  }

  // Reads back through 40088, accepting the workbook the dialog offers.
  bool readBack(bool rebuild = false) {
    whenModal([rebuild](QDialog* d) {
      d->findChild<QCheckBox*>("rebuild")->setChecked(rebuild);
      d->accept();
    });
    return app_->router()->dispatch(40088);
  }

  std::unique_ptr<kelvo::CKelvoApp> app_;
};

TEST_F(EditorViewsTest, MapSendsTheSelectedCellsOfItsMode) {
  open(2);
  auto* map = view<kelvo::CMapView>();
  ASSERT_NE(map, nullptr);
  map->activate();
  ASSERT_GE(map->layout().cells.size(), 2u);
  const kelvo::MapCell first = map->layout().cells[0];
  map->selectBlock(first.row, first.column, first.row, first.column + 1);
  std::vector<int32_t> selected;
  for (const kelvo::MapCell& c : map->selection()) selected.push_back(c.record);
  ASSERT_FALSE(selected.empty());
  map->setDisplayedItem(3);

  ASSERT_TRUE(app_->router()->state(40087).enabled);
  ASSERT_TRUE(app_->router()->dispatch(40087));
  QStringList lines = calls();
  ASSERT_EQ(lines.size(), 1);
  const QString& line = lines[0];
  EXPECT_EQ(field(line, "kind"), "11");
  EXPECT_EQ(field(line, "sub"), "4");  // activities
  EXPECT_EQ(field(line, "db"), pointer(&doc()->db()));
  EXPECT_EQ(field(line, "info"), pointer(&doc()->db().act));
  EXPECT_NE(field(line, "scheme"), pointer(nullptr));
  QStringList records;
  QStringList cells;
  for (const kelvo::MapCell& c : map->selection()) {
    records << QString::number(c.record);
    cells << QString("%1/%2/%3").arg(c.column).arg(c.row).arg(c.record);
  }
  EXPECT_EQ(field(line, "records"), records.join(','));
  EXPECT_EQ(field(line, "cells"), cells.join(','));
  EXPECT_EQ(field(line, "mode"), "0");
  EXPECT_EQ(field(line, "item"), "3");
  EXPECT_TRUE(field(line, "rows")
                  .startsWith(QString::number(map->layout().rows.codes.size()) + ':' +
                              map->layout().rows.codes[0].text));
  // The cells show one item: the one column, after the view's value.
  EXPECT_EQ(field(line, "columns"), "3");
  EXPECT_FALSE(doc()->isModified());

  // Read back: the document is changed and the views shown anew.
  ASSERT_TRUE(app_->router()->state(40088).enabled);
  ASSERT_TRUE(readBack());
  lines = calls();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].startsWith("read kind=11 sub=4"));
  EXPECT_TRUE(doc()->isModified());
  EXPECT_TRUE(map->selection().empty());  // built anew
  EXPECT_TRUE(messages_.empty());

  // Summary rows are sent, not read back.
  map->setMode(kelvo::MapMode::Resources);
  ASSERT_TRUE(app_->router()->dispatch(40087));
  lines = calls();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_EQ(field(lines[0], "sub"), "3");  // crews
  EXPECT_EQ(field(lines[0], "info"), pointer(&doc()->db().crw));
  EXPECT_EQ(field(lines[0], "mode"), "1");
}

TEST_F(EditorViewsTest, FailedAndDeclinedReadsChangeNothing) {
  open(2);
  auto* map = view<kelvo::CMapView>();
  ASSERT_NE(map, nullptr);
  map->activate();
  qputenv("KVPROBE_RESULT", "0");
  EXPECT_FALSE(readBack());
  EXPECT_EQ(messages_, std::vector<int>{20024});
  EXPECT_FALSE(doc()->isModified());
  messages_.clear();
  qputenv("KVPROBE_RESULT", "-1");
  EXPECT_FALSE(readBack());
  EXPECT_FALSE(app_->router()->dispatch(40087));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(doc()->isModified());
  EXPECT_EQ(calls().size(), 3);
}

TEST_F(EditorViewsTest, ClassificationTreeAndItsSheetSendBothClassifications) {
  open(0);
  auto* tree = view<kelvo::CWbsTree>();
  ASSERT_NE(tree, nullptr);
  // From the sheet beside the tree and from the tree itself: kind 9 alone.
  for (bool fromTree : {false, true}) {
    if (fromTree)
      tree->setFocus();
    else
      tree->sheet()->activate();
    app_->router()->setActiveView(fromTree ? static_cast<kelvo::CommandTarget*>(tree)
                                           : tree->sheet());
    ASSERT_TRUE(app_->router()->state(40087).enabled) << fromTree;
    ASSERT_TRUE(app_->router()->dispatch(40087));
    const QStringList lines = calls();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(field(lines[0], "kind"), "9");
    EXPECT_EQ(field(lines[0], "info"), pointer(nullptr));
    EXPECT_EQ(field(lines[0], "columns"), "none");
    EXPECT_EQ(field(lines[0], "records"), "all");
  }
  const int codes = tree->topLevelItem(0)->childCount();
  ASSERT_TRUE(readBack());
  EXPECT_EQ(calls().size(), 1);
  EXPECT_TRUE(doc()->isModified());
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), codes);
}

TEST_F(EditorViewsTest, ValueSheetSendsItsEntriesAndTakesTheValuesReadBack) {
  open(7);
  auto* sheet = view<kelvo::CValueView>();
  ASSERT_NE(sheet, nullptr);
  sheet->activate();
  const uint16_t d1 = kelvo_test::day(2026, 3, 1), d2 = kelvo_test::day(2026, 2, 1);
  ASSERT_EQ(sheet->generateDays(d2, d2, kelvo::DayStep::Day), 0);
  ASSERT_EQ(sheet->generateDays(d1, d1, kelvo::DayStep::Day), 0);
  ASSERT_EQ(sheet->sheet().entries().size(), 2u);

  ASSERT_TRUE(app_->router()->dispatch(40087));
  QStringList lines = calls();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_EQ(field(lines[0], "kind"), "17");
  EXPECT_EQ(field(lines[0], "sub"), QString::number(sheet->sheet().decimals));
  EXPECT_EQ(field(lines[0], "columns"), "0,1");
  // In the order the entries were made, not by day.
  EXPECT_EQ(field(lines[0], "values"), QString("%1:0,%2:0").arg(d2).arg(d1));

  ASSERT_TRUE(readBack());
  ASSERT_EQ(calls().size(), 1);
  EXPECT_TRUE(doc()->isModified());
  // Every value went up by one and a day was added after the last; the
  // sheet shows them and the project keeps them.
  ASSERT_EQ(sheet->sheet().entries().size(), 3u);
  EXPECT_EQ(sheet->sheet().entries()[0].value, 1);
  EXPECT_EQ(sheet->sheet().entries()[2].day, d1 + 1);
  EXPECT_EQ(sheet->rowCount(), 3);
  kelvo::ValueSheet stored;
  ASSERT_TRUE(stored.load(&doc()->db().opt, sheet->sheet().number()));
  EXPECT_EQ(stored.entries(), sheet->sheet().entries());

  // Rebuilt: only what the workbook holds.
  ASSERT_TRUE(readBack(true));
  calls();
  EXPECT_EQ(sheet->sheet().entries().size(), 4u);
}

TEST_F(EditorViewsTest, PeriodSheetSendsEachRowsValuesAndIsNotReadBack) {
  open(5, true);
  auto* sheet = view<kelvo::CSheetView>();
  ASSERT_NE(sheet, nullptr);
  sheet->activate();
  EXPECT_FALSE(app_->router()->state(40088).enabled);
  ASSERT_TRUE(app_->router()->state(40087).enabled);
  ASSERT_TRUE(app_->router()->dispatch(40087));
  const QStringList lines = calls();
  ASSERT_EQ(lines.size(), 1);
  const QString& line = lines[0];
  EXPECT_EQ(field(line, "kind"), "18");
  EXPECT_EQ(field(line, "info"), pointer(&doc()->db().summary.table));
  QStringList columns;
  for (const kelvo::ColumnRecord& c : sheet->columns()) columns << QString::number(c.field);
  EXPECT_EQ(field(line, "columns").remove(QRegularExpression(":[^,]*")), columns.join(','));
  EXPECT_EQ(field(line, "items"), QString::number(sheet->items().size()));
  // One entry per row: record, item, the number of periods and their sum.
  const QStringList rows = field(line, "rows").split(',');
  const int32_t rowCount =
      int32_t(field(line, "records").split(',').size() * sheet->items().size());
  ASSERT_GT(rowCount, 0);
  ASSERT_EQ(rows.size(), rowCount);
  for (int32_t r = 0; r < rowCount; ++r) {
    double sum = 0;
    const auto values = sheet->rowValues(r);
    for (const kelvo::PeriodValue& v : values) sum += v.value;
    EXPECT_TRUE(rows[r].endsWith(
        QString::asprintf("/%d/%d/%g", int(r % sheet->items().size()), int(values.size()), sum)))
        << rows[r].toStdString();
  }
  EXPECT_FALSE(doc()->isModified());
}

}  // namespace
