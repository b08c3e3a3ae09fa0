// Drawing objects as a user meets them on a view: drawing with the tools,
// selecting, moving and resizing by mouse and keys, restyling, order,
// alignment, copy and paste, delete and undo; the records checked byte for
// byte after the project is saved and opened again; hatches and pictures
// as they are painted.
#include "kelvo/object_layer.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "kelvo/object_paint.h"
#include "view_fixture.h"

using namespace kelvo;
using kelvo_test::TestView;

namespace {

std::vector<uint8_t> bytesOf(const ObjectRecord& r) {
  const auto* p = reinterpret_cast<const uint8_t*>(&r);
  return {p, p + sizeof r};
}

void saveShot(const QImage& image, const char* name) {
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists()) image.save(folder + '/' + name);
}

class ObjectLayerTest : public kelvo_test::ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    clearObjectClipboard();
    currentStyle() = CurrentStyle{};
    setObjectDialogs({});
  }
  void TearDown() override {
    setObjectDialogs({});
    ViewTest::TearDown();
  }
  ObjectTable table() { return ObjectTable(&doc_->db().objects); }
  // The device point of a logical point, and the logical point the mouse
  // reports there.
  static QPoint device(TestView* v, int32_t x, int32_t y) {
    return v->screenMapper().toDevice(x, y).toPoint();
  }
  static void snapped(TestView* v, int32_t* x, int32_t* y) {
    v->screenMapper().toLogical(QPointF(device(v, *x, *y)), x, y);
  }
  static void drag(TestView* v, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, device(v, x0, y0));
    QTest::mouseMove(v->viewport(), device(v, x1, y1));
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, device(v, x1, y1));
  }
  static void click(TestView* v, int32_t x, int32_t y,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mousePress(v->viewport(), Qt::LeftButton, modifiers, device(v, x, y));
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, modifiers, device(v, x, y));
  }
  // A shape stored straight into the table (layer code of kind, back).
  uint32_t put(ViewKind kind, uint8_t type, int32_t x, int32_t y, int16_t w, int16_t h,
               bool front = false) {
    ObjectRecord r;
    r.type = type;
    r.anchor.x = x;
    r.anchor.y = y;
    r.width = w;
    r.height = h;
    r.fill = fillcode::kSolid;
    return uint32_t(table().append(layerCode(kind, front), {r}));
  }
  std::vector<int32_t> selected(TestView* v) {
    std::vector<int32_t> out;
    for (const ObjectSelection& s : v->objects().selection()) out.push_back(s.record);
    return out;
  }
};

