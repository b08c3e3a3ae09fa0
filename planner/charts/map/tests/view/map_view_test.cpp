// The map of the sample project on screen and on paper: each mode drawn,
// a block edit over selected cells against the same edits in the sheet,
// relations made on the map, and pages of whole cells with headings.
#include "kelvo/map_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "kelvo/drawing_objects.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/map_edit.h"
#include "kelvo/map_layout.h"
#include "kelvo/map_options_dialog.h"
#include "kelvo/map_window.h"
#include "kelvo/object_layer.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "main_frame.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;

namespace {

class MapViewTest : public kelvo_test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    const QString copy = kelvo_test::copySampleProject(kelvo_test::binDir(), dir_.path());
    ASSERT_FALSE(copy.isEmpty());
    ASSERT_EQ(xOpenRef(&ref_, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<CPlanDoc>(dir_.path() + '/', ref_);
    ASSERT_TRUE(doc_->openProject(copy));
    viewState() = ViewState{};
    viewState().editTool = tool::kDataSelect;
  }
  void TearDown() override {
    view_.reset();
    doc_.reset();
    xCloseFile(&ref_);
    viewState() = ViewState{};
    setMapDialogs({});
    ShellTest::TearDown();
  }

  CMapView* open(MapMode mode = MapMode::Activities, int w = 900, int h = 600) {
    view_.reset(makeMapWindow(doc_.get(), mode, nullptr));
    view_->resize(w, h);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->show();
    return view_.get();
  }

  QImage grab(const char* shot) {
    QImage image = view_->viewport()->grab().toImage();
    const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
    if (!folder.isEmpty() && QDir(folder).exists()) image.save(folder + '/' + shot);
    return image;
  }
  // Device point of the middle of a cell.
  QPoint cellMiddle(int32_t row, int32_t column) {
    const MapSettings& s = view_->settings();
    return view_->screenMapper()
        .toDevice(column * s.cellWidth + s.cellWidth / 2, -row * s.cellHeight - s.cellHeight / 2)
        .toPoint();
  }
  // The field that lies at `offset` of the table's records.
  int field(TableHandle* tb, size_t offset) {
    for (int i = 0; i < tb->fieldCount; ++i)
      if (size_t(tb->fields[i].offset) == offset) return i;
    return -1;
  }
  std::vector<char> record(TableHandle* tb, int32_t slot) {
    std::vector<char> buf(tb->recordSize + 1u);
    tb->current = slot;
    xGetRec(tb, buf.data());
    return buf;
  }
  ActRecord activity(int32_t slot) {
    ActRecord a;
    std::memcpy(&a, record(&doc_->db().act.tb, slot).data(), sizeof a);
    return a;
  }
  // The cells of the first column that holds at least n activities.
  std::vector<MapCell> columnWith(size_t n) {
    std::map<int16_t, std::vector<MapCell>> byColumn;
    for (const MapCell& c : view_->layout().cells) byColumn[c.column].push_back(c);
    for (auto& [column, cells] : byColumn)
      if (cells.size() >= n) return cells;
    return {};
  }
  int32_t relationCount() { return int32_t(doc_->db().rel.tb.liveCount); }
  int32_t relationSlot(const char* pred, const char* succ) {
    TableHandle* tb = &doc_->db().rel.tb;
    std::vector<char> buf(tb->recordSize + 1u);
    tb->current = -1;
    while (xMoveNext(tb)) {
      xGetRec(tb, buf.data());
      RelRecord r;
      std::memcpy(&r, buf.data(), sizeof r);
      if (std::strcmp(r.pred, pred) == 0 && std::strcmp(r.succ, succ) == 0) return tb->current;
    }
    return -1;
  }

  int32_t ref_ = -1;
  std::unique_ptr<CPlanDoc> doc_;
  std::unique_ptr<CMapView> view_;
};

TEST_F(MapViewTest, EachModeDrawsItsCellsAndHeadings) {
  CMapView* map = open();
  ASSERT_EQ(map->layout().cells.size(), 63u);
  // Critical activities on colour 1, the codes in the cells.
  MapSettings s = map->settings();
  s.colourChoice = 1;
  s.cellWidth = 120;
  map->setSettings(s);
  map->setDisplayedItem(field(&doc_->db().act.tb, offsetof(ActRecord, duration)));
  QImage image = grab("issue28_map_activities.png");
  const MapCell first = map->layout().cells.front();
  const ActRecord a = activity(first.record);
  const QPoint at = cellMiddle(first.row, first.column) + QPoint(-20, -6);
  const QColor fill = xjor::colorFromRef(s.cellFill[a.totalFloat < 1 ? 1 : 0]);
  EXPECT_EQ(image.pixelColor(at), fill);
  // Headings on their background left of and above the cells.
  const QColor heading = xjor::colorFromRef(s.headingFill);
  EXPECT_EQ(image.pixelColor(3, 3), heading);
  const int32_t rowHead = map->rowHeadingWidth();
  EXPECT_EQ(rowHead, 52 + 52 + 180);
  EXPECT_EQ(map->columnHeadingHeight(), 52 + 180);

  // Resource mode: crews on the crossings of work types and resources.
  map->setMode(MapMode::Resources);
  map->setDisplayedItem(field(&doc_->db().crw.tb, offsetof(CrewRecord, unitQuantity)));
  image = grab("issue28_map_resources.png");
  EXPECT_EQ(map->layout().cells.size(), doc_->db().crw.tb.liveCount);
  const MapCell crew = map->layout().cells.front();
  EXPECT_EQ(image.pixelColor(cellMiddle(crew.row, crew.column) + QPoint(-20, -6)),
            xjor::colorFromRef(s.cellFill[0]));
  // The position text counts cells from 1.
  EXPECT_EQ(map->positionText(130, -110), QStringLiteral("130(2) - 110(3)"));
  EXPECT_EQ(map->positionText(-5, 10), QStringLiteral("-5(0) - -10(0)"));
}

TEST_F(MapViewTest, BlockEditOfDurationEqualsTheSameEditsInTheSheet) {
  CMapView* map = open();
  const std::vector<MapCell> column = columnWith(3);
  ASSERT_GE(column.size(), 3u);
  map->selectBlock(column.front().row, column.front().column, column.back().row,
                   column.back().column);
  ASSERT_EQ(map->selection().size(), column.size());
  TableHandle* act = &doc_->db().act.tb;
  const int du = field(act, offsetof(ActRecord, duration));
  map->setDisplayedItem(du);
  std::vector<std::vector<char>> before, onMap, inSheet;
  for (const MapCell& c : map->selection()) before.push_back(record(act, c.record));

  ASSERT_GE(du, 0);
  ASSERT_EQ(map->displayedItem(), du);
  EXPECT_EQ(map->editSelectedItem("9"), int(column.size()));
  EXPECT_TRUE(doc_->isModified());
  for (const MapCell& c : map->selection()) {
    onMap.push_back(record(act, c.record));
    EXPECT_EQ(activity(c.record).duration, 9);
  }
  // One undo step puts every record back.
  ASSERT_TRUE(doc_->undo().undo(map));
  for (size_t i = 0; i < column.size(); ++i)
    EXPECT_EQ(record(act, map->selection()[i].record), before[i]) << i;

  // The sheet stores a typed cell as the text parsed into the field, one
  // record at a time.
  for (const MapCell& c : map->selection()) {
    std::vector<char> r = record(act, c.record);
    xSetValue(act->fields, doc_->db().space.refHandle, "9", r.data(), du);
    ASSERT_TRUE(doc_->inputRecord(ViewKind::Activities, c.record, r.data(), 0));
    inSheet.push_back(record(act, c.record));
  }
  EXPECT_EQ(onMap, inSheet);
}

TEST_F(MapViewTest, RefusedAndReadOnlyItems) {
  CMapView* map = open();
  TableHandle* act = &doc_->db().act.tb;
  // Both cells of a column given the first one's work type: the first
  // keeps its cell, the second would share it and is refused (21025),
  // which stops the edit; the one stored stays.
  const std::vector<MapCell> column = columnWith(2);
  ASSERT_GE(column.size(), 2u);
  map->selectBlock(column[0].row, column[0].column, column[1].row, column[1].column);
  map->setDisplayedItem(field(act, offsetof(ActRecord, wbsCode)));
  const MapCode target = map->layout().rows.codes[size_t(column[0].row)];
  const ActRecord second = activity(column[1].record);
  const size_t cells = map->layout().cells.size();
  messages_.clear();
  EXPECT_EQ(map->editSelectedItem(target.text), 1);
  EXPECT_EQ(messages_, (std::vector<int>{21025}));
  EXPECT_STREQ(activity(column[1].record).wbsCode, second.wbsCode);
  EXPECT_EQ(map->layout().cells.size(), cells);
  FieldDesc f{};
  f.flags = XF_READONLY;
  EXPECT_EQ(itemEditKind(MapMode::Activities, f), ItemEdit::ReadOnly);
  f.flags = 0;
  f.offset = offsetof(ActRecord, totalFloat);
  EXPECT_EQ(itemEditKind(MapMode::Activities, f), ItemEdit::Computed);
}

TEST_F(MapViewTest, RelationsMadeOnTheMapAreRelationRecords) {
  CMapView* map = open(MapMode::Activities, 1400, 900);
  // Three cells of one column and one of another: the three are linked top
  // to bottom, the fourth is left alone.
  std::vector<MapCell> column = columnWith(3);
  ASSERT_GE(column.size(), 3u);
  column.resize(3);
  const MapCell* other = nullptr;
  for (const MapCell& c : map->layout().cells)
    if (c.column != column[0].column) other = &c;
  ASSERT_NE(other, nullptr);
  std::vector<MapCell> chosen = column;
  chosen.push_back(*other);
  const auto code = [&](const MapCell& c) { return std::string(activity(c.record).code); };
  // Clear what the sample has between them.
  for (const MapCell& c : chosen) deleteRelationsFrom(*doc_, {c.record});
  EXPECT_EQ(linkSelectedCells(*doc_, chosen, 2), 0);
  for (int i = 0; i < 2; ++i) {
    const int32_t slot =
        relationSlot(code(column[size_t(i)]).c_str(), code(column[size_t(i + 1)]).c_str());
    ASSERT_GE(slot, 0) << i;
    RelRecord r;
    std::memcpy(&r, record(&doc_->db().rel.tb, slot).data(), sizeof r);
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.lag, 0);
  }
  EXPECT_LT(relationSlot(code(column[2]).c_str(), code(*other).c_str()), 0);
  // Linking again with another kind changes the kind, adds nothing.
  const int32_t count = relationCount();
  EXPECT_EQ(linkSelectedCells(*doc_, chosen, 0), 0);
  EXPECT_EQ(relationCount(), count);

