// The sheets inside the program's document frame: what a sheet window
// leaves in the project's option file when the user moves to another window.
#include "kelvo/sheet_windows.h"

#include <QMessageBox>

#include "app_fixture.h"
#include "child_frame.h"
#include "kelvo/grid_format.h"
#include "kelvo/sheet_rows.h"
#include "kelvo/table_view.h"
#include "main_frame.h"
#include "program_wiring.h"

using namespace kelvo;
using kelvo_test::AppTest;

namespace {

class SheetWindowsTest : public AppTest {
 protected:
  void TearDown() override {
    kelvo_test::forgetProgramWiring();
    AppTest::TearDown();
  }

  // The program with the sheet windows, started on a new project.
  std::unique_ptr<CKelvoApp> start() {
    auto app = std::make_unique<CKelvoApp>(options());
    registerSheetWindows(*app);
    kelvo_test::whenModal([](QDialog* d) {
      kelvo_test::type(d, "code", "W-01");
      kelvo_test::type(d, "title", "창 전환");
      d->accept();
    });
    EXPECT_TRUE(app->startup({}));
    return app;
  }

  static CTableView* sheet(CKelvoApp& app) {
    return qobject_cast<CTableView*>(app.mainFrame()->childFrame()->content());
  }

  // The column records of sheet kind on file (empty when none).
  static std::vector<ColumnRecord> storedColumns(CKelvoApp& app, ViewKind kind, size_t count) {
    ProjectDb& db = app.document()->db();
    const TableBinding* t = sheetTable(&db, kind);
    if (!t) return {};
    return readColumns(&db.opt, kind, static_cast<int>(count), t->tb.fieldCount);
  }
};

}  // namespace

TEST_F(SheetWindowsTest, LeavingASheetWindowKeepsItsColumnWidthsInTheOptionFile) {
  auto app = start();
  ASSERT_TRUE(app->document()->isOpen());
  ASSERT_TRUE(app->requestWindow(8));
  CTableView* view = sheet(*app);
  ASSERT_NE(view, nullptr);
  const ViewKind kind = view->viewKind();
  ASSERT_GE(view->columns().size(), 2u);
  const std::vector<ColumnRecord> before = view->columns();
  const int wider = before[0].width + 137;
  view->applyResize(DragKind::Column, 0, wider);
  ASSERT_EQ(view->columns()[0].width, wider);

  // Put the old widths back on file, as if the widening had not been
  // written yet: only leaving the window can bring it there now.
  writeColumns(&app->document()->db().opt, kind, before);
  ASSERT_EQ(storedColumns(*app, kind, before.size()).at(0).width, before[0].width);

  ASSERT_TRUE(app->requestWindow(1));
  ASSERT_NE(app->mainFrame()->currentWindow(), 8);
  const auto kept = storedColumns(*app, kind, before.size());
  ASSERT_EQ(kept.size(), before.size());
  EXPECT_EQ(kept[0].width, wider);
  EXPECT_EQ(kept[1].width, before[1].width);

  // Coming back, the new sheet reads the widened column.
  ASSERT_TRUE(app->requestWindow(8));
  view = sheet(*app);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->columns()[0].width, wider);
  // The program now ends with the project open: its frame, and the views'
  // last store, go before the document they reach.
}
