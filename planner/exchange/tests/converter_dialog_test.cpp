// The converter registration dialog reached through its menu command: what
// it writes into the "Convert" section and how it reads it back.
#include "converter_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "exchange_fixture.h"

using kelvo::CConverterDlg;
using kelvo_test::ExchangeTest;
using kelvo_test::whenModal;

namespace {

void fill(QDialog* d, const QString& extension, const QString& title, const QString& file,
          bool editor) {
  d->findChild<QLineEdit*>("extension")->setText(extension);
  d->findChild<QLineEdit*>("title")->setText(title);
  d->findChild<QLineEdit*>("file")->setText(file);
  d->findChild<QCheckBox*>("editor")->setChecked(editor);
}

QString value(QSettings& s, const char* key) {
  return s.value(QStringLiteral("Convert/") + key).toString();
}

class ConverterDialogTest : public ExchangeTest {};

}  // namespace

TEST_F(ConverterDialogTest, WritesTheSectionAndReadsItBack) {
  auto app = start();
  whenModal([&](QDialog* d) {
    auto* dialog = qobject_cast<CConverterDlg*>(d);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(d->findChild<QTreeWidget*>("list")->topLevelItemCount(), 0);
    EXPECT_FALSE(dialog->removeRow());  // empty list
    EXPECT_FALSE(dialog->modifyRow());  // nothing selected
    fill(d, "DBF", "dBASE 파일", "xKvDbf.so", false);
    EXPECT_TRUE(dialog->addRow());
    fill(d, "xlsx", "엑셀 통합 문서", "xKvXls.so", true);
    EXPECT_TRUE(dialog->addRow());
    // Texts the settings file could not give back are refused.
    for (const char* bad : {"", "a,b", "x y", "a=b", "a/b"}) {
      fill(d, bad, "나쁜", "xKvBad.so", false);
      EXPECT_FALSE(dialog->addRow()) << bad;
    }
    fill(d, "txt", "글", "../xKvTxt.so", false);
    EXPECT_FALSE(dialog->addRow());
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40116));

  {
    QSettings s(path("kelvo.ini"), QSettings::IniFormat);
    EXPECT_EQ(s.value("Convert/Count").toInt(), 2);
    EXPECT_EQ(value(s, "Def"), "xlsx");
    EXPECT_EQ(value(s, "Ext0"), "dbf,dBASE 파일");
    EXPECT_EQ(value(s, "Ext1"), "xlsx,엑셀 통합 문서");
    EXPECT_EQ(value(s, "dbf"), "xKvDbf.so");
    EXPECT_EQ(value(s, "xlsx"), "xKvXls.so");
  }

  // Read back: first row selected and shown; the editor's row checks the
  // box. Edits then cancelled leave the section as it was.
  const QByteArray before = [&] {
    QFile f(path("kelvo.ini"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  whenModal([&](QDialog* d) {
    auto* dialog = qobject_cast<CConverterDlg*>(d);
    auto* list = d->findChild<QTreeWidget*>("list");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(1), "엑셀 통합 문서");
    EXPECT_EQ(d->findChild<QLineEdit*>("extension")->text(), "dbf");
    EXPECT_EQ(d->findChild<QLineEdit*>("file")->text(), "xKvDbf.so");
    EXPECT_FALSE(d->findChild<QCheckBox*>("editor")->isChecked());
    EXPECT_FALSE(dialog->moveRowUp());  // the first row cannot move up
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(d->findChild<QLineEdit*>("extension")->text(), "xlsx");
    EXPECT_TRUE(d->findChild<QCheckBox*>("editor")->isChecked());
    EXPECT_TRUE(dialog->moveRowUp());
    EXPECT_EQ(list->topLevelItem(0)->text(0), "xlsx");
    EXPECT_TRUE(dialog->removeRow());
    d->reject();
  });
  EXPECT_FALSE(app->router()->dispatch(40116));
  QFile after(path("kelvo.ini"));
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), before);

  // Moving up and removing the last row, then OK: the list order is kept.
  whenModal([&](QDialog* d) {
    auto* dialog = qobject_cast<CConverterDlg*>(d);
    auto* list = d->findChild<QTreeWidget*>("list");
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(dialog->moveRowUp());
    fill(d, "tst", "시험", "xKvTest.so", false);
    EXPECT_TRUE(dialog->addRow());
    EXPECT_TRUE(dialog->removeRow());  // the last row: the one above is selected
    EXPECT_EQ(d->findChild<QLineEdit*>("extension")->text(), "dbf");
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40116));
  QSettings s(path("kelvo.ini"), QSettings::IniFormat);
  const kvconv::Registrations regs = kvconv::readRegistrations(s);
  ASSERT_EQ(regs.entries.size(), 2u);
  EXPECT_EQ(regs.entries[0].extension, "xlsx");
  EXPECT_EQ(regs.entries[1].extension, "dbf");
  EXPECT_EQ(regs.editor, "xlsx");
  EXPECT_EQ(s.value("Convert/Count").toInt(), 2);
  EXPECT_FALSE(s.contains("Convert/tst"));
}