  // A drag with "자료 입력" from one filled cell to another opens
  // "선후행 관계" for the pair; OK stores the relation.
  MapDialogs dialogs;
  dialogs.connect = [](QWidget* parent, CPlanDoc& doc, const QByteArray& p, const QByteArray& s) {
    return editRelationBetween(parent, doc, p, s) == RelationOutcome::Stored;
  };
  setMapDialogs(dialogs);
  map->setDisplayedItem(field(&doc_->db().act.tb, offsetof(ActRecord, duration)));
  viewState().editTool = tool::kDataInput;
  map->activate();
  kelvo_test::whenModal([](QDialog* d) { d->accept(); });
  QTest::mousePress(map->viewport(), Qt::LeftButton, {},
                    cellMiddle(column[2].row, column[2].column));
  QTest::mouseMove(map->viewport(), cellMiddle(other->row, other->column));
  QTest::mouseRelease(map->viewport(), Qt::LeftButton, {}, cellMiddle(other->row, other->column));
  EXPECT_GE(relationSlot(code(column[2]).c_str(), code(*other).c_str()), 0);
  grab("issue28_map_relations.png");
}

TEST_F(MapViewTest, PagesOfWholeCellsRepeatTheHeadings) {
  CMapView* map = open();
  MapSettings s = map->settings();
  s.cellWidth = 150;
  s.cellHeight = 90;
  map->setSettings(s);
  map->setDisplayedItem(field(&doc_->db().act.tb, offsetof(ActRecord, code)));
  const QString pdf = dir_.path() + "/map.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageSize(QPageSize(QPageSize::A4));
  ASSERT_TRUE(map->printTo(&printer));
  QProcess info;
  info.start("pdfinfo", {pdf});
  info.waitForFinished(30000);
  const QString out = QString::fromUtf8(info.readAllStandardOutput());
  const int pages = QRegularExpression("Pages:\\s+(\\d+)").match(out).captured(1).toInt();
  EXPECT_GT(pages, 1);
  // Every page shows the first work-type group's letter in its headings
  // or a facility code in its column headings.
  for (int page = 1; page <= pages; ++page) {
    QProcess text;
    text.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    text.waitForFinished(30000);
    const QString t = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(t.contains(QString::fromLatin1(map->layout().columns.codes[0].text, 1))) << page;
  }
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists())
    QProcess::execute(
        "pdftoppm", {"-png", "-r", "40", "-f", "1", "-l", "2", pdf, folder + "/issue28_map_print"});
}

