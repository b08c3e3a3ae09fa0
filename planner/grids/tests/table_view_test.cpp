// The data sheet driven as a user drives it: typing rows and committing
// them, refusals, the new-record row, scrolling, deleting at the cursor,
// resizing with undo, the finders, bad values and the read-only summary.
#include "kelvo/table_view.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>

#include "grid_fixture.h"
#include "kelvo/summary_registry.h"
#include "xQdDb100.h"

using namespace kelvo;
using kelvo_test::cp949;
using kelvo_test::GridTest;

namespace {

class SheetTest : public GridTest {
 protected:
  void TearDown() override {
    view_.reset();
    viewState().editTool = tool::kDataSelect;
    optionFlags() = 0x600;
    GridTest::TearDown();
  }

  // An activity sheet (kind 4) on screen with the data-input tool.
  CTableView& open(ViewKind kind = ViewKind::Activities, QSize size = {900, 400}) {
    viewState().nextViewKind = kind;
    viewState().nextWindow = 8;
    viewState().editTool = tool::kDataInput;
    view_ = std::make_unique<CTableView>(doc_.get());
    view_->resize(size);
    view_->show();
    view_->activateWindow();
    view_->setFocus();
    view_->initialUpdate();
    QApplication::processEvents();
    return *view_;
  }

  int column(const char* utf8Name) {
    const TableHandle& tb = view_->table()->tb;
    const int field = xGetFldOrdinal(cp949(utf8Name).c_str(), tb.fields, tb.fieldCount);
    const auto& cols = view_->columns();
    for (size_t c = 0; c < cols.size(); ++c)
      if (cols[c].field == field) return int(c);
    return -1;
  }

  // Types text into the current cell's editor.
  void type(const QString& text) {
    QLineEdit* e = view_->lineEditor();
    ASSERT_TRUE(e->isVisible());
    e->selectAll();
    // Key events carry ASCII only; other text arrives as an input method
    // would commit it.
    bool ascii = true;
    for (QChar c : text) ascii = ascii && c.unicode() < 128;
    if (ascii)
      QTest::keyClicks(e, text);
    else
      e->insert(text);
  }
  void key(Qt::Key k) {
    QWidget* target = view_->lineEditor()->isVisible() ? static_cast<QWidget*>(view_->lineEditor())
                      : view_->listEditor()->isVisible()
                          ? static_cast<QWidget*>(view_->listEditor())
                          : static_cast<QWidget*>(view_.get());
    QTest::keyClick(target, k);
  }

  std::string codeOfRecord(uint32_t record) {
    std::string buffer(db().act.tb.recordSize, '\0');
    db().act.tb.current = int32_t(record);
    if (!xGetRec(&db().act.tb, buffer.data())) return "-";
    ActRecord a;
    std::memcpy(&a, buffer.data(), sizeof a);
    return a.code;
  }

  std::unique_ptr<CTableView> view_;
};

}  // namespace

TEST_F(SheetTest, TypingANewActivityRowCommitsIt) {
  CTableView& v = open();
  EXPECT_EQ(v.rowCount(), 0);
  EXPECT_EQ(v.currentRow(), 0);  // the new-record row
  ASSERT_EQ(v.currentColumn(), column("작업코드"));
  type("A100");
  key(Qt::Key_Tab);
  EXPECT_EQ(v.currentColumn(), column("작업명"));
  type(QStringLiteral("기초 공사"));
  key(Qt::Key_Return);
  EXPECT_TRUE(messages_.empty());
  ASSERT_EQ(v.rowCount(), 1);
  EXPECT_EQ(v.currentRow(), 1);  // on to the next new-record row
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_EQ(codeOfRecord(v.rows().record(0)), "A100");
  EXPECT_TRUE(doc_->isModified());
  EXPECT_EQ(v.rowLabel(0), "1");
  EXPECT_EQ(v.cellText(v.columns()[column("작업명")].field), QStringLiteral("기초 공사"));
  EXPECT_EQ(v.rowLabel(1), ">");
  // Editing the stored row changes that record, not a new one.
  key(Qt::Key_Up);
  EXPECT_EQ(v.currentRow(), 0);
  key(Qt::Key_Left);
  ASSERT_EQ(v.currentColumn(), column("작업코드"));
  type("A101");
  key(Qt::Key_Down);
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_EQ(codeOfRecord(v.rows().record(0)), "A101");
}

