// The settings sheet: nothing is written unless every page accepts its
// values, and then every page writes.
#include "kelvo/property_sheet.h"

#include <QTabWidget>

#include "shell_fixture.h"

namespace {

class CountingPage : public kelvo::CPropertyPage {
 public:
  CountingPage(const QString& title, bool valid, int* applied)
      : CPropertyPage(title), valid_(valid), applied_(applied) {}
  bool validate() override { return valid_; }
  void apply() override { ++*applied_; }
  bool valid_;
  int* applied_;
};

class PropertySheetTest : public kelvo_test::ShellTest {};

TEST_F(PropertySheetTest, OkWritesOnlyWhenEveryPageAccepts) {
  kelvo::CPropertySheet sheet(QStringLiteral("선택 사항"));
  int applied = 0;
  auto* first = new CountingPage(QStringLiteral("기간 표시"), true, &applied);
  auto* second = new CountingPage(QStringLiteral("도표"), false, &applied);
  sheet.addPage(first);
  sheet.addPage(second);
  ASSERT_EQ(sheet.pageCount(), 2);
  EXPECT_EQ(sheet.tabs()->tabText(1), QStringLiteral("도표"));

  sheet.show();
  sheet.tabs()->setCurrentIndex(0);
  sheet.accept();
  EXPECT_EQ(applied, 0) << "a refusing page must stop every page from writing";
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.tabs()->currentIndex(), 1) << "the refusing page is shown";

  second->valid_ = true;
  sheet.accept();
  EXPECT_EQ(applied, 2);
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

}  // namespace
