// Format files through the views: a layout saved from one project's views
// loads into another project's, the shipped Default files give a new
// project the program's own look, a damaged file changes nothing, and the
// dialogs' naming rules and questions.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "../../../views/src/format_file_dialog.h"
#include "grid_fixture.h"
#include "kelvo/drawing_objects.h"
#include "kelvo/format_store.h"
#include "kelvo/gantt_view.h"
#include "kelvo/gantt_window.h"
#include "kelvo/grid_format.h"
#include "kelvo/report_settings.h"
#include "kelvo/table_view.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo_test {
namespace {

using namespace kelvo;

// Project A (the fixture's) and project B, a second new project.
class FormatViewsTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    ASSERT_TRUE(other_.isValid());
    docB_ = std::make_unique<CPlanDoc>(other_.path() + '/', ref_);
    PrjInfo info = newProjectInfo();
    std::strcpy(info.code, "G-02");
    info.start = info.dataDate = day(2027, 5, 3);
    info.finish = day(2027, 9, 30);
    ASSERT_TRUE(docB_->newProject(info));
    viewState() = ViewState{};
    viewState().formFolder = [this] { return form_; };
    form_ = path("Form").toStdString();
    std::filesystem::create_directories(form_);
  }
  void TearDown() override {
    windows_.clear();
    sheets_.clear();
    docB_.reset();
    viewState() = ViewState{};
    GridTest::TearDown();
  }

  CGanttView* gantt(CPlanDoc* doc) {
    windows_.emplace_back(makeGanttWindow(doc, {}, nullptr));
    windows_.back()->resize(1200, 600);
    return ganttChartOf(windows_.back().get());
  }
  CTableView* sheet(CPlanDoc* doc) {
    viewState().nextViewKind = ViewKind::Activities;
    sheets_.push_back(std::make_unique<CTableView>(doc));
    sheets_.back()->resize(900, 400);
    sheets_.back()->initialUpdate();
    return sheets_.back().get();
  }
  std::string file(const char* name) { return form_ + "/" + name; }

  QTemporaryDir other_;
  std::unique_ptr<CPlanDoc> docB_;
  std::string form_;
  std::vector<std::unique_ptr<QWidget>> windows_;
  std::vector<std::unique_ptr<CTableView>> sheets_;
};

bool sameBytes(const void* a, const void* b, size_t n) {
  return std::memcmp(a, b, n) == 0;
}

