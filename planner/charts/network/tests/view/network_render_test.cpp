// What a planner sees in window 4: relation lines along their routing rows
// in the link colour, critical and non-critical arrows, nodes, the
// milestone diamond, bar mode, and the printed PDF.
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTest>

#include "kelvo/kelvo_app.h"
#include "kelvo/sheet_windows.h"
#include "network_fixture.h"
#include "sample_project.h"

namespace kelvo_test {
namespace {

const QColor kGreen(0, 0x80, 0), kRed(0xFF, 0, 0), kBlue(0, 0, 0xFF), kTeal(0x80, 0x80, 0);

// Whether colour is within two pixels of p in either direction.
bool near(const QImage& image, QPoint p, const QColor& colour) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (image.pixelColor(p + QPoint(dx, dy)) == colour) return true;
  return false;
}

TEST_F(NetworkTest, RelationRoutesNodesAndArrows) {
  openWindow();
  const QImage image = grab("issue27_network.png");
  // A -> D leaves A's end node (7 March, path 1) straight down to D's start
  // node on path 2: green between the nodes' edges, nothing beside it.
  const int32_t x7 = xOf(7), mid = (centre(1) + centre(2)) / 2;
  EXPECT_TRUE(near(image, at(x7, mid), kGreen));
  EXPECT_FALSE(near(image, at(x7 + 25, mid), kGreen));
  // D -> C runs up from D's end (10 March) along row 2 into C on path 1.
  EXPECT_TRUE(near(image, at(xOf(10), mid), kGreen));
  // A is critical (red arrow, 0.5 mm); D has float: a blue arrow up to the
  // day after its early finish, then a dotted line on to its end node.
  EXPECT_EQ(image.pixelColor(at(xOf(4), centre(1))), kRed);
  EXPECT_TRUE(near(image, at(xOf(8), centre(2)), kBlue));
  // Nodes are filled teal; the milestone C is a red diamond (no float).
  EXPECT_EQ(image.pixelColor(at(xOf(2), centre(1))), kTeal);
  EXPECT_EQ(image.pixelColor(at(xOf(10), centre(1))), kRed);
  // Paths past the last one draw nothing.
  EXPECT_FALSE(near(image, at(xOf(5), centre(4)), kRed));
}

TEST_F(NetworkTest, ARelationMovedIntoSightIsDrawnAtOnce) {
  openWindow();
  grab();  // the relations of the first page are looked up once
  // D moves from path 2 to 4, so A -> D runs down at 7 March past path 3:
  // scrolled to path 3, the line shows though it lay out of sight before.
  chart_->showActivity(slotOf("D"));
  ASSERT_EQ(chart_->moveSelection(2), 2);
  chart_->scrollTo(0, 2);
  EXPECT_TRUE(near(grab(), at(xOf(7), centre(3)), kGreen));
}

TEST_F(NetworkTest, BarModeDrawsBarsAndDoneParts) {
  doc_->info().dataDate = day(2026, 3, 4);
  ActRecord a = activity("A");
  a.actualStart = day(2026, 3, 2);
  const int32_t slot = slotOf("A");
  std::vector<char> buf(db().act.tb.recordSize);
  db().act.tb.current = slot;
  xGetRec(&db().act.tb, buf.data());
  std::memcpy(buf.data(), &a, sizeof a);
  xPutRec(&db().act.tb, buf.data());
  openWindow();
  kelvo::TimeScaleSettings s = chart_->scale().settings();
  s.flags |= kelvo::netflag::kBarMode;
  chart_->setScaleSettings(s);
  const QImage image = grab("issue27_bars.png");
  // A's done part (2..3 March) in the node colour, the rest red.
  EXPECT_EQ(image.pixelColor(at(xOf(3), centre(1))), kTeal);
  EXPECT_EQ(image.pixelColor(at(xOf(5), centre(1))), kRed);
}

TEST_F(NetworkTest, TheSampleProjectsNetworkAfterPathAssignment) {
  const QString copy = copySampleProject(binDir(), dir_.path());
  ASSERT_FALSE(copy.isEmpty());
  doc_->closeProject();
  ASSERT_TRUE(doc_->openProject(copy));
  chart_.reset(kelvo::makeNetworkWindow(doc_.get(), nullptr));
  chart_->resize(1400, 800);
  chart_->show();
  kelvo::TimeScaleSettings s = chart_->scale().settings();
  s.stepWidth = 40;
  s.rowHeight = 110;  // room for the labels above and below the arrows
  s.flags |= kelvo::netflag::kArrowheads | kelvo::netflag::kCodeInNode;
  chart_->setScaleSettings(s);
  kelvo::PathOptions o;
  o.allActivities = true;
  ASSERT_EQ(chart_->assignPaths(o), 0);
  ASSERT_EQ(xCheckIndexes(&db(), nullptr, 0), 1);
  // Every activity has a path, and the relations are drawn in their colour.
  const auto* order = reinterpret_cast<const ActOrderEntry*>(db().actOrder.data);
  ASSERT_GT(db().actOrder.count, 0u);
  EXPECT_GE(order[0].path, 1);
  const QImage image = grab("issue27_sample.png");
  int green = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) green += image.pixelColor(x, y) == kGreen;
  EXPECT_GT(green, 100);
  // The same in bar mode with path labels.
  o.barLabels = true;
  o.nameBefore = kelvo::LabelClass::WorkType;
  o.startDate = o.finishDate = true;
  o.spacing = 2;
  ASSERT_EQ(chart_->assignPaths(o), 0);
  grab("issue27_sample_bars.png");
}