TEST_F(ObjectLayerTest, DrawMoveResizeRestyleUndoAndReopen) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  // "사각형": a drag from (100, -100) to (400, -300).
  view->onCommand(cmd::kToolFirst + tool::kRectangle);
  int32_t x0 = 100, y0 = -100, x1 = 400, y1 = -300;
  snapped(view.get(), &x0, &y0);
  snapped(view.get(), &x1, &y1);
  drag(view.get(), 100, -100, 400, -300);
  ASSERT_EQ(table().count(), 1u);
  ObjectRecord r = table().at(0);
  EXPECT_EQ(r.type, shape::kRectangle);
  EXPECT_EQ(r.layer, 22);
  EXPECT_EQ(r.anchor.x, x0);
  EXPECT_EQ(r.anchor.y, y0);
  EXPECT_EQ(r.width, x1 - x0);
  EXPECT_EQ(r.height, y1 - y0);
  EXPECT_EQ(r.fill, fillcode::kNone);
  EXPECT_TRUE(doc_->isModified());
  // A click with the tool makes nothing (no flat shapes).
  click(view.get(), 600, -600);
  EXPECT_EQ(table().count(), 1u);

  // "도형 선택": a drag inside the object moves it by the drag.
  view->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  click(view.get(), 200, -200);
  EXPECT_EQ(selected(view.get()), std::vector<int32_t>{0});
  int32_t a = 200, b = -200, c = 260, d = -180;
  snapped(view.get(), &a, &b);
  snapped(view.get(), &c, &d);
  drag(view.get(), 200, -200, 260, -180);
  r = table().at(0);
  EXPECT_EQ(r.anchor.x, x0 + (c - a));
  EXPECT_EQ(r.anchor.y, y0 + (d - b));
  EXPECT_EQ(r.width, x1 - x0);
  // The bottom-right handle (just outside the corner) resizes it.
  const LogicalRect before = view->objects().rectOf(0);
  EXPECT_EQ(view->objects().handleAt(before.right + 5, before.bottom - 5), 8);
  EXPECT_EQ(view->objects().handleAt(before.left - 5, before.top + 5), 0);
  EXPECT_EQ(view->objects().handleAt(before.right + 30, before.bottom), -1);
  int32_t hx = before.right + 5, hy = before.bottom - 5, tx = before.right + 80,
          ty = before.bottom - 40;
  snapped(view.get(), &hx, &hy);
  snapped(view.get(), &tx, &ty);
  drag(view.get(), before.right + 5, before.bottom - 5, before.right + 80, before.bottom - 40);
  const LogicalRect after = view->objects().rectOf(0);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right, before.right + (tx - hx));
  EXPECT_EQ(after.bottom, before.bottom + (ty - hy));
  // Keys: an arrow moves by 1 mm, Shift+arrow moves the bottom edge.
  QTest::keyClick(view.get(), Qt::Key_Right);
  QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(view->objects().rectOf(0).left, after.left + 10);
  EXPECT_EQ(view->objects().rectOf(0).bottom, after.bottom - 10);
  EXPECT_EQ(view->scrollX(), 0);  // the keys did not scroll

  // "도형 모양" on the selection restyles it.
  ShapeStyle offered;
  setObjectDialogs({nullptr, nullptr, [&](QWidget*, ShapeStyle* s) {
                      offered = *s;
                      *s = ShapeStyle{1, 5, 0x0000FF, 3, 0x00FF00};
                      return true;
                    }});
  ASSERT_TRUE(view->onCommand(cmd::kShapeStyle));
  EXPECT_EQ(offered.fill, fillcode::kNone);
  const ObjectRecord styled = table().at(0);
  EXPECT_EQ(styled.lineStyle, 1);
  EXPECT_EQ(styled.fill, 3);
  // Undo swaps the style back, undo again restores it.
  ASSERT_TRUE(view->onCommand(cmd::kEditUndo));
  EXPECT_EQ(table().at(0).fill, fillcode::kNone);
  ASSERT_TRUE(view->onCommand(cmd::kEditUndo));
  EXPECT_EQ(bytesOf(table().at(0)), bytesOf(styled));

  const LogicalRect last = view->objects().rectOf(0);
  const std::vector<uint8_t> expected = {7,
                                         22,
                                         uint8_t(last.left),
                                         uint8_t(last.left >> 8),
                                         uint8_t(last.left >> 16),
                                         uint8_t(last.left >> 24),
                                         uint8_t(last.top),
                                         uint8_t(last.top >> 8),
                                         uint8_t(last.top >> 16),
                                         uint8_t(last.top >> 24),
                                         uint8_t(last.width()),
                                         uint8_t(last.width() >> 8),
                                         uint8_t(-last.height()),
                                         uint8_t(-last.height() >> 8),
                                         0xFF,
                                         0,
                                         0,
                                         0,
                                         1,
                                         0,
                                         5,
                                         0,
                                         0,
                                         0xFF,
                                         0,
                                         0,
                                         3,
                                         0};
  view.reset();
  ASSERT_TRUE(doc_->saveProject(path("drawn.kvp")));
  ASSERT_TRUE(doc_->openProject(path("drawn.kvp")));
  ASSERT_EQ(table().count(), 1u);
  EXPECT_EQ(bytesOf(table().at(0)), expected);
}

