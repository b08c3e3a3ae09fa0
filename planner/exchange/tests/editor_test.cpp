// The external editor on the activity sheet: the rows sent as a workbook
// that the test edits with an independent writer (openpyxl), then read
// back; refusals that change nothing.
#include <QCheckBox>
#include <QDir>
#include <QStatusBar>

#include "editor_problem.h"
#include "editor_read_dialog.h"
#include "exchange_fixture.h"
#include "kelvo/grid_format.h"
#include "kelvo/profile.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "main_frame.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

using kelvo::CTableView;
using kelvo_test::ExchangeTest;
using kelvo_test::whenModal;

namespace {

// Sheet names and the header row from column B of a workbook, as openpyxl
// reads them: "name|name...\n[h1]|[h2]...".
const char* const kReadHeader = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print("|".join(wb.sheetnames))
ws = wb.worksheets[0]
print("|".join(str(c.value) for c in ws[2][1:] if c.value is not None))
)";

// Edits a sent activity workbook: the name of the row whose code is argv[2]
// becomes argv[3], and a row argv[4] / argv[5] is added after the last.
const char* const kEditRows = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
last = 2
for r in range(3, ws.max_row + 1):
    if ws.cell(r, 2).value is None: break
    last = r
    if ws.cell(r, 2).value == sys.argv[2]: ws.cell(r, 3).value = sys.argv[3]
ws.cell(last + 1, 2).value = sys.argv[4]
ws.cell(last + 1, 3).value = sys.argv[5]
wb.save(sys.argv[1])
)";

// A workbook whose first sheet is argv[2], with rows of code and name.
const char* const kWriteBook = R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = sys.argv[2]
ws["B2"] = "[작업코드]"; ws["C2"] = "[작업 이름]"
row = 3
for code, name in zip(sys.argv[3::2], sys.argv[4::2]):
    ws.cell(row, 2).value = code; ws.cell(row, 3).value = name; row += 1
wb.save(sys.argv[1])
)";

struct Activity {
  QString title;
  int duration = -1;
};