TEST_F(FormatViewsTest, ChartLayoutCarriesToAnotherProjectKeepingItsDates) {
  CGanttView* a = gantt(doc_.get());
  TimeScaleSettings s = a->scale().settings();
  s.stepWidth = 77;
  s.rowHeight = 70;
  s.scaleTextColor = 0x0000FF;
  s.bodyFont.lfHeight = -45;
  a->setScaleSettings(s);
  GanttBlock block = a->block();
  block.activityColor = 0x00FF00;
  a->setBlock(block);
  PrintFormat print = a->readPrintFormat();
  print.marginLeft = 222;
  std::strcpy(print.headerText[1], "Kelvo");
  ASSERT_TRUE(a->writePrintFormat(print));
  ASSERT_TRUE(writeFormatFileBytes(file("plan.p13"), a->formatFileBytes("plan", false)));

  CGanttView* b = gantt(docB_.get());
  const uint16_t ownStart = b->scale().settings().startDate;
  ASSERT_TRUE(b->loadFormatFile(file("plan.p13"), false));
  const TimeScaleSettings& got = b->scale().settings();
  EXPECT_EQ(got.stepWidth, 77);
  EXPECT_EQ(got.rowHeight, 70);
  EXPECT_EQ(got.scaleTextColor, 0x0000FFu);
  EXPECT_TRUE(sameBytes(&got.bodyFont, &s.bodyFont, sizeof s.bodyFont));
  EXPECT_EQ(got.startDate, ownStart) << "the project's own dates stay";
  EXPECT_EQ(b->block().activityColor, 0x00FF00u);
  const PrintFormat printB = b->readPrintFormat();
  EXPECT_TRUE(sameBytes(&printB, &print, sizeof print));
  EXPECT_TRUE(docB_->isModified());

  // With the drawing objects the file's dates come too, and the objects
  // replace B's as one step that undo takes back and a second undo redoes.
  const auto rectangle = [](CPlanDoc* doc, int16_t width) {
    ObjectRecord r;
    r.type = shape::kRectangle;
    r.width = width;
    r.height = -100;
    ObjectTable(&doc->db().objects).append(layerCode(ViewKind::GanttChart, true), {r});
  };
  rectangle(doc_.get(), 300);
  rectangle(doc_.get(), 400);
  rectangle(docB_.get(), 500);
  ASSERT_TRUE(writeFormatFileBytes(file("all.p13"), a->formatFileBytes("all", true)));
  const std::vector<uint8_t> own = ObjectTable(&docB_->db().objects).snapshot();
  const std::vector<uint8_t> loaded = ObjectTable(&db().objects).snapshot();
  ASSERT_TRUE(b->loadFormatFile(file("all.p13"), true));
  EXPECT_EQ(b->scale().settings().startDate, a->scale().settings().startDate);
  EXPECT_EQ(ObjectTable(&docB_->db().objects).snapshot(), loaded);
  ASSERT_TRUE(b->onCommand(cmd::kEditUndo));
  EXPECT_EQ(ObjectTable(&docB_->db().objects).snapshot(), own);
  ASSERT_TRUE(b->onCommand(cmd::kEditUndo));
  EXPECT_EQ(ObjectTable(&docB_->db().objects).snapshot(), loaded);
}

TEST_F(FormatViewsTest, SheetColumnsFontsColoursAndFilterCarry) {
  CTableView* a = sheet(doc_.get());
  GridFormat f = a->format();
  f.bodyFont.lfHeight = -40;
  f.headerBack = 0x00C0FFEE;
  a->changeFormat(f);
  a->storeSettings();
  SheetRecord record{};
  ASSERT_TRUE(readSheetRecord(&db().opt, ViewKind::Activities, &record));
  std::strcpy(record.filter, "[X] > 3");
  record.order[0] = 1;
  record.order[1] = 2;
  // Three columns in a new order and width.
  std::vector<ColumnRecord> columns(a->columns().begin(), a->columns().begin() + 3);
  std::swap(columns[0], columns[2]);
  columns[1].width = 333;
  record.format.columnCount = 3;
  writeSheetRecord(&db().opt, ViewKind::Activities, record);
  writeColumns(&db().opt, ViewKind::Activities, columns);
  a->onUpdate(hint::kSettingsRewritten, 0);
  ASSERT_EQ(a->columns().size(), 3u);
  ASSERT_TRUE(writeFormatFileBytes(file("acts.p05"), a->formatFileBytes("", false)));

  CTableView* b = sheet(docB_.get());
  ASSERT_TRUE(b->loadFormatFile(file("acts.p05"), false));
  ASSERT_EQ(b->columns().size(), 3u);
  for (size_t c = 0; c < 3; ++c) EXPECT_TRUE(sameBytes(&b->columns()[c], &columns[c], 46)) << c;
  EXPECT_TRUE(sameBytes(&b->format().bodyFont, &f.bodyFont, sizeof f.bodyFont));
  EXPECT_EQ(b->format().headerBack, 0x00C0FFEEu);
  SheetRecord got{};
  ASSERT_TRUE(readSheetRecord(&docB_->db().opt, ViewKind::Activities, &got));
  EXPECT_STREQ(got.filter, "[X] > 3");
  EXPECT_EQ(got.order[0], 1);
  EXPECT_EQ(got.order[1], 2);
}