TEST_F(ObjectLayerTest, SelectOrderAlignAndDelete) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  put(ViewKind::Map, shape::kRectangle, 100, -100, 200, -200);      // 0
  put(ViewKind::Map, shape::kEllipse, 150, -150, 200, -200);        // 1, over it
  put(ViewKind::Map, shape::kVerticalLine, 800, -100, 0, -300);     // 2
  put(ViewKind::Network, shape::kRectangle, 100, -100, 500, -500);  // another view's
  view->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  // A click on the overlap takes the front-most; a line is hit beside it.
  click(view.get(), 200, -200);
  EXPECT_EQ(selected(view.get()), std::vector<int32_t>{1});
  click(view.get(), 806, -200);
  EXPECT_EQ(selected(view.get()), std::vector<int32_t>{2});
  EXPECT_EQ(view->objects().handleAt(800, -95), 1);  // a vertical line's top handle
  EXPECT_EQ(view->objects().handleAt(795, -200), -1);
  // A band takes the objects wholly inside it, in descending order.
  drag(view.get(), 50, -50, 900, -500);
  EXPECT_EQ(selected(view.get()), (std::vector<int32_t>{2, 1, 0}));

  // "앞쪽에 보이기" on the rectangle: it goes to the end of its layer.
  click(view.get(), 120, -120);
  ASSERT_EQ(selected(view.get()), std::vector<int32_t>{0});
  view->onCommand(cmd::kShapeOrderFirst);
  EXPECT_EQ(table().at(2).type, shape::kRectangle);
  EXPECT_EQ(selected(view.get()), std::vector<int32_t>{2});
  // "자료 앞쪽에 도형 보이기": into the front layer.
  view->onCommand(cmd::kShapeOrderFirst + 2);
  EXPECT_EQ(table().at(2).layer, 23);

  // Alignment with the front-most selected object as reference.
  drag(view.get(), 50, -50, 900, -500);
  ASSERT_EQ(selected(view.get()).front(), 2);
  view->onCommand(cmd::kShapeOrderFirst + 4);  // "왼쪽 정렬"
  EXPECT_EQ(view->objects().rectOf(0).left, 100);
  EXPECT_EQ(view->objects().rectOf(1).left, 100);
  view->onCommand(cmd::kShapeOrderFirst + 7);  // "아래쪽 정렬"
  EXPECT_EQ(view->objects().rectOf(0).bottom, -300);
  EXPECT_EQ(view->objects().rectOf(1).bottom, -300);

  // Delete asks when the option says so; No keeps everything.
  optionFlags() |= optflag::kConfirmDelete;
  answer_ = QMessageBox::No;
  view->onCommand(cmd::kEditClear);
  EXPECT_EQ(messages_, std::vector<int>{20018});
  EXPECT_EQ(table().count(), 4u);
  answer_ = QMessageBox::Yes;
  const std::vector<uint8_t> kept = table().snapshot();
  view->onCommand(cmd::kEditClear);
  EXPECT_EQ(table().count(), 1u);
  EXPECT_TRUE(view->objects().selection().empty());
  // Undo brings every record back at its old index.
  view->onCommand(cmd::kEditUndo);
  EXPECT_EQ(table().snapshot(), kept);
  ASSERT_TRUE(doc_->saveProject(path("ordered.kvp")));
  ASSERT_TRUE(doc_->openProject(path("ordered.kvp")));
  EXPECT_EQ(table().snapshot(), kept);
  EXPECT_EQ(table().at(2).layer, 23);  // the rectangle stays in front
}