TEST_F(MapViewTest, NameColumnShowsTheHeadingItemOnScreenAndPaper) {
  CMapView* map = open();
  // "선택 사항" offers the work-type fields; the name is chosen.
  MapDialogs dialogs;
  dialogs.options = [](QWidget*, const QStringList& items, MapSettings* settings) {
    settings->nameWidth = 400;
    settings->headingItem = int16_t(items.indexOf(QStringLiteral("공종명")));
    return true;
  };
  setMapDialogs(dialogs);
  ASSERT_TRUE(map->onCommand(cmd::kOptions));
  map->initialUpdate();
  MapSettings s = map->settings();
  ASSERT_EQ(s.headingItem, field(&doc_->db().wbs.tb, offsetof(WbsRecord, title)));
  const MapCode& code = map->layout().rows.codes[0];
  const int32_t slot = workTypeRecord(doc_->db(), code);
  ASSERT_GE(slot, 0);
  WbsRecord wbs;
  std::memcpy(&wbs, record(&doc_->db().wbs.tb, slot).data(), sizeof wbs);
  const QString name = xjor::fromCp949(wbs.title, int(strnlen(wbs.title, sizeof wbs.title)));
  ASSERT_FALSE(name.isEmpty());

  // On screen: the first row's name box lies on the heading background
  // and carries dark text pixels.
  const QImage image = grab("issue28_map_names.png");
  const QRect box = map->screenMapper().toDevice(-s.nameWidth, 0, 0, -s.cellHeight).toRect();
  EXPECT_EQ(image.pixelColor(box.right() - 3, box.bottom() - 3), xjor::colorFromRef(s.headingFill));
  const auto ink = [&box](const QImage& shot) {
    int dark = 0;
    for (int y = box.top() + 2; y < box.bottom() - 1; ++y)
      for (int x = box.left() + 2; x < box.right() - 1; ++x) dark += qGray(shot.pixel(x, y)) < 128;
    return dark;
  };
  EXPECT_GT(ink(image), 10);
  // The heading-name width is part of the row headings.
  EXPECT_EQ(map->rowHeadingWidth(), 52 + 52 + 180 + 400);

  // On paper: the first page names the first row.
  const QString pdf = dir_.path() + "/names.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(map->printTo(&printer));
  QProcess text;
  text.start("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
  text.waitForFinished(30000);
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists())
    QProcess::execute("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", pdf,
                                   folder + "/issue28_map_names_print"});
  // pdftotext gives the font's blank as a control character.
  const auto squeezed = [](QString t) { return t.remove(QRegularExpression("[\\s\\p{Cc}]")); };
  const QString page = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(squeezed(page).contains(squeezed(name))) << name.toStdString();

  // An item the classification table does not have leaves the boxes empty.
  s.headingItem = 99;
  map->setSettings(s);
  EXPECT_EQ(ink(map->viewport()->grab().toImage()), 0);
}

