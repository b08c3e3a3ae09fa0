// The classification tree of window 0 on the sample project: the tree beside
// the sheet, the sheet listing a node's children, delete, copy and paste of
// branches with the codes the store keeps afterwards.
#include "kelvo/wbs_tree.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSplitter>
#include <QTimer>
#include <algorithm>

#include "child_frame.h"
#include "class_copy_dialog.h"
#include "kelvo/class_tree.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_windows.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kelvo/view_state.h"
#include "main_frame.h"
#include "option_bar.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"

using namespace kelvo;
using kelvo_test::ShellTest;

namespace {

class WbsTreeTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (kelvo_test::copySampleProject(kelvo_test::binDir(), dir_.path()).isEmpty()) return;
    AppOptions o;
    o.programFolder = kelvo_test::binDir();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    app_ = std::make_unique<CKelvoApp>(o);
    registerSheetWindows(*app_);
    ASSERT_TRUE(app_->startup({path("small_building.kvp")}));
  }
  void TearDown() override {
    app_.reset();
    kelvo_test::forgetProgramWiring();
    ShellTest::TearDown();
  }

  // Shows window 0 with the classification cls and finds its tree.
  CWbsTree* openTree(int cls) {
    CMainFrame* frame = app_->mainFrame();
    frame->optionState().comboChoice[10500] = cls;
    if (!app_->requestWindow(0)) return nullptr;
    if (frame->optionState().reopenWindow) frame->optionState().reopenWindow();
    return frame->childFrame()->content()->findChild<CWbsTree*>();
  }

  QTreeWidgetItem* itemOfCode(CWbsTree* tree, const char* code) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
      if (tree->itemOfRecord(-1) != *it && codeOf((*it)->data(0, Qt::UserRole).toInt()) == code)
        return *it;
    return nullptr;
  }
  std::string codeOf(int32_t record) {
    for (const ClassCode& c : readClassCodes(db(), kClassWorkType))
      if (c.record == record) return c.code;
    return {};
  }
  std::vector<std::string> storedCodes(int cls, const std::string& prefix) {
    std::vector<std::string> codes;
    for (const ClassCode& c : readClassCodes(db(), cls))
      if (c.code.compare(0, prefix.size(), prefix) == 0) codes.push_back(c.code);
    return codes;
  }
  // The codes the sheet lists, in row order.
  std::vector<std::string> sheetCodes(CWbsTree* tree) {
    std::vector<std::string> codes;
    const SheetRows& rows = tree->sheet()->rows();
    std::vector<char> buffer(size_t(rows.table()->tb.recordSize) + 1);
    for (uint32_t r = 0; r < rows.count(); ++r)
      if (rows.read(r, buffer.data()))
        codes.emplace_back(buffer.data() + offsetof(WbsRecord, code));
    return codes;
  }
  // Pastes with the copy dialog answered: the new level part and whether the
  // branch goes along.
  bool pasteAs(CWbsTree* tree, const QString& part, bool all = true) {
    QTimer::singleShot(0, [part, all] {
      auto* dialog = qobject_cast<ClassCopyDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->partEdit()->setText(part);
      if (!all) dialog->findChild<QCheckBox*>()->setChecked(false);
      dialog->accept();
    });
    return tree->paste();
  }
  ProjectDb& db() { return app_->document()->db(); }

  std::unique_ptr<CKelvoApp> app_;
};

#define REQUIRE_SAMPLE() \
  if (!app_) GTEST_SKIP() << "no sample project in the build"

}  // namespace