// The data tools select objects as "도형 선택" does, while the view's data
// tool still gets its press; a press on the selection moves it instead, and
// delete and the arrow keys stay with the data.
TEST_F(ObjectLayerTest, DataToolsSelectObjectsToo) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  put(ViewKind::Map, shape::kRectangle, 100, -100, 200, -200);      // 0
  put(ViewKind::Map, shape::kEllipse, 150, -150, 200, -200);        // 1, over it
  put(ViewKind::Map, shape::kVerticalLine, 800, -100, 0, -300);     // 2
  put(ViewKind::Network, shape::kRectangle, 100, -100, 500, -500);  // another view's
  for (int dataTool : {tool::kDataSelect, tool::kDataInput}) {
    view->onCommand(cmd::kToolFirst + dataTool);
    const int presses = view->presses;
    click(view.get(), 200, -200);
    EXPECT_EQ(selected(view.get()), std::vector<int32_t>{1}) << dataTool;
    EXPECT_EQ(view->presses, presses + 1);
    // A press away from the selection drops it; a band takes what is inside.
    drag(view.get(), 50, -50, 900, -500);
    EXPECT_EQ(selected(view.get()), (std::vector<int32_t>{2, 1, 0})) << dataTool;
    EXPECT_EQ(view->presses, presses + 2);
    click(view.get(), 600, -600);
    EXPECT_TRUE(selected(view.get()).empty());
  }
  // A drag from inside the selection moves every selected object and the
  // data tool never sees it.
  drag(view.get(), 50, -50, 900, -500);
  saveShot(view->viewport()->grab().toImage(), "issue26_data_tool_selection.png");
  const int presses = view->presses;
  int32_t a = 120, b = -120, c = 220, d = -170;
  snapped(view.get(), &a, &b);
  snapped(view.get(), &c, &d);
  drag(view.get(), 120, -120, 220, -170);
  EXPECT_EQ(view->presses, presses);
  EXPECT_EQ(view->objects().rectOf(0).left, 100 + c - a);
  EXPECT_EQ(view->objects().rectOf(2).top, -100 + d - b);
  EXPECT_EQ(selected(view.get()), (std::vector<int32_t>{2, 1, 0}));
  // Delete and the arrows belong to the data: the objects stay put.
  view->onCommand(cmd::kEditClear);
  QTest::keyClick(view.get(), Qt::Key_Left);
  EXPECT_EQ(table().count(), 4u);
  EXPECT_EQ(view->objects().rectOf(0).left, 100 + c - a);
  view->onCommand(cmd::kEditUndo);
  EXPECT_EQ(view->objects().rectOf(0).left, 100);
}

TEST_F(ObjectLayerTest, CopyCutAndPasteBetweenViews) {
  auto map = makeView(ViewKind::Map, 2);
  auto other = makeView(ViewKind::Map, 2);
  auto report = makeView(ViewKind::UserReport, 10);
  map->activate();
  put(ViewKind::Map, shape::kRectangle, 300, -300, 100, -100);
  LOGFONT font{};
  font.lfHeight = -30;
  table().append(layerCode(ViewKind::Map, false),
                 makeTextObject(map->pointToPosition(500, -300), 80, -30, 0, 0, font, "note"));
  map->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  drag(map.get(), 250, -250, 700, -500);
  ASSERT_EQ(selected(map.get()).size(), 2u);
  map->onCommand(cmd::kEditCopy);

  // Pasting into another view of the kind: the selection's top-left lands
  // 1 mm inside the visible area, the offsets stay, the copies are selected.
  other->activate();
  other->setScrollOrigin(1000, -1000);
  viewState().editTool = tool::kRectangle;
  ASSERT_TRUE(other->onCommand(cmd::kEditPaste));
  EXPECT_EQ(viewState().editTool, tool::kShapeSelect);
  ASSERT_EQ(table().count(), 10u);
  EXPECT_EQ(other->objects().selection().size(), 2u);
  const LogicalRect rect = other->objects().rectOf(5);
  EXPECT_EQ(rect.left, 1010);
  EXPECT_EQ(rect.top, -1010);
  EXPECT_EQ(other->objects().rectOf(6).left, 1210);
  // The user report takes the rectangle but not the text.
  report->activate();
  report->onCommand(cmd::kEditPaste);
  EXPECT_EQ(table().count(), 11u);
  EXPECT_EQ(table().at(10).layer, layerCode(ViewKind::UserReport, false));

  // Cut is copy and delete; undo of the paste takes the copies away again.
  map->activate();
  drag(map.get(), 250, -250, 450, -450);
  map->onCommand(cmd::kEditCut);
  EXPECT_EQ(table().count(), 10u);
  map->onCommand(cmd::kEditPaste);
  EXPECT_EQ(table().count(), 11u);
  map->onCommand(cmd::kEditUndo);
  EXPECT_EQ(table().count(), 10u);
  // The records come back from the project file as they were.
  const std::vector<uint8_t> stored = table().snapshot();
  ASSERT_TRUE(doc_->saveProject(path("pasted.kvp")));
  ASSERT_TRUE(doc_->openProject(path("pasted.kvp")));
  EXPECT_EQ(table().snapshot(), stored);
}