TEST_F(SheetTest, RefusedRowKeepsItsEditsAndShowsTheStoresMessage) {
  ASSERT_EQ(addActivity("A1", "first"), 0);
  CTableView& v = open();
  key(Qt::Key_Down);
  ASSERT_EQ(v.currentRow(), 1);
  type("A1");  // already registered
  key(Qt::Key_Tab);
  type("duplicate");
  key(Qt::Key_Return);
  EXPECT_EQ(messages_, std::vector<int>{XQD_MSG_DUPLICATE});
  EXPECT_EQ(v.currentRow(), 1);
  EXPECT_EQ(v.rowCount(), 1);
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_TRUE(v.rowChanged());
  EXPECT_EQ(v.lineEditor()->text(), "duplicate");
  key(Qt::Key_Left);
  key(Qt::Key_Left);  // out of the text, to the code column
  EXPECT_EQ(v.lineEditor()->text(), "A1");
  // Mended, the same row goes in.
  type("A2");
  key(Qt::Key_Return);
  EXPECT_EQ(v.rowCount(), 2);
  EXPECT_EQ(db().act.tb.liveCount, 2u);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(SheetTest, EnterOnAnEmptyNewRowCreatesNothing) {
  ASSERT_EQ(addActivity("A1", "first"), 0);
  CTableView& v = open();
  key(Qt::Key_Down);
  ASSERT_EQ(v.currentRow(), 1);
  key(Qt::Key_Return);
  key(Qt::Key_Return);
  EXPECT_EQ(v.currentRow(), 1);
  EXPECT_EQ(v.rowCount(), 1);
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(doc_->isModified());
}

TEST_F(SheetTest, DownFromTheLastVisibleRowScrollsOneRow) {
  xBeginInputBatch(&db());
  for (int i = 0; i < 60; ++i)
    ASSERT_EQ(
        addActivity(QStringLiteral("A%1").arg(i, 3, 10, QChar('0')).toLatin1().constData(), "row"),
        0);
  xEndInputBatch(&db());
  CTableView& v = open(ViewKind::Activities, {900, 300});
  const int visible = v.visibleRows();
  ASSERT_GT(visible, 2);
  ASSERT_LT(visible, 60);
  for (int i = 0; i < visible - 1; ++i) key(Qt::Key_Down);
  EXPECT_EQ(v.currentRow(), visible - 1);
  EXPECT_EQ(v.topRow(), 0);
  key(Qt::Key_Down);
  EXPECT_EQ(v.currentRow(), visible);
  EXPECT_EQ(v.topRow(), 1);
  // Page down scrolls a page; Up above the top makes that row the top.
  QTest::keyClick(view_.get(), Qt::Key_PageDown);
  EXPECT_EQ(v.topRow(), 1 + visible);
  key(Qt::Key_Up);
  EXPECT_EQ(v.currentRow(), visible - 1);
  EXPECT_EQ(v.topRow(), visible - 1);
}

TEST_F(SheetTest, DeleteAtTheCursorAsksOnlyWhenTheOptionSaysSo) {
  ASSERT_EQ(addActivity("A1", "one"), 0);
  ASSERT_EQ(addActivity("A2", "two"), 0);
  ASSERT_EQ(addActivity("A3", "three"), 0);
  ASSERT_EQ(addRelation("A1", "A2"), 0);
  CTableView& v = open();
  optionFlags() |= optflag::kConfirmDelete;
  answer_ = QMessageBox::No;
  EXPECT_FALSE(v.deleteAtCursor());
  EXPECT_EQ(messages_, std::vector<int>{20018});
  EXPECT_EQ(db().act.tb.liveCount, 3u);
  answer_ = QMessageBox::Yes;
  ASSERT_TRUE(v.onCommand(cmd::kDeleteAtCursor));
  EXPECT_EQ(messages_.size(), 2u);
  EXPECT_EQ(db().act.tb.liveCount, 2u);
  EXPECT_EQ(db().rel.tb.liveCount, 0u);  // the relation went with its activity
  EXPECT_EQ(v.rowCount(), 2);
  EXPECT_EQ(codeOfRecord(v.rows().record(0)), "A2");

  optionFlags() &= uint16_t(~optflag::kConfirmDelete);
  ASSERT_TRUE(v.deleteAtCursor());
  EXPECT_EQ(messages_.size(), 2u);  // not asked
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_EQ(v.rowCount(), 1);

  // On the new-record row F4 only drops what was typed.
  key(Qt::Key_Down);
  type("A9");
  ASSERT_TRUE(v.deleteAtCursor());
  EXPECT_FALSE(v.rowChanged());
  EXPECT_EQ(v.lineEditor()->text(), "");
  EXPECT_EQ(db().act.tb.liveCount, 1u);

  // Outside the data-input tool F4 does nothing.
  viewState().editTool = tool::kDataSelect;
  CommandState state;
  ASSERT_TRUE(v.updateCommand(cmd::kDeleteAtCursor, state));
  EXPECT_FALSE(state.enabled);
}

TEST_F(SheetTest, ResizeByDraggingAndUndoTwice) {
  ASSERT_EQ(addActivity("A1", "one"), 0);
  CTableView& v = open();
  const int before = v.columns()[0].width;
  // Drag the right edge of the first column 150 units to the right.
  const UnitMapper m = v.screenMapper();
  const QPoint edge = m.toDevice(before, -20).toPoint();
  const QPoint to = m.toDevice(before + 150, -20).toPoint();
  QTest::mousePress(v.viewport(), Qt::LeftButton, {}, edge);
  QTest::mouseMove(v.viewport(), to);
  QTest::mouseRelease(v.viewport(), Qt::LeftButton, {}, to);
  const int after = v.columns()[0].width;
  EXPECT_NEAR(after, before + 150, 8);  // a pixel's worth either way
  EXPECT_TRUE(doc_->isModified());
  ASSERT_TRUE(v.onCommand(cmd::kEditUndo));
  EXPECT_EQ(v.columns()[0].width, before);
  ASSERT_TRUE(v.onCommand(cmd::kEditUndo));
  EXPECT_EQ(v.columns()[0].width, after);

  // The header and the rows; the row-number column dragged to 0 is hidden.
  v.applyResize(DragKind::Row, -1, 80);
  EXPECT_EQ(v.format().rowHeight, 80);
  v.applyResize(DragKind::RowNumber, -1, -30);
  EXPECT_EQ(v.format().rowNumberWidth, 0);
  ASSERT_TRUE(v.undoLayout());
  EXPECT_EQ(v.format().rowNumberWidth, 84);
  EXPECT_EQ(v.format().rowHeight, 80);
  v.applyResize(DragKind::Header, -1, 0);
  EXPECT_EQ(v.format().headerHeight, 1);

  // Stored at once for the next time the sheet opens.
  SheetRecord r{};
  ASSERT_TRUE(readSheetRecord(&db().opt, ViewKind::Activities, &r));
  EXPECT_EQ(r.format.rowHeight, 80);
  EXPECT_EQ(r.format.headerHeight, 1);
  const auto stored =
      readColumns(&db().opt, ViewKind::Activities, r.format.columnCount, db().act.tb.fieldCount);
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(stored[0].width, after);
  // A column that does not exist is not resized, and the undo record stays.
  const int columns = int(v.columns().size());
  v.applyResize(DragKind::Column, columns, 500);
  ASSERT_TRUE(v.undoLayout());
  EXPECT_EQ(v.format().headerHeight, 52);
}

TEST_F(SheetTest, OneUndoStepForLayoutAndRecords) {
  ASSERT_EQ(addActivity("A1", "one"), 0);
  const int32_t slot = db().act.tb.current;
  CTableView& v = open();
  const auto title = [&] {
    std::string bytes(db().act.tb.recordSize, '\0');
    db().act.tb.current = slot;
    EXPECT_EQ(xGetRec(&db().act.tb, bytes.data()), 1);
    return std::string(reinterpret_cast<const ActRecord*>(bytes.data())->title);
  };
  v.applyResize(DragKind::Column, 0, 345);
  // A record edit through the document replaces the resize as the one step.
  std::string bytes(db().act.tb.recordSize, '\0');
  db().act.tb.current = slot;
  ASSERT_EQ(xGetRec(&db().act.tb, bytes.data()), 1);
  std::strcpy(reinterpret_cast<ActRecord*>(bytes.data())->title, "two");
  db().act.tb.current = -1;  // the edit names its record itself
  const EditResult edited = doc_->inputRecord(ViewKind::Activities, slot, bytes.data(), -1);
  ASSERT_TRUE(edited.ok);
  EXPECT_EQ(edited.slot, slot);
  EXPECT_EQ(title(), "two");

  ASSERT_TRUE(v.onCommand(cmd::kEditUndo));
  EXPECT_EQ(title(), "one");
  EXPECT_EQ(v.columns()[0].width, 345) << "the resize is no longer the step";
  ASSERT_TRUE(v.onCommand(cmd::kEditUndo));
  EXPECT_EQ(title(), "two") << "a second undo redoes";
  EXPECT_EQ(v.columns()[0].width, 345);
  EXPECT_EQ(db().act.tb.liveCount, 1u);

  // Once the record is deleted its step is gone: its slot may be reused.
  db().act.tb.current = slot;
  ASSERT_TRUE(doc_->deleteRecord(ViewKind::Activities).ok);
  EXPECT_FALSE(v.undoLayout());
}

TEST_F(SheetTest, FindACodeThatExistsAndOneThatDoesNot) {
  for (const char* c : {"A1", "A2", "A3"}) ASSERT_EQ(addActivity(c, "x"), 0);
  CTableView& v = open();
  kelvo_test::whenModal([](QDialog* d) {
    d->findChild<QLineEdit*>("code")->setText("A2");
    d->accept();
  });
  ASSERT_TRUE(v.onCommand(cmd::kFindCode));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(v.selectedRows(), std::set<int>{1});
  EXPECT_EQ(v.currentRow(), 1);
  EXPECT_EQ(viewState().editTool, tool::kDataSelect);

  kelvo_test::whenModal([](QDialog* d) {
    d->findChild<QLineEdit*>("code")->setText("B7");
    d->accept();
  });
  v.onCommand(cmd::kFindCode);
  EXPECT_EQ(messages_, std::vector<int>{20014});
  EXPECT_EQ(v.selectedRows(), std::set<int>{1});

  // Cancel does nothing.
  kelvo_test::whenModal([](QDialog* d) { d->reject(); });
  v.onCommand(cmd::kFindCode);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(SheetTest, FindASpecialActivity) {
  ASSERT_EQ(addActivity("A1", "x"), 0);
  ASSERT_EQ(addActivity("M1", "milestone", 0, 0, 1), 0);
  CTableView& v = open();
  kelvo_test::whenModal([](QDialog* d) {
    auto* dialog = static_cast<QDialog*>(d);
    dialog->findChild<QAbstractButton*>("class3")->click();
    dialog->accept();
  });
  ASSERT_TRUE(v.onCommand(cmd::kFindSpecial));
  EXPECT_EQ(v.selectedRows(), std::set<int>{1});
  // No start activities yet: nothing chosen, not found.
  kelvo_test::whenModal([](QDialog* d) { d->accept(); });
  v.onCommand(cmd::kFindSpecial);
  EXPECT_EQ(messages_, std::vector<int>{20014});
}

TEST_F(SheetTest, ValuesThatDoNotParseAreStoredAsTheEngineConvertsThem) {
  CTableView& v = open();
  type("A1");
  const int dur = column("소요일수");
  const int start = column("시작일");
  ASSERT_GE(dur, 0);
  ASSERT_GE(start, 0);
  while (v.currentColumn() < dur) key(Qt::Key_Tab);
  type("12abc");
  while (v.currentColumn() < start) key(Qt::Key_Tab);
  type("2026-13-01");
  key(Qt::Key_Tab);
  // What the engine makes of the same texts.
  std::string expect(db().act.tb.recordSize, '\0');
  xSetValue(db().act.tb.fields, ref_, "12abc", expect.data(), v.columns()[dur].field);
  xSetValue(db().act.tb.fields, ref_, "2026-13-01", expect.data(), v.columns()[start].field);
  const FieldDesc& fd = db().act.tb.fields[v.columns()[dur].field];
  const FieldDesc& fs = db().act.tb.fields[v.columns()[start].field];
  EXPECT_EQ(std::memcmp(v.editBuffer().constData() + fd.offset, expect.data() + fd.offset, 2), 0);
  EXPECT_EQ(std::memcmp(v.editBuffer().constData() + fs.offset, expect.data() + fs.offset, 2), 0);
  key(Qt::Key_Return);
  EXPECT_EQ(db().act.tb.liveCount, 1u);

  // Text CP949 cannot hold is refused as it is typed; so is text longer
  // than the field.
  key(Qt::Key_Up);
  while (v.currentColumn() > 0) key(Qt::Key_Left);
  QLineEdit* e = v.lineEditor();
  e->selectAll();
  e->insert(QStringLiteral("A\u0e01"));  // a Thai letter: not in CP949
  EXPECT_EQ(e->text(), "A1");
  e->selectAll();
  QTest::keyClicks(e, QString(30, 'Z'));
  EXPECT_EQ(e->text().size(), 20);
}

TEST_F(SheetTest, AReferenceFieldIsChosenFromItsList) {
  CTableView& v = open();
  type("A1");
  const int kind = column("작업종류");
  ASSERT_GE(kind, 0);
  while (v.currentColumn() < kind) key(Qt::Key_Tab);
  ASSERT_TRUE(v.listEditor()->isVisible());
  EXPECT_EQ(v.listEditor()->count(), 3);
  v.listEditor()->setCurrentIndex(1);
  key(Qt::Key_Return);
  ASSERT_EQ(db().act.tb.liveCount, 1u);
  std::string buffer(db().act.tb.recordSize, '\0');
  db().act.tb.current = int32_t(v.rows().record(0));
  xGetRec(&db().act.tb, buffer.data());
  ActRecord a;
  std::memcpy(&a, buffer.data(), sizeof a);
  EXPECT_EQ(a.type, 1);
}

TEST_F(SheetTest, ASummarySheetRefusesEditsAndDeletion) {
  // A summary file with one text field and one row.
  FieldDesc fields[1]{};
  std::strcpy(fields[0].name, "NAME");
  fields[0].width = 10;
  fields[0].type = XF_STRING;
  fields[0].offset = 0;
  int16_t current = 0;
  ASSERT_EQ(xCreateSumFile(&db(), &current, 1, 11, 1, fields), 1);
  char row[11] = "total";
  ASSERT_EQ(xAddRec(&db().summary.table.tb, row), 1);
  doc_->setOpenSummary(current);
  CTableView& v = open(ViewKind::Summary);
  ASSERT_EQ(v.rowCount(), 1);
  EXPECT_FALSE(v.lineEditor()->isVisible());
  EXPECT_FALSE(v.listEditor()->isVisible());
  optionFlags() &= uint16_t(~optflag::kConfirmDelete);
  EXPECT_FALSE(v.deleteAtCursor());
  v.onCommand(cmd::kDeleteAtCursor);
  EXPECT_EQ(db().summary.table.tb.liveCount, 1u);
  CommandState state;
  ASSERT_TRUE(v.updateCommand(cmd::kDeleteAtCursor, state));
  EXPECT_FALSE(state.enabled);
  QTest::keyClick(view_.get(), Qt::Key_Return);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(db().summary.table.tb.liveCount, 1u);
}

TEST_F(SheetTest, ASummarySheetFollowsTheRebuiltSummaryBetweenActivitiesAndResources) {
  FieldDesc fields[1]{};
  std::strcpy(fields[0].name, "NAME");
  fields[0].width = 10;
  fields[0].type = XF_STRING;
  int16_t number = 0;
  ASSERT_EQ(xCreateSumFile(&db(), &number, 1, 11, 1, fields), 1);
  char row[11] = "total";
  ASSERT_EQ(xAddRec(&db().summary.table.tb, row), 1);
  doc_->setOpenSummary(number);
  // Registers the open summary with a subject; both are grouped by the
  // other classification, which does not make a summary one of resources.
  const auto registerAs = [&](uint32_t subject) {
    SummaryRegistration reg;
    reg.number = number;
    reg.flags = subject;
    reg.composition = {21};
    auto bytes = encodeSummaryRegistration(reg);
    ASSERT_GT(xOption(&db().opt, XOPT_WRITE, XQD_OPT_SUMMARY + number, bytes.data(),
                      uint32_t(bytes.size())),
              0);
  };
  registerAs(0);  // "작업 집계"
  CTableView& v = open(ViewKind::Summary);
  ASSERT_EQ(v.rowCount(), 1);
  v.applyResize(DragKind::Column, 0, 345);

  // Rebuilt as a resource summary: the sheet becomes kind 8 with that kind's
  // own (default) layout, and hears the broadcasts of kind 8 only.
  registerAs(kSummaryOfResources);
  doc_->updateAllViews(kAllViews, hint::kSummaryRebuilt);
  EXPECT_EQ(v.viewKind(), ViewKind::ResourceSummary);
  EXPECT_EQ(v.objectName(), "sheet8");
  EXPECT_TRUE(v.viewFlags() & sheetflag::kSummary);
  ASSERT_FALSE(v.columns().empty());
  EXPECT_NE(v.columns()[0].width, 345);
  SheetRecord stored{};
  EXPECT_TRUE(readSheetRecord(&db().opt, ViewKind::ResourceSummary, &stored));
  ASSERT_EQ(v.rowCount(), 1);
  char second[11] = "more";
  ASSERT_EQ(xAddRec(&db().summary.table.tb, second), 1);
  doc_->updateAllViews(uint64_t{1} << 7, hint::kRefresh);
  EXPECT_EQ(v.rowCount(), 1);
  doc_->updateAllViews(uint64_t{1} << 8, hint::kRefresh);
  EXPECT_EQ(v.rowCount(), 2);

  // Back to an activity summary: kind 7 with the layout it had.
  registerAs(0);
  doc_->updateAllViews(uint64_t{1} << 8, hint::kSummaryRebuilt);
  EXPECT_EQ(v.viewKind(), ViewKind::Summary);
  ASSERT_FALSE(v.columns().empty());
  EXPECT_EQ(v.columns()[0].width, 345);
  EXPECT_EQ(v.rowCount(), 2);
  // Still read-only.
  EXPECT_FALSE(v.lineEditor()->isVisible());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SheetTest, DrawsHeaderRowNumbersAndTheNewRecordRow) {
  ASSERT_EQ(addActivity("A1", "one"), 0);
  ASSERT_EQ(addActivity("A2", "two"), 0);
  viewState().editTool = tool::kDataSelect;
  CTableView& v = open(ViewKind::Activities, {700, 300});
  viewState().editTool = tool::kDataSelect;
  v.onCommand(cmd::kToolFirst + tool::kDataSelect);
  QImage image(v.viewport()->size(), QImage::Format_RGB32);
  v.viewport()->render(&image);
  if (qEnvironmentVariableIsSet("GRID_PNG")) image.save(qEnvironmentVariable("GRID_PNG"));
  const UnitMapper m = v.screenMapper();
  // The header strip in its background colour, above the body.
  const QPoint header = m.toDevice(columnLeft(v.geometry(), 1) + 5, 50).toPoint();
  EXPECT_EQ(image.pixelColor(header), QColor(0xC0, 0xFF, 0xFF));
  // Rows 1 and 2, then ">" for the new-record row: the label cells differ
  // from the blank row below the new-record row.
  EXPECT_EQ(v.rowLabel(2), ">");
  const auto inked = [&](int row) {
    const QRect cell =
        m.toDevice(-v.format().rowNumberWidth + 2, -row * 52 - 2, -2, -row * 52 - 50).toRect();
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x)
        if (image.pixelColor(x, y) != Qt::white) return true;
    return false;
  };
  EXPECT_TRUE(inked(0));
  EXPECT_TRUE(inked(2));
  EXPECT_FALSE(inked(3));
  // A selected row's label is drawn inverted.
  v.selectOnly(1);
  v.viewport()->render(&image);
  EXPECT_EQ(image.pixelColor(m.toDevice(-v.format().rowNumberWidth + 3, -52 - 3).toPoint()),
            QColor(Qt::black));
}

TEST_F(SheetTest, LinkSelectedRowsByRelations) {
  for (const char* c : {"A1", "A2", "A3", "A4"}) ASSERT_EQ(addActivity(c, "x"), 0);
  ASSERT_EQ(addRelation("A2", "A3"), 0);  // FS already
  CTableView& v = open();
  viewState().editTool = tool::kDataSelect;
  v.onCommand(cmd::kToolFirst + tool::kDataSelect);
  // Ctrl+clicks on rows 1, 2 and 3 (A2, A3, A4) in the name column.
  const UnitMapper m = v.screenMapper();
  const int x = columnLeft(v.geometry(), 1) + 20;
  for (int row : {1, 2, 3})
    QTest::mouseClick(v.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m.toDevice(x, -row * 52 - 26).toPoint());
  ASSERT_EQ(v.selectedRows(), (std::set<int>{1, 2, 3}));
  CommandState state;
  ASSERT_TRUE(v.updateCommand(cmd::kLinkByRelations, state));
  EXPECT_TRUE(state.enabled);

  kelvo_test::whenModal([](QDialog* d) {
    d->findChild<QAbstractButton*>("kind2")->click();  // SS
    d->accept();
  });
  ASSERT_TRUE(v.onCommand(cmd::kLinkByRelations));
  EXPECT_TRUE(messages_.empty());
  // A3 -> A4 is new, A2 -> A3 changed kind: two relations, both SS.
  ASSERT_EQ(db().rel.tb.liveCount, 2u);
  std::string buffer(db().rel.tb.recordSize, '\0');
  db().rel.tb.current = -1;
  while (xMoveNext(&db().rel.tb)) {
    xGetRec(&db().rel.tb, buffer.data());
    RelRecord r;
    std::memcpy(&r, buffer.data(), sizeof r);
    EXPECT_EQ(r.kind, 2) << r.pred << "->" << r.succ;
    EXPECT_EQ(r.lag, 0);
  }
  EXPECT_NE(findCodeRecord(&db(), ViewKind::Relations, "A3", "A4"), XJOR_NONE);
  EXPECT_TRUE(doc_->isModified());

  // One selected row links nothing and the command is off.
  v.selectOnly(3);
  ASSERT_TRUE(v.updateCommand(cmd::kLinkByRelations, state));
  EXPECT_FALSE(state.enabled);
  EXPECT_FALSE(v.linkSelected(0));
  EXPECT_EQ(db().rel.tb.liveCount, 2u);
}

TEST_F(SheetTest, NarrowColumnsCutTheirTextAndHighHeadersWrapTitles) {
  ASSERT_EQ(addActivity("A1", cp949("가나다라마바사아자차카타파하").c_str()), 0);
  const TableHandle& tb = db().act.tb;
  const int16_t name = int16_t(xGetFldOrdinal(cp949("작업명").c_str(), tb.fields, tb.fieldCount));
  const int16_t sub = int16_t(xGetFldOrdinal(cp949("하도급").c_str(), tb.fields, tb.fieldCount));
  SheetRecord r{};
  r.format = defaultGridFormat(200);  // more than (5 + 32) x 2: titles wrap
  r.format.columnCount = 2;
  writeSheetRecord(&db().opt, ViewKind::Activities, r);
  std::vector<ColumnRecord> cols = {{name, 60, kAlignLeft, ""}, {sub, 400, kAlignLeft, ""}};
  std::strcpy(cols[0].title, cp949("작업 이름").c_str());  // wider than the column
  writeColumns(&db().opt, ViewKind::Activities, cols);
  viewState().editTool = tool::kDataSelect;
  CTableView& v = open(ViewKind::Activities, {700, 300});
  viewState().editTool = tool::kDataSelect;
  v.onCommand(cmd::kToolFirst + tool::kDataSelect);
  QImage image(v.viewport()->size(), QImage::Format_RGB32);
  v.viewport()->render(&image);
  if (qEnvironmentVariableIsSet("GRID_PNG")) image.save(qEnvironmentVariable("GRID_PNG"));
  const UnitMapper m = v.screenMapper();
  const auto ink = [&](double left, double top, double right, double bottom, QColor ground) {
    const QRect box = m.toDevice(left, top, right, bottom).toRect().adjusted(1, 1, -1, -1);
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        if (image.pixelColor(x, y) != ground) return true;
    return false;
  };
  const QColor header(0xC0, 0xFF, 0xFF);
  // The long name stops at its column's edge: the empty column beside it
  // stays blank.
  EXPECT_TRUE(ink(0, 0, 60, -52, Qt::white));
  EXPECT_FALSE(ink(62, 0, 460, -52, Qt::white));
  // "작업 이름" is wider than 6 mm: it breaks at the blank onto a second
  // line in the high header (lines start 10 units below the header's top).
  EXPECT_TRUE(ink(0, 200 - 10, 60, 200 - 45, header));
  EXPECT_TRUE(ink(0, 200 - 50, 60, 200 - 90, header));
}

TEST_F(SheetTest, RowTypedBeforeARefreshIsEnteredFirst) {
  CTableView& v = open();
  type("A7");
  doc_->updateAllViews(kAllViews, hint::kRefresh);
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_EQ(v.rowCount(), 1);
  // A summary rebuild does not touch an activity sheet: the typing stays.
  key(Qt::Key_Down);
  type("A8");
  doc_->updateAllViews(kAllViews, hint::kSummaryRebuilt);
  EXPECT_EQ(db().act.tb.liveCount, 1u);
  EXPECT_EQ(v.lineEditor()->text(), "A8");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SheetTest, EachSheetEntersItsOwnKindOfRecord) {
  ASSERT_EQ(addActivity("A1", "one"), 0);
  ASSERT_EQ(addActivity("A2", "two"), 0);
  // Relations: an unknown successor is refused with the store's message,
  // then the mended row goes in with the kind chosen from its list.
  {
    CTableView& v = open(ViewKind::Relations);
    ASSERT_EQ(v.currentColumn(), column("선행작업코드"));
    type("A1");
    key(Qt::Key_Tab);
    type("ZZ");
    key(Qt::Key_Return);
    EXPECT_EQ(messages_, std::vector<int>{XQD_MSG_NO_SUCCESSOR});
    ASSERT_EQ(v.currentColumn(), column("후행작업코드"));
    type("A2");
    while (!v.listEditor()->isVisible() && v.currentColumn() < int(v.columns().size()) - 1)
      key(Qt::Key_Tab);
    ASSERT_TRUE(v.listEditor()->isVisible());
    EXPECT_EQ(v.listEditor()->itemText(3), "SF");
    v.listEditor()->setCurrentIndex(3);
    key(Qt::Key_Return);
    ASSERT_EQ(db().rel.tb.liveCount, 1u);
    const uint32_t r = findCodeRecord(&db(), ViewKind::Relations, "A1", "A2");
    ASSERT_NE(r, XJOR_NONE);
    std::string buffer(db().rel.tb.recordSize, '\0');
    db().rel.tb.current = int32_t(r);
    xGetRec(&db().rel.tb, buffer.data());
    RelRecord rel;
    std::memcpy(&rel, buffer.data(), sizeof rel);
    EXPECT_EQ(rel.kind, 3);
    view_.reset();
  }
  // Work types: a code that fits no level is refused (levels 2 and 2).
  {
    messages_.clear();
    CTableView& v = open(ViewKind::WorkTypeSheet);
    type("123");
    key(Qt::Key_Return);
    EXPECT_EQ(messages_, std::vector<int>{XQD_MSG_LEVEL_LENGTH});
    type("12");
    key(Qt::Key_Return);
    EXPECT_EQ(v.rowCount(), 1);
    EXPECT_NE(findCodeRecord(&db(), ViewKind::WorkTypeSheet, "12"), XJOR_NONE);
    view_.reset();
  }
  // Resources.
  {
    messages_.clear();
    CTableView& v = open(ViewKind::Resources);
    type("R1");
    key(Qt::Key_Return);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(v.rowCount(), 1);
    EXPECT_NE(findCodeRecord(&db(), ViewKind::Resources, "R1"), XJOR_NONE);
  }
}

// "자료내용 수정" (F8) and a double-click open the record's dialog on the
// current row; what was typed in the row goes in first, and the row shows
// what the dialog stored.
TEST_F(SheetTest, ModifyDataOpensTheRecordsDialog) {
  for (const char* c : {"A1", "A2"}) ASSERT_EQ(addActivity(c, "x"), 0);
  CTableView& v = open();
  key(Qt::Key_Down);
  key(Qt::Key_Tab);
  ASSERT_EQ(v.currentColumn(), column("작업명"));
  type("typed");
  kelvo_test::whenModal([](QDialog* d) {
    auto* title = d->findChild<QLineEdit*>("c10101");
    EXPECT_EQ(title->text(), QStringLiteral("typed"));
    title->setText(QStringLiteral("from the dialog"));
    d->accept();
  });
  ASSERT_TRUE(v.onCommand(cmd::kModifyData));
  EXPECT_TRUE(messages_.empty());
  v.rowLabel(1);
  EXPECT_EQ(v.cellText(v.columns()[column("작업명")].field), QStringLiteral("from the dialog"));

  ASSERT_EQ(addRelation("A1", "A2"), 0);
  CTableView& rel = open(ViewKind::Relations);
  ASSERT_EQ(rel.rowCount(), 1);
  viewState().editTool = tool::kDataSelect;
  kelvo_test::whenModal([](QDialog* d) { d->findChild<QPushButton*>("delete")->click(); });
  const QPoint firstRow =
      rel.screenMapper().toDevice(columnLeft(rel.geometry(), 1) + 20, -26).toPoint();
  QTest::mouseDClick(rel.viewport(), Qt::LeftButton, {}, firstRow);
  EXPECT_EQ(rel.rowCount(), 0);
}