TEST_F(WbsTreeTest, TheTreeShowsTheLevelsAndTheSheetTheChildrenOfTheSelection) {
  REQUIRE_SAMPLE();
  CWbsTree* tree = openTree(kClassWorkType);
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(tree->sheet(), nullptr);
  EXPECT_EQ(tree->sheet()->viewKind(), ViewKind::WorkTypeTree);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  EXPECT_EQ(root->text(0), "공종 분류");
  EXPECT_EQ(root->childCount(), 11);
  EXPECT_EQ(root->child(0)->text(0), "A 가설공사");
  // An item shows only its own level part.
  EXPECT_EQ(itemOfCode(tree, "C0101")->text(0), "01 버림 콘크리트");
  EXPECT_EQ(itemOfCode(tree, "C0101")->parent(), itemOfCode(tree, "C01"));

  struct Case {
    const char* selected;  // null: the root
    std::vector<std::string> listed;
  } cases[] = {{nullptr, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"}},
               {"C", {"C01", "C02"}},
               {"G01", {"G0101", "G0102", "G0103"}},
               {"C0101", {}}};
  for (const Case& c : cases) {
    tree->setCurrentItem(c.selected ? itemOfCode(tree, c.selected) : root);
    EXPECT_EQ(sheetCodes(tree), c.listed) << (c.selected ? c.selected : "root");
    EXPECT_EQ(tree->sheet()->rowCount(), int(c.listed.size()));
  }

  // What the user sees: the tree at the left, C's children in the sheet,
  // whose code column shows and takes only the codes' own level part.
  tree->expandAll();
  tree->setCurrentItem(itemOfCode(tree, "C"));
  CTableView* sheet = tree->sheet();
  int codeColumn = -1;
  for (size_t c = 0; c < sheet->columns().size(); ++c)
    if (sheet->fieldDesc(sheet->columns()[c].field)->offset == offsetof(WbsRecord, code))
      codeColumn = int(c);
  ASSERT_GE(codeColumn, 0);
  sheet->rowLabel(1);
  EXPECT_EQ(sheet->cellText(sheet->columns()[size_t(codeColumn)].field), "02");
  viewState().editTool = tool::kDataInput;
  ASSERT_TRUE(sheet->goToRow(2));  // the new-record row
  if (sheet->currentColumn() != codeColumn) {
    ASSERT_TRUE(sheet->goToColumn(codeColumn));
  }
  ASSERT_TRUE(sheet->editorShown());
  EXPECT_EQ(sheet->lineEditor()->text(), "");
  sheet->lineEditor()->setText("03");
  ASSERT_TRUE(sheet->moveToRow(kCommitOnly));
  EXPECT_EQ(storedCodes(kClassWorkType, "C03"), std::vector<std::string>{"C03"});
  EXPECT_EQ(itemOfCode(tree, "C03")->text(0).left(3), "03 ");
  ASSERT_TRUE(sheet->goToRow(0));
  EXPECT_EQ(sheet->lineEditor()->text(), "01");
  viewState().editTool = tool::kDataSelect;
  tree->setCurrentItem(itemOfCode(tree, "C"));
  QWidget* window = app_->mainFrame();
  window->resize(1000, 640);
  window->show();
  QApplication::processEvents();
  const QImage shot = window->grab().toImage();
  EXPECT_NEAR(tree->width(), 200, 40);
  EXPECT_TRUE(tree->isVisible() && tree->sheet()->isVisible());
  if (const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR"); !shots.isEmpty())
    shot.save(shots + "/issue31_tree.png");

  // With the tree in charge only "자료 선택" is a tool and window 0 is shown
  // as the current window.
  struct Command {
    int id;
    bool enabled, checked;
  } commands[] = {{40000, true, true}, {40001, false, false}, {40032, true, true}};
  for (const Command& c : commands) {
    CommandState st;
    ASSERT_TRUE(tree->updateCommand(c.id, st)) << c.id;
    EXPECT_EQ(st.enabled, c.enabled) << c.id;
    EXPECT_EQ(st.checked, c.checked) << c.id;
  }

  // The facility tree of the same window.
  tree = openTree(kClassFacility);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "시설 분류");
  EXPECT_EQ(tree->topLevelItem(0)->child(1)->child(0)->text(0), "01 지상 1층");
}

TEST_F(WbsTreeTest, APastedBranchIsStoredUnderItsNewCode) {
  REQUIRE_SAMPLE();
  CWbsTree* tree = openTree(kClassWorkType);
  ASSERT_NE(tree, nullptr);
  tree->setCurrentItem(itemOfCode(tree, "C"));
  ASSERT_TRUE(tree->copySelected());
  tree->setCurrentItem(tree->topLevelItem(0));
  // The other views hear of the branch of seven codes once.
  int refreshes = 0;
  const auto counting = QObject::connect(app_->document(), &CPlanDoc::viewsUpdate,
                                         [&](quint64, int h, qintptr) { refreshes += h == 11; });
  ASSERT_TRUE(pasteAs(tree, "L"));
  QObject::disconnect(counting);
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(storedCodes(kClassWorkType, "L"),
            (std::vector<std::string>{"L", "L01", "L0101", "L0102", "L02", "L0201", "L0202"}));
  EXPECT_EQ(storedCodes(kClassWorkType, "C").size(), 7u);  // the source stays
  QTreeWidgetItem* copy = itemOfCode(tree, "L");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->childCount(), 2);
  EXPECT_EQ(itemOfCode(tree, "L0202")->text(0), "02 콘크리트 타설");
  EXPECT_TRUE(app_->document()->isModified());
  EXPECT_TRUE(messages_.empty());

  // One level down, without the branch: C01 pasted under A as A03.
  tree->setCurrentItem(itemOfCode(tree, "C01"));
  ASSERT_TRUE(tree->copySelected());
  tree->setCurrentItem(itemOfCode(tree, "A"));
  ASSERT_TRUE(pasteAs(tree, "03", false));
  EXPECT_EQ(storedCodes(kClassWorkType, "A03"), (std::vector<std::string>{"A03"}));
  EXPECT_EQ(sheetCodes(tree), (std::vector<std::string>{"A01", "A03"}));

  // At the wrong level: C01 under the root.
  tree->setCurrentItem(tree->topLevelItem(0));
  EXPECT_FALSE(tree->paste());
  EXPECT_EQ(messages_, (std::vector<int>{20047}));
}