TEST_F(ObjectLayerTest, TextToolMeasuresTheTextAndTheLayersPaintAroundTheData) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  setObjectDialogs({[](QWidget*, TextInput* in) {
                      in->text = QStringLiteral("공정 회의\n3층 타설");
                      in->font.lfHeight = -50;
                      in->alignment = textalign::kCentre;
                      return true;
                    },
                    nullptr, nullptr});
  view->onCommand(cmd::kToolFirst + tool::kText);
  click(view.get(), 1200, -1200);
  ASSERT_EQ(table().count(), 4u);  // 18 bytes: the head and 3 records
  const ObjectRecord head = table().at(0);
  EXPECT_EQ(head.type, shape::kText);
  EXPECT_EQ(head.lineStyle, textalign::kCentre);
  EXPECT_GT(head.width, 0);
  EXPECT_LT(head.height, -90);  // two lines of 5 mm
  EXPECT_EQ(table().span(0), table().count());

  // A solid rectangle over the red square: in front it covers the square,
  // behind it the square covers it.
  currentStyle().shape = ShapeStyle{0, 0, 0, fillcode::kSolid, 0xFF0000};  // blue
  view->onCommand(cmd::kToolFirst + tool::kRectangle);
  drag(view.get(), 20, -20, 300, -300);
  view->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  click(view.get(), 200, -200);
  view->onCommand(cmd::kShapeOrderFirst + 2);
  view->onCommand(cmd::kToolFirst + tool::kDataSelect);
  const QPoint inside = device(view.get(), 50, -50);
  QImage front = view->viewport()->grab().toImage();
  saveShot(front, "issue26_layers_front.png");
  EXPECT_EQ(QColor(front.pixel(inside)), QColor(Qt::blue));
  view->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  click(view.get(), 200, -200);
  view->onCommand(cmd::kShapeOrderFirst + 3);
  EXPECT_EQ(QColor(view->viewport()->grab().toImage().pixel(inside)), QColor(Qt::red));
}

