// The network chart's settings sheets as a planner uses them: "선택 사항"
// pages sharing one working copy, applied on OK with one undo step and
// left alone on Cancel; "자료 형식" with the label templates on screen and
// on paper.
#include "kelvo/network_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include "kelvo/option_slots.h"
#include "kelvo/property_sheet.h"
#include "kelvo/text_fields.h"
#include "network_fixture.h"
#include "xjor/field.h"

namespace kelvo_test {
namespace {

const QColor kTeal(0x80, 0x80, 0);

template <class W>
W* field(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(QString::fromLatin1(name));
  EXPECT_TRUE(w) << name;
  return w;
}

void shoot(QWidget* w, const char* name) {
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists()) w->grab().save(folder + '/' + name);
}

kelvo::CPropertySheet* sheetOf(QDialog* d) {
  auto* sheet = qobject_cast<kelvo::CPropertySheet*>(d);
  EXPECT_TRUE(sheet);
  return sheet;
}

void press(QWidget* parent, const char* button) {
  for (QPushButton* b : parent->findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(button)) b->click();
}

// Sets an editor's text as typed and presses one of its buttons.
void typeAndPress(kelvo::LabelTemplateEditor* editor, const QString& text, const char* button) {
  field<QLineEdit>(editor, "text")->setText(text);
  field<QRadioButton>(editor, "textChoice")->setChecked(true);
  press(editor, button);
}

TEST_F(NetworkTest, OptionsSheetAppliesOneWorkingCopyOnOkOnly) {
  openWindow();
  const int32_t nodeEdge = xOf(2) + 15;  // inside a 4 mm node, outside a 2 mm one
  EXPECT_NE(grab().pixelColor(at(nodeEdge, centre(1))), kTeal);
  const int16_t rowHeight = chart_->scale().settings().rowHeight;

  kelvo_test::whenModal([](QDialog* d) {
    kelvo::CPropertySheet* sheet = sheetOf(d);
    // The chart's own pages between the time-scale pages every
    // time-scaled view shows.
    ASSERT_EQ(sheet->pageCount(), 4);
    EXPECT_EQ(sheet->tabs()->tabText(0), QStringLiteral("기간 표시"));
    EXPECT_EQ(sheet->tabs()->tabText(1), QStringLiteral("도표"));
    EXPECT_EQ(sheet->tabs()->tabText(2), QStringLiteral("기간표시 바깥"));
    EXPECT_EQ(sheet->tabs()->tabText(3), QStringLiteral("S-Curve"));
    sheet->tabs()->setCurrentIndex(1);
    shoot(d, "issue33_form_net_chart.png");
    field<QSpinBox>(d, "nodeWidth")->setValue(40);
    field<QSpinBox>(d, "pathHeight")->setValue(90);
    field<QCheckBox>(d, "flag2000")->setChecked(false);  // "연결선 위쪽 표시"
    // Leaving the page and coming back keeps what was entered.
    sheet->tabs()->setCurrentIndex(2);
    field<QLineEdit>(d, "caption0")->setText(QStringLiteral("공종 구분"));
    field<QSpinBox>(d, "leftWidth")->setValue(300);
    shoot(d, "issue33_form_net_sides.png");
    sheet->tabs()->setCurrentIndex(1);
    EXPECT_EQ(field<QSpinBox>(d, "nodeWidth")->value(), 40);
    d->accept();
  });
  ASSERT_TRUE(chart_->onCommand(kelvo::cmd::kOptions));
  EXPECT_EQ(chart_->block().nodeWidth, 40);
  const kelvo::TimeScaleSettings& s = chart_->scale().settings();
  EXPECT_EQ(s.rowHeight, 90);
  EXPECT_EQ(s.leftTableWidth, 300);
  EXPECT_EQ(s.flags & kelvo::netflag::kUpperLabels, 0);
  EXPECT_EQ(kelvo::fieldText(chart_->sideCaptions().left, 33), QStringLiteral("공종 구분"));
  EXPECT_TRUE(doc_->isModified());
  const QImage after = grab("issue33_form_net_after.png");
  EXPECT_EQ(after.pixelColor(at(xOf(2) + 15, centre(1))), kTeal);
  // The left caption is written in the new left area, in black.
  const QRect area(at(0, 0).x() + 2, 0, at(300, 0).x() - at(0, 0).x() - 4, after.height());
  int dark = 0;
  for (int y = area.top(); y < area.bottom(); ++y)
    for (int x = std::max(0, area.left()); x < area.right(); ++x)
      dark += after.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark, 20);
  // The settings are stored: record 116 holds the node width after the 172
  // bytes of the scale.
  std::vector<uint8_t> stored(282);
  ASSERT_EQ(xOption(&db().opt, XOPT_READ,
                    kelvo::kindItem(kelvo::KindRecord::Settings, kelvo::ViewKind::Network),
                    stored.data(), 282),
            1);
  EXPECT_EQ(stored[172 + 6], 40);