// A branch dragged onto another item is pasted there as a copy and paste
// would, as one step: undo takes the whole branch away, a second undo puts
// it back.
TEST_F(WbsTreeTest, ADroppedBranchIsPastedThereAndUndoneAsOneStep) {
  REQUIRE_SAMPLE();
  CWbsTree* tree = openTree(kClassWorkType);
  ASSERT_NE(tree, nullptr);
  app_->mainFrame()->resize(1000, 640);
  app_->mainFrame()->show();
  tree->expandAll();
  QApplication::processEvents();
  // What the drop of a dragged item hands over: the item's record.
  const auto drop = [&](const char* code, QTreeWidgetItem* onto) {
    tree->dropCode(itemOfCode(tree, code)->data(0, Qt::UserRole).toInt(), onto);
  };
  // C0101 does not go under the root: the paste's message, nothing stored.
  drop("C0101", tree->topLevelItem(0));
  EXPECT_EQ(messages_, (std::vector<int>{20047}));
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<ClassCopyDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->partEdit()->setText("L");
    dialog->accept();
  });
  drop("C", tree->topLevelItem(0));
  const std::vector<std::string> branch{"L", "L01", "L0101", "L0102", "L02", "L0201", "L0202"};
  EXPECT_EQ(storedCodes(kClassWorkType, "L"), branch);
  ASSERT_TRUE(tree->onCommand(cmd::kEditUndo));
  EXPECT_TRUE(storedCodes(kClassWorkType, "L").empty());
  EXPECT_EQ(itemOfCode(tree, "L"), nullptr);
  EXPECT_EQ(storedCodes(kClassWorkType, "C").size(), 7u);
  ASSERT_TRUE(tree->onCommand(cmd::kEditUndo));
  EXPECT_EQ(storedCodes(kClassWorkType, "L"), branch);
  ASSERT_NE(itemOfCode(tree, "L"), nullptr);
  EXPECT_EQ(itemOfCode(tree, "L")->childCount(), 2);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(WbsTreeTest, ACodeOfTheWorkTypeTreeDoesNotPasteIntoTheFacilityTree) {
  REQUIRE_SAMPLE();
  CWbsTree* tree = openTree(kClassWorkType);
  ASSERT_NE(tree, nullptr);
  tree->setCurrentItem(itemOfCode(tree, "K"));
  ASSERT_TRUE(tree->copySelected());
  tree = openTree(kClassFacility);
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(CWbsTree::hasCopy());
  tree->setCurrentItem(tree->topLevelItem(0));
  EXPECT_FALSE(tree->paste());
  EXPECT_EQ(messages_, (std::vector<int>{20047}));
}