TEST_F(ObjectLayerTest, EditingATextAndTheStyleDialogAsAUserFillsIt) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  LOGFONT font{};
  font.lfHeight = -30;
  table().append(layerCode(ViewKind::Map, false),
                 makeTextObject(view->pointToPosition(100, -100), 300, -40, 0xFF, textalign::kLeft,
                                font, "short"));
  put(ViewKind::Map, shape::kEllipse, 600, -100, 200, -200);
  view->onCommand(cmd::kToolFirst + tool::kShapeSelect);
  // A text in the selection leaves "도형 모양" off: its style bytes hold
  // the text's own data.
  click(view.get(), 150, -120);
  ASSERT_EQ(selected(view.get()), std::vector<int32_t>{0});
  CommandState state;
  ASSERT_TRUE(view->updateCommand(cmd::kShapeStyle, state));
  EXPECT_FALSE(state.enabled);
  // A double click edits it: a longer text takes more records.
  setObjectDialogs({[](QWidget*, TextInput* in) {
                      EXPECT_EQ(in->text, QStringLiteral("short"));
                      in->text = QString(80, QChar('w'));
                      return true;
                    },
                    nullptr, nullptr});
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, device(view.get(), 150, -120));
  EXPECT_EQ(table().span(0), 1u + uint32_t(continuationsFor(80)));
  EXPECT_EQ(table().at(0).lineColor, 0xFFu);  // colour and place kept
  EXPECT_EQ(table().at(table().span(0)).type, shape::kEllipse);

  // The style dialog itself: dash, 0.5 mm, hatched with no outline.
  click(view.get(), 700, -200);
  setObjectDialogs({});
  kelvo_test::whenModal([](QDialog* dialog) {
    dialog->findChild<QComboBox*>("penStyle")->setCurrentIndex(1);
    dialog->findChild<QSpinBox*>("penWidth")->setValue(5);
    dialog->findChild<QTabWidget*>()->setCurrentIndex(1);
    dialog->findChild<QRadioButton*>("fillKind2")->click();
    dialog->findChild<QComboBox*>("fillPattern")->setCurrentIndex(5);  // cross
    saveShot(dialog->grab().toImage(), "issue26_style_dialog.png");
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(view->onCommand(cmd::kShapeStyle));
  const ObjectRecord e = table().at(table().span(0));
  EXPECT_EQ(e.lineStyle, penstyle::kNone);  // "테두리 없이 채움"
  EXPECT_EQ(e.lineWidth, 5);
  EXPECT_EQ(e.fill, 4);
}

TEST_F(ObjectLayerTest, FitToPaperScalesSizesAndFonts) {
  auto view = makeView(ViewKind::Map, 2);
  put(ViewKind::Map, shape::kRectangle, 100, -100, 301, -200);
  LOGFONT font{};
  font.lfHeight = -60;
  table().append(layerCode(ViewKind::Map, true),
                 makeTextObject(view->pointToPosition(500, -100), 0, 0, 0, 0, font, "Level 3"));
  put(ViewKind::Network, shape::kRectangle, 0, 0, 300, -300);  // another view's: untouched
  view->objects().scaleObjects(0.5, 0.25, 0.5);
  EXPECT_EQ(table().at(0).width, 150);
  EXPECT_EQ(table().at(0).height, -50);
  EXPECT_EQ(table().at(0).anchor.x, 100);
  LOGFONT scaled{};
  std::string text;
  ASSERT_TRUE(table().readText(1, &scaled, &text));
  EXPECT_EQ(scaled.lfHeight, -30);
  EXPECT_EQ(text, "Level 3");
  const uint64_t extent = xGetTextExtent(text.data(), int32_t(text.size()), &scaled);
  EXPECT_EQ(table().at(1).width, int16_t(extent & 0xFFFFFFFF));
  EXPECT_EQ(table().at(1).height, -int16_t(extent >> 32));
  EXPECT_EQ(table().at(table().count() - 1).width, 300);
}

TEST_F(ObjectLayerTest, BothLayersPrint) {
  auto view = makeView(ViewKind::Map, 2);
  put(ViewKind::Map, shape::kRectangle, 200, -200, 400, -400, true);  // blue, in front
  put(ViewKind::Map, shape::kEllipse, 800, -200, 400, -400);          // green, behind
  ObjectTable t = table();
  ObjectRecord r = t.at(1);
  r.fillColor = 0xFF0000;
  t.put(1, r);
  r = t.at(0);
  r.fillColor = 0x00FF00;
  t.put(0, r);
  LOGFONT font{};
  font.lfHeight = -40;
  t.append(layerCode(ViewKind::Map, true),
           makeTextObject(view->pointToPosition(200, -700), 900, -60, 0, 0, font, "Pour slab 3F"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path("objects.pdf"));
  printer.setPageSize(QPageSize(QPageSize::A4));
  ASSERT_TRUE(view->printTo(&printer));
  QProcess text;
  text.start("pdftotext", {path("objects.pdf"), "-"});
  text.waitForFinished(30000);
  EXPECT_TRUE(text.readAllStandardOutput().contains("Pour slab 3F"));
  QProcess render;
  render.start("pdftoppm", {"-r", "96", "-png", "-f", "1", "-l", "1", "-singlefile",
                            path("objects.pdf"), path("page")});
  render.waitForFinished(30000);
  const QImage page(path("page.png"));
  ASSERT_FALSE(page.isNull());
  saveShot(page, "issue26_printed.png");
  int blue = 0, green = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QColor c(page.pixel(x, y));
      blue += c.blue() > 200 && c.red() < 60 && c.green() < 60;
      green += c.green() > 200 && c.red() < 60 && c.blue() < 60;
    }
  EXPECT_GT(blue, 500);
  EXPECT_GT(green, 500);
}

TEST_F(ObjectLayerTest, EachHatchRunsItsWay) {
  // At 96 dpi a cell is 8 pixels; the orientation shows in which pixels of
  // a filled square carry the colour.
  struct Case {
    int16_t hatch;
    const char* name;
    bool (*on)(int x, int y);
  } cases[] = {
      {0, "horizontal", [](int, int y) { return y % 8 == 4; }},
      {1, "vertical", [](int x, int) { return x % 8 == 4; }},
      {2, "backslash", [](int x, int y) { return (x - y) % 8 == 0; }},
      {3, "slash", [](int x, int y) { return (x + y + 1) % 8 == 0; }},
      {4, "cross", [](int x, int y) { return x % 8 == 4 || y % 8 == 4; }},
      {5, "diagonal cross", [](int x, int y) { return (x - y) % 8 == 0 || (x + y + 1) % 8 == 0; }},
  };
  const UnitMapper mapper(96, 96);
  QImage sheet(6 * 40, 40, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  for (const Case& c : cases) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter p(&image);
      p.fillRect(image.rect(), objectBrush(c.hatch, 0x000000, mapper));
    }
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 128;
        wrong += dark != c.on(x, y);
      }
    EXPECT_LT(wrong, 32 * 32 / 20) << c.name;
    QPainter(&sheet).drawImage(c.hatch * 40 + 4, 4, image);
  }
  saveShot(sheet, "issue26_hatches.png");
  // On paper the cell keeps its size: 8 pixels at 96 dpi are 25 at 300.
  const QBrush paper = objectBrush(0, 0, UnitMapper(300, 300));
  EXPECT_EQ(paper.texture().width(), 25);
  EXPECT_EQ(objectBrush(fillcode::kSolid, 0xFF, mapper).color(), QColor(Qt::red));
  EXPECT_EQ(objectBrush(fillcode::kNone, 0xFF, mapper).style(), Qt::NoBrush);
}