class EditorTest : public ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    registerConverters({{{"xlsx", "엑셀 통합 문서", "xKvXls.so"}}, "xlsx"});
    app_ = start();
    ASSERT_TRUE(doc()->isOpen());
    ASSERT_EQ(addActivity("A100", "터파기", 5), 0);
    ASSERT_EQ(addActivity("A200", "기초 타설", 7), 0);
    // Away from the data sheet (which stores its layout as it closes), then
    // back to it made anew with the test's columns and rows.
    ASSERT_TRUE(app_->requestWindow(1));
    // The activity sheet shows the code and the name under a title of its
    // own: the duration is not shown.
    ProjectDb& db = doc()->db();
    kelvo::SheetRecord record{};
    record.format = kelvo::defaultGridFormat();
    record.format.columnCount = 2;
    kelvo::writeSheetRecord(&db.opt, kelvo::ViewKind::Activities, record);
    kelvo::ColumnRecord code{0, 300, kelvo::kAlignLeft, {}};
    kelvo::ColumnRecord name{1, 600, kelvo::kAlignLeft, {}};
    const QByteArray title = xjor::toCp949(QStringLiteral("작업 이름"));
    std::memcpy(name.title, title.constData(), size_t(title.size()));
    kelvo::writeColumns(&db.opt, kelvo::ViewKind::Activities, {code, name});
    ASSERT_TRUE(app_->requestWindow(8));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sheet_ = app_->mainFrame()->findChild<CTableView*>();
    ASSERT_NE(sheet_, nullptr);
    ASSERT_EQ(sheet_->viewKind(), kelvo::ViewKind::Activities);
    sheet_->activate();
    doc()->setModified(false);
  }
  void TearDown() override {
    sheet_ = nullptr;
    app_.reset();
    ExchangeTest::TearDown();
  }

  kelvo::CPlanDoc* doc() { return app_->document(); }

  int addActivity(const char* code, const QString& title, int16_t duration) {
    ProjectDb& db = doc()->db();
    std::string bytes(db.act.tb.recordSize, '\0');
    ActRecord a{};
    std::strcpy(a.code, code);
    const QByteArray t = xjor::toCp949(title);
    std::memcpy(a.title, t.constData(), size_t(t.size()));
    a.duration = a.remaining = duration;
    std::memcpy(bytes.data(), &a, sizeof a);
    db.act.tb.current = -1;
    return xInputRecAct(&db, bytes.data(), doc()->info().start, 2, 1, 0);
  }

  std::map<QString, Activity> activities() {
    std::map<QString, Activity> all;
    ProjectDb& db = doc()->db();
    std::vector<char> bytes(db.act.tb.recordSize);
    db.act.tb.current = -1;
    while (xMoveNext(&db.act.tb)) {
      xGetRec(&db.act.tb, bytes.data());
      ActRecord r;
      std::memcpy(&r, bytes.data(), sizeof r);
      all[QString::fromLatin1(r.code)] = {
          xjor::fromCp949(r.title, int(strnlen(r.title, sizeof r.title))), r.duration};
    }
    return all;
  }

  // Reads back through 40088, choosing workbook (empty: the one the dialog
  // offers first) with or without "자료 모두 삭제 후 재구성".
  bool readBack(const QString& workbook = {}, bool rebuild = false) {
    QString offered;
    whenModal([&](QDialog* d) {
      auto* dialog = qobject_cast<kelvo::CEditorReadDlg*>(d);
      ASSERT_NE(dialog, nullptr);
      offered = dialog->workbook();
      if (!workbook.isEmpty()) dialog->choose(workbook);
      d->findChild<QCheckBox*>("rebuild")->setChecked(rebuild);
      d->accept();
    });
    const bool done = app_->router()->dispatch(40088);
    offered_ = offered;
    return done;
  }

  QString editor(const QString& name) const { return path("editor/" + name); }

  std::unique_ptr<kelvo::CKelvoApp> app_;
  CTableView* sheet_ = nullptr;
  QString offered_;
};

}  // namespace

TEST_F(EditorTest, SentSheetEditedElsewhereUpdatesOnlyTheShownColumns) {
  EXPECT_TRUE(app_->router()->state(40087).enabled);
  EXPECT_TRUE(app_->router()->state(40088).enabled);
  ASSERT_TRUE(app_->router()->dispatch(40087));
  EXPECT_TRUE(messages_.empty());
  const QString sent = editor("작업.xlsx");
  ASSERT_TRUE(QFile::exists(sent));
  EXPECT_EQ(app_->mainFrame()->statusBar()->currentMessage(), sent);
  EXPECT_EQ(python(kReadHeader, {sent}), "작업\n[작업코드]|[작업 이름]");

  // A second send never writes over the first workbook.
  ASSERT_TRUE(app_->router()->dispatch(40087));
  EXPECT_TRUE(QFile::exists(editor("작업 (2).xlsx")));
  QFile::remove(editor("작업 (2).xlsx"));

  python(kEditRows, {sent, "A100", "흙막이 및 터파기", "A300", "되메우기"});
  ASSERT_TRUE(readBack());
  EXPECT_EQ(offered_, sent);
  EXPECT_TRUE(messages_.empty());
  auto acts = activities();
  ASSERT_EQ(acts.size(), 3u);
  EXPECT_EQ(acts["A100"].title, "흙막이 및 터파기");
  EXPECT_EQ(acts["A100"].duration, 5);  // not shown: kept
  EXPECT_EQ(acts["A200"].title, "기초 타설");
  EXPECT_EQ(acts["A200"].duration, 7);
  EXPECT_EQ(acts["A300"].title, "되메우기");
  EXPECT_TRUE(doc()->isModified());
  EXPECT_EQ(sheet_->rows().count(), 3u);  // the sheet shows the new row
}

