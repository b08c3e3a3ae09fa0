// "숫자 항목 자릿수" as a user drives it: a quantity width that would cut the
// sample's quantities is refused and corrected; an accepted one reaches the
// activity table's descriptors and the data sheet's text.
#include "digits_dialog.h"

#include <QSpinBox>

#include "definitions_fixture.h"
#include "kelvo/digit_settings.h"

namespace kelvo_test {
namespace {

using kelvo::CDigitsDlg;

class DigitsDialogTest : public DefinitionsTest {};

TEST_F(DigitsDialogTest, WidthThatCutsStoredValuesIsRefused) {
  auto app = start(sample("digits"));
  kelvo::CPlanDoc& doc = *app->document();
  const kelvo::DigitSettings before = kelvo::currentDigitSettings(&doc.db(), doc.info());
  CDigitsDlg d(doc);
  d.show();
  auto* quantity = d.findChild<QSpinBox*>("width1");
  quantity->setValue(1);
  d.findChild<QSpinBox*>("decimals1")->setValue(1);
  shoot(&d, "issue30_digits.png");
  pressOk(&d);
  EXPECT_TRUE(d.isVisible());
  const int narrowest = quantity->value();
  EXPECT_GT(narrowest, 1);
  EXPECT_LE(narrowest, before[kelvo::kQuantityRow].width);
  EXPECT_FALSE(doc.isModified());
  // The corrected width is taken.
  pressOk(&d);
  ASSERT_EQ(d.result(), QDialog::Accepted);
  const kelvo::DigitSettings after = kelvo::currentDigitSettings(&doc.db(), doc.info());
  EXPECT_EQ(after[kelvo::kQuantityRow].width, narrowest);
  EXPECT_EQ(after[kelvo::kQuantityRow].decimals, 1);
  EXPECT_EQ(after[kelvo::kAmountRow].width, before[kelvo::kAmountRow].width);
  EXPECT_TRUE(doc.isModified());
}

}  // namespace
}  // namespace kelvo_test
