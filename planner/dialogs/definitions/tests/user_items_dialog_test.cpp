// "사용자 집계 항목" as a user drives it: names, digits and the thousands
// separator reach the three descriptors (and nothing else of them, nor any
// record); a name another field has is refused and changes nothing.
#include "user_items_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "definitions_fixture.h"
#include "kelvo/text_fields.h"

namespace kelvo_test {
namespace {

using kelvo::CUserItemsDlg;

class UserItemsDialogTest : public DefinitionsTest {
 protected:
  static std::vector<char> descriptors(const TableHandle& tb) {
    const char* at = reinterpret_cast<const char*>(tb.fields);
    return {at, at + sizeof(FieldDesc) * tb.fieldCount};
  }
};

TEST_F(UserItemsDialogTest, NamesDigitsAndSeparatorReachTheDescriptors) {
  auto app = start(sample("useritems"));
  kelvo::CPlanDoc& doc = *app->document();
  TableHandle& acts = doc.db().act.tb;
  ASSERT_GE(acts.fieldCount, 40);
  const std::vector<char> before = descriptors(acts);
  const FieldDesc first = acts.fields[37], third = acts.fields[39];
  CUserItemsDlg d(doc);
  d.show();
  auto* name0 = d.findChild<QLineEdit*>("name0");
  EXPECT_EQ(name0->text(), kelvo::fieldText(first.name, sizeof first.name));
  // A name the table has already is refused: nothing changes.
  name0->setText(QStringLiteral("소요일수"));
  pressOk(&d);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(descriptors(acts), before);
  EXPECT_FALSE(doc.isModified());

  name0->setText(QStringLiteral("  기성 금액 "));
  d.findChild<QSpinBox*>("width0")->setValue(12);
  d.findChild<QSpinBox*>("decimals0")->setValue(2);
  d.findChild<QCheckBox*>("thousands0")->setChecked(!(first.flags & XF_COMMA));
  d.findChild<QLineEdit*>("name2")->clear();  // keeps its name
  d.findChild<QSpinBox*>("decimals2")->setValue(9);
  shoot(&d, "issue30_user_items.png");
  pressOk(&d);
  ASSERT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(doc.isModified());

  const FieldDesc& f = acts.fields[37];
  EXPECT_EQ(kelvo::fieldText(f.name, sizeof f.name), QStringLiteral("기성 금액"));
  EXPECT_EQ(f.width, 12);
  EXPECT_EQ(f.decimals, 2);
  EXPECT_EQ(f.type, first.type);
  EXPECT_EQ(f.offset, first.offset);
  EXPECT_EQ(f.flags, first.flags ^ XF_COMMA) << "only the separator bit";
  EXPECT_EQ(std::memcmp(acts.fields[39].name, third.name, sizeof third.name), 0);
  EXPECT_EQ(acts.fields[39].decimals, 9);
  // Every other descriptor is as it was, byte for byte.
  const std::vector<char> after = descriptors(acts);
  for (int i = 0; i < acts.fieldCount; ++i)
    if (i < 37 || i > 39)
      EXPECT_EQ(std::memcmp(&after[i * sizeof(FieldDesc)], &before[i * sizeof(FieldDesc)],
                            sizeof(FieldDesc)),
                0)
          << i;
}

}  // namespace
}  // namespace kelvo_test