TEST_F(MapViewTest, FitToPaperKeepsObjectsOnTheirCells) {
  CMapView* map = open();
  map->activate();
  const MapSettings before = map->settings();
  ObjectRecord rect;
  rect.type = shape::kRectangle;
  rect.anchor = ViewPosition::time(2, 26, 1, -26);
  rect.width = 100;
  rect.height = -60;
  ASSERT_TRUE(map->objects().putObject({rect}, -1));
  ASSERT_EQ(map->objects().selection().size(), 1u);
  const uint32_t index = uint32_t(map->objects().selection()[0].record);
  // Two pages across and one down.
  map->applyFitToPaper(2, 1, 1000, 1500);
  const MapSettings& after = map->settings();
  ASSERT_NE(after.cellWidth, before.cellWidth);
  const double fx = double(after.cellWidth) / before.cellWidth;
  const double fy = double(after.cellHeight) / before.cellHeight;
  const LogicalRect r = map->objects().rectOf(index);
  EXPECT_EQ(r.left, 2 * after.cellWidth + int32_t(26 * fx));
  EXPECT_EQ(r.top, -1 * after.cellHeight - int32_t(26 * fy));
  EXPECT_EQ(r.width(), int32_t(100 * fx));
  EXPECT_EQ(r.height(), int32_t(60 * fy));
}

