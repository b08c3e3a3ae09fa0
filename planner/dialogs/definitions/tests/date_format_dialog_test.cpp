// "날짜 표현 형식" as a user drives it: the example follows each change
// without touching the engine, a delimiter that would break date constants
// is refused, OK sets the engine's settings.
#include "date_format_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "definitions_fixture.h"
#include "kelvo/date_settings_scope.h"
#include "kelvo/report_items.h"
#include "kelvo/text_fields.h"
#include "xjor/packed_date.h"

namespace kelvo_test {
namespace {

using kelvo::CDateFormatDlg;

TEST(DateDelimiter, OnlyPrintablePunctuationOtherThanAt) {
  for (char c : {'\0', '-', '/', '.', '~', '!'}) EXPECT_TRUE(kelvo::isDateDelimiter(c)) << c;
  for (char c : {'@', ' ', '0', 'a', 'Z', '\t', '\x7F'})
    EXPECT_FALSE(kelvo::isDateDelimiter(c)) << c;
}

class DateFormatDialogTest : public DefinitionsTest {};

TEST_F(DateFormatDialogTest, ExampleFollowsAndOkSetsTheEngine) {
  auto app = start(sample("dates"));
  kelvo::DateSettingsScope restoreAfterTest;
  kelvo::CPlanDoc& doc = *app->document();
  DateInfo before;
  xGetDateInfo(&before);
  // Expressions holding date constants: the activity sheet's filter and a
  // report formula with its condition.
  std::vector<char> sheet(276, 0);
  kelvo::setFieldText(sheet.data() + 176, 100, QStringLiteral("[시작일] >= @26-03-03@"));
  ASSERT_NE(xOption(&doc.db().opt, XOPT_WRITE, 104, sheet.data(), 276), 0);
  kelvo::ObjectTable objects(&doc.db().objects);
  kelvo::ReportTextHeader formula;
  formula.source = kelvo::source::kFormula;
  ASSERT_GE(
      objects.append(kelvo::kSectionBody,
                     kelvo::makeReportText(kelvo::reportAnchor(0, 5, 0), 400, 50, 0, 0, LOGFONT{},
                                           formula, "@26-03-03@ - 1", "[x] = @26-03-04@")),
      0);
  CDateFormatDlg d(doc);
  d.show();
  auto* delimiter = d.findChild<QLineEdit*>("delimiter");
  d.findChild<QComboBox*>("form")->setCurrentIndex(3);
  delimiter->clear();
  QTest::keyClick(delimiter, Qt::Key_Slash);
  const uint16_t today = xGetToday();
  const QString expected = QStringLiteral("%1/%2/%3")
                               .arg(xjor::packedMonth(today), 2, 10, QChar('0'))
                               .arg(xjor::packedDay(today), 2, 10, QChar('0'))
                               .arg(xjor::packedYear(today));
  EXPECT_EQ(d.findChild<QLabel*>("example")->text(), expected);
  // The base day follows the form: the project start.
  EXPECT_EQ(d.findChild<QLineEdit*>("ordinalBase")->text(), QStringLiteral("03/03/2026"));
  // '@' marks date constants in expressions: refused, '/' stays.
  delimiter->selectAll();
  QTest::keyClick(delimiter, Qt::Key_At);
  EXPECT_EQ(delimiter->text(), QStringLiteral("/"));
  DateInfo now;
  xGetDateInfo(&now);
  EXPECT_EQ(now.form, before.form);  // nothing set before OK
  shoot(&d, "issue30_date_format.png");
  pressOk(&d);
  ASSERT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(xGetDateForm(), 3);
  EXPECT_EQ(xGetDateDelimiter(), '/');
  EXPECT_EQ(kelvo::dateText(xjor::packDate(2026, 3, 3)), QStringLiteral("03/03/2026"));
  EXPECT_TRUE(doc.isModified());
  // The constants name the same days in the new form.
  ASSERT_EQ(xOption(&doc.db().opt, XOPT_READ, 104, sheet.data(), 276), 1);
  EXPECT_EQ(kelvo::fieldText(sheet.data() + 176, 100), QStringLiteral("[시작일] >= @03/03/2026@"));
  const auto items = kelvo::reportItems(objects, kelvo::kSectionBody);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].text, "@03/03/2026@ - 1");
  EXPECT_EQ(items[0].condition, "[x] = @03/04/2026@");
}

TEST_F(DateFormatDialogTest, OrdinalWithoutValidBaseIsSwitchedOff) {
  auto app = start(sample("ordinal"));
  kelvo::DateSettingsScope restoreAfterTest;
  CDateFormatDlg d(*app->document());
  d.show();
  d.findChild<QCheckBox*>("ordinal")->setChecked(true);
  d.findChild<QLineEdit*>("ordinalBase")->setText(QStringLiteral("26-02-30"));
  pressOk(&d);
  EXPECT_EQ(xIsOrdinalTime(), 0);
}

}  // namespace
}  // namespace kelvo_test