TEST_F(FormatViewsTest, DamagedFileSaysWhyAndChangesNothing) {
  QStringList said;
  kelvo::setMessageHook([&said](int, const QString& text) {
    said << text;
    return 0;
  });
  CGanttView* a = gantt(doc_.get());
  std::vector<uint8_t> bytes = a->formatFileBytes("", false);
  bytes.resize(bytes.size() - 1);
  ASSERT_TRUE(writeFormatFileBytes(file("cut.p13"), bytes));
  const TimeScaleSettings before = a->scale().settings();
  EXPECT_FALSE(a->loadFormatFile(file("cut.p13"), false));
  EXPECT_TRUE(sameBytes(&a->scale().settings(), &before, sizeof before));
  EXPECT_FALSE(a->loadFormatFile(file("missing.p13"), false));
  ASSERT_EQ(said.size(), 2);
  EXPECT_TRUE(said[0].contains(QStringLiteral("손상"))) << said[0].toStdString();
  EXPECT_TRUE(said[1].contains(QStringLiteral("읽을 수 없습니다"))) << said[1].toStdString();
}

// The shipped Default files are the program's own defaults: a new project
// that takes them looks exactly like one without them. A Default the user
// registered gives every new project its layout.
TEST_F(FormatViewsTest, DefaultFilesGiveNewProjectsTheirLayout) {
  const std::string shipped = (binDir() + "/Form").toStdString();
  EXPECT_EQ(applyDefaultFormats(&docB_->db().opt, shipped, nullptr).size(), 20u);
  // The report's Default leaves the paper to the printer the report meets.
  const ReportSettings onA3 =
      readReportSettings(&docB_->db().opt, defaultReportSettings(2970, 4200));
  EXPECT_EQ(onA3.paperWidth, 2770);
  EXPECT_EQ(onA3.paperHeight, 4000);
  EXPECT_EQ(onA3.bandHeight[band::kFooter], 600);
  CGanttView* plain = gantt(doc_.get());
  CGanttView* fromDefault = gantt(docB_.get());
  TimeScaleSettings p = plain->scale().settings(), d = fromDefault->scale().settings();
  p.startDate = d.startDate;
  p.endDate = d.endDate;
  p.rowCount = d.rowCount;
  EXPECT_TRUE(sameBytes(&p, &d, sizeof p));
  EXPECT_TRUE(sameBytes(&plain->block(), &fromDefault->block(), sizeof(GanttBlock)));
  const PrintFormat printPlain = plain->readPrintFormat(),
                    printDefault = fromDefault->readPrintFormat();
  EXPECT_TRUE(sameBytes(&printPlain, &printDefault, sizeof(PrintFormat)));
  CTableView* sheetPlain = sheet(doc_.get());
  CTableView* sheetDefault = sheet(docB_.get());
  EXPECT_TRUE(sameBytes(&sheetPlain->format().bodyFont, &sheetDefault->format().bodyFont, 60));
  EXPECT_EQ(sheetPlain->columns().size(), sheetDefault->columns().size());

  // A registered Default: the next new project starts with a 90-unit step.
  TimeScaleSettings s = plain->scale().settings();
  s.stepWidth = 90;
  plain->setScaleSettings(s);
  ASSERT_TRUE(writeFormatFileBytes(file("Default.p13"), plain->formatFileBytes("Default", false)));
  QTemporaryDir third;
  CPlanDoc docC(third.path() + '/', ref_);
  ASSERT_TRUE(docC.newProject(newProjectInfo()));
  EXPECT_EQ(applyDefaultFormats(&docC.db().opt, form_, nullptr), std::vector{ViewKind::GanttChart});
  EXPECT_EQ(gantt(&docC)->scale().settings().stepWidth, 90);
  windows_.clear();

  // A registered Default.prp brings its report design to a project without
  // one, and leaves the other kinds' objects alone.
  ObjectRecord item;
  item.type = shape::kRectangle;
  item.width = 300;
  item.height = -100;
  ObjectTable(&db().objects).append(layerCode(ViewKind::UserReport, false), {item});
  FormatFile report = collectFormatLayout(&db().opt, ViewKind::UserReport, "Default");
  report.objects = collectFormatObjects(db().objects, ViewKind::UserReport);
  ASSERT_TRUE(writeFormatFileBytes(file("Default.prp"), encodeFormatFile(report)));
  QTemporaryDir fourth;
  CPlanDoc docD(fourth.path() + '/', ref_);
  ASSERT_TRUE(docD.newProject(newProjectInfo()));
  ObjectTable objects(&docD.db().objects);
  objects.append(layerCode(ViewKind::GanttChart, true), {item});
  const auto applied = applyDefaultFormats(&docD.db().opt, form_, nullptr, &docD.db().objects);
  EXPECT_NE(std::find(applied.begin(), applied.end(), ViewKind::UserReport), applied.end());
  EXPECT_EQ(collectFormatObjects(docD.db().objects, ViewKind::UserReport), report.objects);
  ASSERT_EQ(objects.count(), 2u);
  EXPECT_EQ(objects.at(0).layer, layerCode(ViewKind::GanttChart, true));
}