// Pixels of a cell that are neither white nor the grid colour: its text.
int inked(const QImage& image, QRect cell) {
  int n = 0;
  for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
    for (int x = cell.left() + 2; x < cell.right() - 1; ++x) {
      const QColor c = image.pixelColor(x, y);
      n += c != Qt::white && c != QColor(0x80, 0x80, 0x80);
    }
  return n;
}

QString pdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(NetworkTest, PathNumbersStayInTheirColumnOnScreenAndPrintWhenAsked) {
  openWindow();
  const int32_t w = chart_->scale().settings().rowNumberWidth;
  const int32_t rh = chart_->scale().settings().rowHeight;
  // Scrolled right past A's start, the column keeps the left edge: its
  // numbers stay, its edge stays, and A's arrow no longer shows through.
  chart_->scrollTo(xOf(4), 0);
  const int32_t edge = chart_->scrollPosition();
  const auto cell = [&](int path) {
    return QRect(at(edge - w, -(path - 1) * rh), at(edge, -path * rh));
  };
  const QImage image = grab("issue27_path_column.png");
  for (int path = 1; path <= 3; ++path) EXPECT_GT(inked(image, cell(path)), 5) << path;
  EXPECT_TRUE(near(image, at(xOf(4), centre(3)), QColor(0x80, 0x80, 0x80)));
  EXPECT_FALSE(near(image, cell(1).center(), kRed));
  // A click in the column over A's hidden arrow selects nothing.
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  QTest::mouseClick(chart_->viewport(), Qt::LeftButton, {},
                    QPoint(cell(1).center().x(), at(0, centre(1)).y()));
  EXPECT_TRUE(chart_->selectedActivities().empty());

  // On paper the column prints on every page when "경로 인쇄" asks, with
  // its title; without it the pages start with the axis.
  kelvo::PrintRecord record = chart_->readPrintRecord();
  for (bool rows : {false, true}) {
    record.gantt.common.flags =
        uint16_t(kelvo::printflag::kRepeatScale | (rows ? kelvo::printflag::kRowColumn : 0));
    ASSERT_TRUE(chart_->writePrintRecord(record));
    const QString pdf = path(rows ? QStringLiteral("rows.pdf") : QStringLiteral("axis.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(chart_->printTo(&printer));
    EXPECT_EQ(pdfText(pdf).contains(QStringLiteral("경로")), rows);
    const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
    if (rows && !shots.isEmpty())
      QProcess::execute(
          QStringLiteral("pdftoppm"),
          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-f"),
           QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
           shots + QStringLiteral("/issue27_path_column_print")});
  }
}

TEST_F(NetworkTest, FitToPaperNarrowsThePathColumnWithTheAxis) {
  openWindow();
  const kelvo::TimeScaleSettings before = chart_->scale().settings();
  chart_->applyFitToPaper(1, 1, chart_->scale().totalWidth() / 2, 2000);
  const kelvo::TimeScaleSettings& after = chart_->scale().settings();
  const double m = double(after.stepWidth) / after.stepDays / before.stepWidth * before.stepDays;
  EXPECT_LT(m, 0.6);
  EXPECT_NEAR(after.rowNumberWidth, before.rowNumberWidth * m, 1.0);
}

TEST_F(NetworkTest, PrintsToPdfWithTheScaleAndTheLegend) {
  openWindow();
  const QString project = path(QStringLiteral("net.kvp"));
  ASSERT_TRUE(doc_->saveProject(project));
  kelvo::AppOptions options;
  options.programFolder = binDir();
  options.profilePath = path(QStringLiteral("profile.ini"));
  options.singleInstance = false;
  options.splash = false;
  kelvo::CKelvoApp app(options);
  kelvo::registerSheetWindows(app);
  kelvo::registerNetworkWindow(app);
  const QString pdf = path(QStringLiteral("net.pdf"));
  ASSERT_EQ(app.printToPdf(4, pdf, project), 0);
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  p.waitForFinished(20000);
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(text.contains(QStringLiteral("3월"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("handover"))) << text.toStdString();
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty())
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), pdf,
                       shots + QStringLiteral("/issue27_print")});
}

}  // namespace
}  // namespace kelvo_test