TEST_F(MapViewTest, OptionsDialogEditsTheSettings) {
  MapSettings s = defaultMapSettings();
  MapOptionsDialog dialog(s, {QStringLiteral("공종코드"), QStringLiteral("공종명")});
  auto boxes = dialog.findChildren<QSpinBox*>();
  ASSERT_EQ(boxes.size(), 3);
  boxes[1]->setValue(80);
  auto checks = dialog.findChildren<QCheckBox*>();
  checks[1]->setChecked(false);
  dialog.findChild<QComboBox*>("colouring")->setCurrentIndex(4);
  auto* heading = dialog.findChild<QComboBox*>("headingItem");
  EXPECT_EQ(heading->currentText(), QStringLiteral("공종코드"));
  heading->setCurrentIndex(1);
  dialog.findChild<QLineEdit*>("colourCode0")->setText("U1");
  const MapSettings out = dialog.settings();
  EXPECT_EQ(out.cellWidth, 80);
  EXPECT_EQ(out.flags, 11 & ~mapflag::kRelations);
  EXPECT_EQ(out.colourChoice, 4);
  EXPECT_EQ(out.headingItem, 1);
  EXPECT_STREQ(out.colourCode[0], "U1");
  EXPECT_EQ(std::memcmp(&out.headingFont, &s.headingFont, sizeof s.headingFont), 0);
}

}  // namespace

namespace {

// Presses at one logical point of the map and lets go at another, with the
// keys given held.
void dragOn(CMapView* map, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
            Qt::KeyboardModifiers keys = {}) {
  const QPoint from = map->screenMapper().toDevice(x0, y0).toPoint();
  const QPoint to = map->screenMapper().toDevice(x1, y1).toPoint();
  QTest::mousePress(map->viewport(), Qt::LeftButton, keys, from);
  QTest::mouseMove(map->viewport(), to);
  QTest::mouseRelease(map->viewport(), Qt::LeftButton, keys, to);
}

}  // namespace