TEST_F(WbsTreeTest, DeleteMovesTheSelectionAndTheTreeFollowsTheSheet) {
  REQUIRE_SAMPLE();
  CWbsTree* tree = openTree(kClassWorkType);
  ASSERT_NE(tree, nullptr);
  optionFlags() |= optflag::kConfirmDelete;
  // The root is never deleted.
  tree->setCurrentItem(tree->topLevelItem(0));
  EXPECT_FALSE(tree->deleteSelected());
  EXPECT_TRUE(messages_.empty());

  struct Case {
    const char* deleted;
    const char* selectedAfter;
  } cases[] = {{"G0101", "G0102"},  // the next sibling
               {"G0103", "G0102"},  // the last child: the previous one
               {"G0102", "G01"}};   // an only child: the parent
  for (const Case& c : cases) {
    tree->setCurrentItem(itemOfCode(tree, c.deleted));
    ASSERT_TRUE(tree->deleteSelected()) << c.deleted;
    EXPECT_EQ(itemOfCode(tree, c.deleted), nullptr);
    EXPECT_EQ(tree->currentItem(), itemOfCode(tree, c.selectedAfter)) << c.deleted;
    EXPECT_TRUE(storedCodes(kClassWorkType, c.deleted).empty());
  }
  EXPECT_EQ(messages_, (std::vector<int>(3, kStrMsgDeleteAsk)));
  EXPECT_TRUE(sheetCodes(tree).empty());  // G01 has no children left

  // The sheet deletes H's first child and enters a new one.
  tree->setCurrentItem(itemOfCode(tree, "H01"));
  CTableView* sheet = tree->sheet();
  viewState().editTool = tool::kDataInput;
  sheet->moveToRow(0);
  ASSERT_TRUE(sheet->deleteAtCursor());
  EXPECT_EQ(itemOfCode(tree, "H0101"), nullptr);
  std::vector<char> fresh(size_t(db().wbs.tb.recordSize) + 1);
  std::strcpy(fresh.data() + offsetof(WbsRecord, code), "H0109");
  std::strcpy(fresh.data() + offsetof(WbsRecord, title), "new");
  ASSERT_TRUE(app_->document()->inputRecord(ViewKind::WorkTypeTree, -1, fresh.data()).ok);
  ASSERT_NE(itemOfCode(tree, "H0109"), nullptr);
  EXPECT_EQ(itemOfCode(tree, "H0109")->parent(), itemOfCode(tree, "H01"));
  EXPECT_EQ(itemOfCode(tree, "H0109")->text(0), "09 new");

  // A code renamed with its branch keeps its slot; the items follow.
  const int32_t slot = itemOfCode(tree, "C01")->data(0, Qt::UserRole).toInt();
  tree->setCurrentItem(itemOfCode(tree, "C"));
  std::vector<char> record(size_t(db().wbs.tb.recordSize) + 1);
  db().wbs.tb.current = slot;
  ASSERT_TRUE(xGetRec(&db().wbs.tb, record.data()));
  std::strcpy(record.data() + offsetof(WbsRecord, code), "C03");
  const EditResult renamed =
      app_->document()->inputRecord(ViewKind::WorkTypeTree, slot, record.data());
  ASSERT_TRUE(renamed.ok);
  EXPECT_EQ(renamed.slot, slot);
  EXPECT_EQ(itemOfCode(tree, "C0301")->parent(), itemOfCode(tree, "C03"));
  optionFlags() &= uint16_t(~optflag::kConfirmDelete);
}