TEST_F(ObjectLayerTest, PicturesAreCopiedInAndAMissingOneIsFramedAndToldOnce) {
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  QImage source(40, 20, QImage::Format_RGB32);
  source.fill(Qt::green);
  source.setDotsPerMeterX(3780);  // 96 dpi
  source.setDotsPerMeterY(3780);
  ASSERT_TRUE(source.save(path("logo.png")));
  setObjectDialogs({nullptr,
                    [&](QWidget*, PictureInput* in) {
                      in->path = path("logo.png");
                      return true;
                    },
                    nullptr});
  view->onCommand(cmd::kToolFirst + tool::kPicture);
  click(view.get(), 100, -100);  // a click: the picture's own size
  ASSERT_EQ(table().count(), 1u);
  const ObjectRecord pic = table().at(0);
  EXPECT_EQ(pic.type, shape::kPicture);
  EXPECT_EQ(pic.pictureName(), "00000000.png");
  EXPECT_EQ(pic.width, 106);  // 40 px at 96 dpi
  EXPECT_EQ(pic.height, -53);
  const QString copy = view->objects().picturePath("00000000.png");
  EXPECT_TRUE(QFile::exists(copy));
  const QPoint middle = device(view.get(), 150, -120);
  EXPECT_EQ(QColor(view->viewport()->grab().toImage().pixel(middle)), QColor(Qt::green));

  // A second one takes the next free name.
  click(view.get(), 400, -100);
  EXPECT_EQ(table().at(1).pictureName(), "00000001.png");

  // Missing: a framed placeholder, told once however often it is painted.
  QFile::remove(copy);
  view->viewport()->grab();
  view->viewport()->grab();
  QCoreApplication::processEvents();
  EXPECT_EQ(messages_, std::vector<int>{0});
  const QImage shot = view->viewport()->grab().toImage();
  saveShot(shot, "issue26_missing_picture.png");
  EXPECT_NE(QColor(shot.pixel(middle)), QColor(Qt::green));
  const QRectF frame = view->screenMapper().toDevice(view->objects().rectOf(0));
  EXPECT_LT(qGray(shot.pixel(frame.center().toPoint())), 200);  // where the cross meets

  // A file that is no picture is refused; nothing is stored.
  QFile junk(path("junk.png"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a picture");
  junk.close();
  setObjectDialogs({nullptr,
                    [&](QWidget*, PictureInput* in) {
                      in->path = path("junk.png");
                      return true;
                    },
                    nullptr});
  click(view.get(), 700, -100);
  EXPECT_EQ(table().count(), 2u);
  EXPECT_EQ(messages_.size(), 2u);
}

}  // namespace