TEST_F(MapViewTest, SeparatorDragsResizeAndUndoAsOneStep) {
  CMapView* map = open(MapMode::Activities, 900, 600);
  map->activate();
  MapSettings s = map->settings();
  s.nameWidth = 100;
  map->setSettings(s);
  map->initialUpdate();
  const int32_t w = s.cellWidth, h = s.cellHeight;
  const int32_t rowHead = map->rowHeadingWidth(), colHead = map->columnHeadingHeight();
  ASSERT_GE(map->rowHeadingSizes().size(), 1u);
  ASSERT_GE(map->columnHeadingSizes().size(), 1u);
  const int32_t level0 = map->rowHeadingSizes()[0], colLevel0 = map->columnHeadingSizes()[0];
  const int32_t rowEdge0 = -rowHead + level0, colEdge0 = colHead - colLevel0;
  // Each separator where it lies (model units, nothing scrolled), where it
  // is let go, and the size it then has.
  struct Case {
    const char* what;
    int32_t x0, y0, x1, y1;
    std::function<int32_t()> size;
    int32_t before, after;
  };
  const std::vector<Case> cases = {
      {"cell width", w, colHead / 2, w + 30, colHead / 2, [&] { return map->settings().cellWidth; },
       w, w + 30},
      {"cell height", -rowHead / 2, -h, -rowHead / 2, -h - 20,
       [&] { return map->settings().cellHeight; }, h, h + 20},
      {"row heading", rowEdge0, -h / 2, rowEdge0 + 25, -h / 2,
       [&] { return map->rowHeadingSizes()[0]; }, level0, level0 + 25},
      {"column heading", w / 2, colEdge0, w / 2, colEdge0 - 15,
       [&] { return map->columnHeadingSizes()[0]; }, colLevel0, colLevel0 + 15},
      {"name column", 0, -h / 2, 40, -h / 2, [&] { return int32_t(map->settings().nameWidth); },
       100, 140},
  };
  for (const Case& c : cases) {
    doc_->setModified(false);
    dragOn(map, c.x0, c.y0, c.x1, c.y1);
    EXPECT_NEAR(c.size(), c.after, 3) << c.what;
    EXPECT_TRUE(doc_->isModified()) << c.what;
    // Undo puts every size back; undo again redoes the drag.
    ASSERT_TRUE(doc_->undo().undo(map)) << c.what;
    EXPECT_EQ(c.size(), c.before) << c.what;
    ASSERT_TRUE(doc_->undo().undo(map)) << c.what;
    EXPECT_NEAR(c.size(), c.after, 3) << c.what;
    ASSERT_TRUE(doc_->undo().undo(map));
  }
  grab("issue28_map_separators.png");
}

TEST_F(MapViewTest, CtrlDragCopiesTheSelectionsRelations) {
  CMapView* map = open(MapMode::Activities, 1400, 900);
  // Two filled cells in one column whose rows are filled in another column.
  // A copy: the map builds its cells anew as relations are stored.
  const std::vector<MapCell> cells = map->layout().cells;
  const MapCell *a = nullptr, *b = nullptr, *ta = nullptr, *tb = nullptr;
  for (size_t i = 0; i < cells.size() && !tb; ++i)
    for (size_t j = 0; j < cells.size() && !tb; ++j) {
      if (cells[j].column != cells[i].column || cells[j].row <= cells[i].row) continue;
      for (const MapCell& t : cells) {
        if (t.column == cells[i].column || t.row != cells[i].row) continue;
        if (const MapCell* u = findCell(cells, cells[j].row, t.column)) {
          a = &cells[i], b = &cells[j], ta = &t, tb = u;
          break;
        }
      }
    }
  ASSERT_NE(tb, nullptr);
  const auto code = [&](const MapCell& c) { return std::string(activity(c.record).code); };
  // Only one relation inside the block: a to b, start to start, lag 3.
  for (const MapCell& c : cellsInRange(cells, a->row, b->row, a->column, a->column))
    deleteRelationsFrom(*doc_, {c.record});
  for (const MapCell* c : {ta, tb}) deleteRelationsFrom(*doc_, {c->record});
  ASSERT_EQ(linkSelectedCells(*doc_, {*a, *b}, 2), 0);
  const int32_t slot = relationSlot(code(*a).c_str(), code(*b).c_str());
  ASSERT_GE(slot, 0);
  std::vector<char> rel = record(&doc_->db().rel.tb, slot);
  reinterpret_cast<RelRecord*>(rel.data())->lag = 3;
  ASSERT_TRUE(doc_->inputRecord(ViewKind::Relations, slot, rel.data(), -1));

  map->selectBlock(a->row, a->column, b->row, b->column);
  viewState().editTool = tool::kDataInput;
  map->activate();
  const int32_t w = map->settings().cellWidth, h = map->settings().cellHeight;
  const auto middle = [&](const MapCell& c, int32_t* x, int32_t* y) {
    *x = c.column * w + w / 2;
    *y = -c.row * h - h / 2;
  };
  int32_t x0, y0, x1, y1;
  middle(*a, &x0, &y0);
  middle(*ta, &x1, &y1);
  const int32_t count = relationCount();
  dragOn(map, x0, y0, x1, y1, Qt::ControlModifier);
  const int32_t copy = relationSlot(code(*ta).c_str(), code(*tb).c_str());
  ASSERT_GE(copy, 0);
  RelRecord r;
  std::memcpy(&r, record(&doc_->db().rel.tb, copy).data(), sizeof r);
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.lag, 3);
  EXPECT_EQ(relationCount(), count + 1);
  grab("issue28_map_copy.png");
  // Again: the store refuses the duplicate and nothing is added.
  dragOn(map, x0, y0, x1, y1, Qt::AltModifier);
  EXPECT_EQ(relationCount(), count + 1);
  // Without relation editing (map flag bit 3) the drag copies nothing.
  deleteRelationsFrom(*doc_, {ta->record});
  MapSettings s = map->settings();
  s.flags &= uint16_t(~mapflag::kRelations);
  map->setSettings(s);
  dragOn(map, x0, y0, x1, y1, Qt::ControlModifier);
  EXPECT_LT(relationSlot(code(*ta).c_str(), code(*tb).c_str()), 0);
}