TEST_F(EditorTest, WorkbookOfAnotherSheetIsRefusedAndChangesNothing) {
  const auto before = activities();
  python(kWriteBook, {editor("자원.xlsx"), "자원", "A100", "바뀐 이름", "A900", "새 작업"});
  ASSERT_FALSE(readBack(editor("자원.xlsx")));
  EXPECT_EQ(messages_, std::vector<int>{20024});
  // Why, in the program's words, for the user to mend the workbook.
  EXPECT_EQ(app_->mainFrame()->statusBar()->currentMessage(),
            "첫 번째 시트가 \"작업\" 시트가 아닙니다.");
  EXPECT_EQ(activities().size(), before.size());
  EXPECT_EQ(activities()["A100"].title, "터파기");
  EXPECT_FALSE(doc()->isModified());

  // "자료 모두 삭제 후 재구성" with a repeated code: refused before
  // anything is emptied.
  messages_.clear();
  python(kWriteBook, {editor("작업.xlsx"), "작업", "A100", "하나", "A100", "둘"});
  ASSERT_FALSE(readBack(editor("작업.xlsx"), true));
  EXPECT_EQ(messages_, std::vector<int>{20024});
  EXPECT_EQ(app_->mainFrame()->statusBar()->currentMessage(), "4행: 코드가 중복되었습니다.");
  EXPECT_EQ(activities().size(), before.size());
  EXPECT_EQ(sheet_->rows().count(), 2u);
  EXPECT_FALSE(doc()->isModified());
}

TEST_F(EditorTest, CommandsFollowTheActiveSheetAndTheRegistration) {
  // Cancelling the workbook choice: no message, nothing read.
  whenModal([](QDialog* d) { d->reject(); });
  EXPECT_FALSE(app_->router()->dispatch(40088));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(doc()->isModified());

  // Without an external editor the commands are off.
  kvconv::Registrations regs = kvconv::readRegistrations(app_->profile().settings());
  regs.editor.clear();
  kvconv::writeRegistrations(app_->profile().settings(), regs);
  EXPECT_FALSE(app_->router()->state(40087).enabled);
  EXPECT_FALSE(app_->router()->state(40088).enabled);

  // An editor registered whose library is missing.
  regs.editor = "xlsx";
  regs.entries[0].file = "xKvMissing.so";
  kvconv::writeRegistrations(app_->profile().settings(), regs);
  ASSERT_TRUE(app_->router()->state(40087).enabled);
  EXPECT_FALSE(app_->router()->dispatch(40087));
  EXPECT_EQ(messages_, std::vector<int>{20023});
  EXPECT_TRUE(QDir(path("editor")).entryList(QDir::Files).isEmpty());

  // No data sheet active: off.
  app_->router()->setActiveView(nullptr);
  EXPECT_FALSE(app_->router()->state(40087).enabled);
  EXPECT_FALSE(kelvo::editorReadsKind(kelvo::ViewKind::Summary));
  EXPECT_FALSE(kelvo::editorReadsKind(kelvo::ViewKind::PeriodSheet));
  EXPECT_TRUE(kelvo::editorSendsKind(kelvo::ViewKind::GanttSummaryTable));
  EXPECT_FALSE(kelvo::editorSendsKind(kelvo::ViewKind::Network));
}

TEST(EditorProblemText, ReasonsTheProgramDoesNotKnowFallBackToTheMessageShown) {
  using kelvo::editorProblemText;
  using kelvo::loadString;
  // A refused row's store message becomes that message's text.
  EXPECT_EQ(editorProblemText("row 4: message 20014", 20024), "4행: " + loadString(20014));
  // Anything else (e.g. a damaged workbook) reads as the message the user
  // was shown, never as the converter's English.
  EXPECT_EQ(editorProblemText("central directory not found", 20024), loadString(20024));
  EXPECT_EQ(editorProblemText("row 9: cell B9 is not a number", 20024),
            "9행: " + loadString(20024));
  EXPECT_EQ(editorProblemText("", 0), "");
  // A cell that could not be read: its column and the reason.
  EXPECT_EQ(editorProblemText("row 6: not a date in column C", 20024),
            "6행: C열: 날짜가 아닙니다.");
}