TEST_F(FormatViewsTest, DialogNamesQuestionsAndButtons) {
  int encoded = 0;
  CFormatFileDlg dialog(form_, ViewKind::Activities, [&](const std::string&, bool) {
    ++encoded;
    return std::vector<uint8_t>(encodeFormatHeader(ViewKind::Activities, "t").begin(),
                                encodeFormatHeader(ViewKind::Activities, "t").end());
  });
  auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  EXPECT_FALSE(ok->isEnabled()) << "nothing listed";
  EXPECT_FALSE(dialog.findChild<QPushButton*>("delete")->isEnabled());
  EXPECT_FALSE(dialog.save("   ", "t", false, false));
  EXPECT_FALSE(dialog.save("../x", "t", false, false));
  EXPECT_EQ(messages_, (std::vector<int>{20028, 20028}));
  ASSERT_TRUE(dialog.save("  공정  ", "제목", false, false));
  EXPECT_TRUE(std::filesystem::exists(file("공정.p05")));
  EXPECT_TRUE(ok->isEnabled());
  QTreeWidget* list = dialog.findChild<QTreeWidget*>();
  EXPECT_EQ(list->headerItem()->text(0), QString("파일명"));
  EXPECT_EQ(list->headerItem()->text(1), QString("파일제목"));
  EXPECT_EQ(list->topLevelItem(0)->text(0), QString("공정"));
  EXPECT_EQ(dialog.windowTitle(), QString("형식파일 열기"));
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty()) dialog.grab().save(shots + "/format_files_dialog.png");
  // The same name again asks first; No (the default) keeps the file.
  answer_ = QMessageBox::No;
  messages_.clear();
  EXPECT_FALSE(dialog.save("공정", "other", false, false));
  EXPECT_EQ(messages_, std::vector<int>{20043});
  EXPECT_EQ(encoded, 1);
  // Modifying never asks; "제목만 수정" writes no layout.
  messages_.clear();
  const QByteArray title = xjor::toCp949(QStringLiteral("새 제목"));
  ASSERT_TRUE(dialog.save("공정", title.toStdString(), true, true));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(encoded, 1);
  EXPECT_EQ(dialog.findChild<QTreeWidget*>()->topLevelItem(0)->text(1), QString("새 제목"));
  // Deleting asks first while the option word says so (the default).
  answer_ = QMessageBox::Yes;
  dialog.deleteFile();
  EXPECT_EQ(messages_, std::vector<int>{20018});
  EXPECT_FALSE(std::filesystem::exists(file("공정.p05")));
  EXPECT_FALSE(ok->isEnabled());
}

}  // namespace
}  // namespace kelvo_test