  // Cancel leaves everything as it is, even with pages edited.
  kelvo_test::whenModal([](QDialog* d) {
    sheetOf(d)->tabs()->setCurrentIndex(1);
    field<QSpinBox>(d, "nodeWidth")->setValue(60);
    field<QSpinBox>(d, "pathHeight")->setValue(30);
    d->reject();
  });
  chart_->onCommand(kelvo::cmd::kOptions);
  EXPECT_EQ(chart_->block().nodeWidth, 40);
  EXPECT_EQ(chart_->scale().settings().rowHeight, 90);

  // One undo takes the scale settings back.
  ASSERT_TRUE(chart_->onCommand(kelvo::cmd::kEditUndo));
  EXPECT_EQ(chart_->scale().settings().rowHeight, rowHeight);
  EXPECT_EQ(chart_->scale().settings().leftTableWidth, 0);
}

TEST_F(NetworkTest, LabelTemplatesOnScreenAndOnPaper) {
  openWindow();
  const QImage before = grab();
  kelvo_test::whenModal([](QDialog* d) {
    kelvo::CPropertySheet* sheet = sheetOf(d);
    ASSERT_EQ(sheet->pageCount(), 2);
    EXPECT_EQ(sheet->tabs()->tabText(0), QStringLiteral("인쇄 형식"));
    // A record without paper templates shows the screen's.
    EXPECT_FALSE(field<QLabel>(d, "paperLabel0")->text().isEmpty());
    shoot(d, "issue33_form_net_print.png");
    // The lower template printed on paper: its field becomes a text.
    kelvo_test::whenModal([](QDialog* editor) {
      auto* e = editor->findChild<kelvo::LabelTemplateEditor*>();
      ASSERT_TRUE(e);
      typeAndPress(e, QStringLiteral("PAPERLOW"), "수정");
      editor->accept();
    });
    field<QPushButton>(d, "editPaperLabel1")->click();
    EXPECT_EQ(field<QLabel>(d, "paperLabel1")->text(), QStringLiteral("\"PAPERLOW\""));

    sheet->tabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet->tabs()->tabText(1), QStringLiteral("항목 형식"));
    auto* upper = field<kelvo::LabelTemplateEditor>(d, "upper");
    typeAndPress(upper, QStringLiteral("XYZW"), "수정");
    // 4 + 32 + the end mark fill 40 bytes; one more item is refused.
    typeAndPress(upper, QString(30, 'x'), "첨가");
    typeAndPress(upper, QStringLiteral("y"), "첨가");
    EXPECT_EQ(upper->items().size(), 2u);
    shoot(d, "issue33_form_net_items.png");
    d->accept();
  });
  ASSERT_TRUE(chart_->onCommand(kelvo::cmd::kDataFormat));
  const uint8_t* t = chart_->block().upperLabel;
  const uint8_t head[7] = {0xFC, 'X', 'Y', 'Z', 'W', 0, 0xFC};
  EXPECT_EQ(std::memcmp(t, head, sizeof head), 0);
  EXPECT_EQ(t[39], 0xFF);
  EXPECT_NE(grab("issue33_form_net_labels.png"), before);

  // Paper keeps the templates the record had: the old upper one (the
  // activity names) and the edited lower one.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path("labels.pdf"));
  ASSERT_TRUE(chart_->printTo(&printer));
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {path("labels.pdf"), QStringLiteral("-")});
  p.waitForFinished(20000);
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(text.contains(QStringLiteral("foundation"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("PAPERLOW"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("XYZW"))) << text.toStdString();
}

TEST_F(NetworkTest, TemplateEditorMakesLineBreaksAndWrappedFields) {
  openWindow();
  // The first field that is not text: it cannot wrap.
  int number = 0;
  while (number < db().act.tb.fieldCount && db().act.tb.fields[number].type == XF_STRING) ++number;
  kelvo_test::whenModal([number](QDialog* d) {
    sheetOf(d)->tabs()->setCurrentIndex(1);
    auto* upper = field<kelvo::LabelTemplateEditor>(d, "upper");
    // After the stored field 1: a line break, field 1 again over three
    // lines, then the number field, whose lines box is off.
    field<QRadioButton>(upper, "breakChoice")->setChecked(true);
    press(upper, "첨가");
    field<QRadioButton>(upper, "fieldChoice")->setChecked(true);
    field<QComboBox>(upper, "field")->setCurrentIndex(1);
    field<QSpinBox>(upper, "lines")->setValue(3);
    press(upper, "첨가");
    field<QComboBox>(upper, "field")->setCurrentIndex(number);
    EXPECT_FALSE(field<QSpinBox>(upper, "lines")->isEnabled());
    press(upper, "첨가");
    // Selecting the wrapped field shows its lines again.
    field<QListWidget>(upper, "items")->setCurrentRow(2);
    EXPECT_EQ(field<QSpinBox>(upper, "lines")->value(), 3);
    shoot(d, "issue33_form_net_wrap.png");
    d->accept();
  });
  ASSERT_TRUE(chart_->onCommand(kelvo::cmd::kDataFormat));
  const uint8_t expected[] = {1, 0xFE, 1, 0xFD, 0xFD, uint8_t(number), 0xFF};
  EXPECT_EQ(std::memcmp(chart_->block().upperLabel, expected, sizeof expected), 0);
}

}  // namespace
}  // namespace kelvo_test