namespace {

class MapWindowTest : public kelvo_test::ShellTest {
 protected:
  void TearDown() override {
    app_.reset();
    kelvo_test::forgetProgramWiring();
    registerDocumentWindow(2, nullptr);
    setMapDialogs({});
    ShellTest::TearDown();
  }
  QComboBox* bar(int id) {
    return app_->mainFrame()->findChild<QComboBox*>(QStringLiteral("ctl%1").arg(id));
  }
  CMapView* map() { return app_->mainFrame()->findChild<CMapView*>(); }
  std::unique_ptr<CKelvoApp> app_;
};

}  // namespace

TEST_F(MapWindowTest, ItemListOffersTheFieldsAndKeepsTheChoicePerMode) {
  QDir().mkpath(path("p"));
  const QString file = kelvo_test::copySampleProject(kelvo_test::binDir(), path("p"));
  ASSERT_FALSE(file.isEmpty());
  AppOptions o;
  o.programFolder = kelvo_test::binDir();
  o.profilePath = path("kelvo.ini");
  o.singleInstance = false;
  o.splash = false;
  app_ = std::make_unique<CKelvoApp>(o);
  registerMapWindow(*app_);
  ASSERT_TRUE(app_->startup({file}));
  ASSERT_TRUE(app_->requestWindow(2));
  ASSERT_NE(map(), nullptr);
  TableHandle* act = &app_->document()->db().act.tb;
  // "표시 항목 없음", then every field of the activity table by name.
  ASSERT_EQ(bar(10502)->count(), act->fieldCount + 1);
  EXPECT_EQ(bar(10502)->itemText(0), "표시 항목 없음");
  EXPECT_EQ(bar(10502)->itemText(2), xjor::fromCp949(act->fields[1].name));
  bar(10502)->setCurrentIndex(4);
  EXPECT_EQ(map()->displayedItem(), 3);
  // The crews have their own list and their own choice.
  bar(10503)->setCurrentIndex(1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(map()->mode(), MapMode::Resources);
  EXPECT_EQ(bar(10502)->count(), app_->document()->db().crw.tb.fieldCount + 1);
  EXPECT_EQ(bar(10502)->currentIndex(), 0);
  bar(10502)->setCurrentIndex(2);
  // Back to activities: their item again, also after the project is saved
  // and opened anew.
  bar(10503)->setCurrentIndex(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(bar(10502)->currentIndex(), 4);
  EXPECT_EQ(map()->displayedItem(), 3);
  ASSERT_TRUE(app_->document()->saveProject(file));
  app_.reset();
  kelvo_test::forgetProgramWiring();
  app_ = std::make_unique<CKelvoApp>(o);
  registerMapWindow(*app_);
  ASSERT_TRUE(app_->startup({file}));
  ASSERT_TRUE(app_->requestWindow(2));
  EXPECT_EQ(map()->displayedItem(), 3);
  EXPECT_EQ(bar(10502)->currentIndex(), 4);
}
