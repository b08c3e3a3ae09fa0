#include "object_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/object_paint.h"
#include "xJorImg.h"
#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

constexpr int kPenStyles = 7;
constexpr int kPatterns = 7;  // solid, then hatches 0..5
const UnitMapper kSampleMapper(96, 96);

// A sample of a pen style or a fill pattern for the owner-drawn lists.
QPixmap styleSample(int16_t lineStyle, int16_t lineWidth, COLORREF line, int16_t fill,
                    COLORREF fillColor, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  const QRectF box(4, 3, size.width() - 8, size.height() - 6);
  if (fill == fillcode::kNone && lineStyle >= 0) {
    p.setPen(objectPen(lineStyle, lineWidth, line, kSampleMapper));
    p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
  } else {
    p.setPen(objectPen(lineStyle, lineWidth, line, kSampleMapper));
    p.setBrush(objectBrush(fill, fillColor, kSampleMapper));
    p.drawRect(box);
  }
  return pixmap;
}

QPushButton* colourButton(QWidget* parent, COLORREF* colour, std::function<void()> changed) {
  auto* button = new QPushButton(QStringLiteral("색깔..."), parent);
  QObject::connect(button, &QPushButton::clicked, parent, [parent, colour, changed] {
    if (xColorDlg(parent, colour)) changed();
  });
  return button;
}

}  // namespace

// --- "문자 형식" -----------------------------------------------------------------

bool execTextDialog(QWidget* parent, TextInput* input) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("문자 형식"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QPlainTextEdit(input->text, &dialog);
  text->setObjectName(QStringLiteral("text"));
  layout->addWidget(text);
  LOGFONT font = input->font;
  COLORREF colour = 0;
  auto* fontButton = new QPushButton(QStringLiteral("글꼴..."), &dialog);
  QObject::connect(fontButton, &QPushButton::clicked, &dialog,
                   [&] { xFontDlg(&dialog, &font, &colour, nullptr, nullptr); });
  layout->addWidget(fontButton);
  auto* row = new QHBoxLayout;
  auto* group = new QButtonGroup(&dialog);
  const char* captions[] = {"왼쪽 정렬", "오른쪽 정렬", "가운데 정렬"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(captions[i]), &dialog);
    group->addButton(radio, i);
    row->addWidget(radio);
  }
  if (auto* b = group->button(std::clamp<int>(input->alignment, 0, 2))) b->setChecked(true);
  layout->addLayout(row);
  layout->addWidget(okCancelButtons(&dialog));
  if (dialog.exec() != QDialog::Accepted || text->toPlainText().isEmpty()) return false;
  input->text = text->toPlainText();
  input->font = font;
  input->alignment = int16_t(std::max(0, group->checkedId()));
  return true;
}

// --- "그림" ---------------------------------------------------------------------------

bool execPictureDialog(QWidget* parent, PictureInput* input) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("그림"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* file = new QLabel(input->path, &dialog);
  auto* other = new QPushButton(QStringLiteral("다른 파일..."), &dialog);
  auto* natural = new QCheckBox(QStringLiteral("크기대로 표시"), &dialog);
  natural->setChecked(input->naturalSize);
  QString path = input->path;
  QObject::connect(other, &QPushButton::clicked, &dialog, [&] {
    // The filter lists the picture service's formats in their order.
    QStringList filters;
    for (int i = 0; i < XJORIMG_FORMATS; ++i) {
      char name[64] = {}, pattern[64] = {};
      xGetImgFmt(i, name, sizeof name);
      xGetImgExt(i, pattern, sizeof pattern);
      filters << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(name), QString::fromUtf8(pattern));
    }
    const QString chosen =
        QFileDialog::getOpenFileName(&dialog, QStringLiteral("그림"), path, filters.join(";;"));
    if (chosen.isEmpty()) return;
    path = chosen;
    file->setText(chosen);
  });
  layout->addWidget(file);
  layout->addWidget(other);
  layout->addWidget(natural);
  layout->addWidget(okCancelButtons(&dialog));
  if (path.isEmpty()) other->click();
  if (path.isEmpty() || dialog.exec() != QDialog::Accepted) return false;
  input->path = path;
  input->naturalSize = natural->isChecked();
  return true;
}

// --- "도형 모양" ------------------------------------------------------------------------

bool execStyleDialog(QWidget* parent, ShapeStyle* style) {
  ShapeStyle s = *style;
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("도형 모양"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* tabs = new QTabWidget(&dialog);
  layout->addWidget(tabs);

  // Page "선": pen style, width, colour, preview.
  auto* linePage = new QWidget(tabs);
  linePage->setObjectName(QStringLiteral("CLineStylePage"));
  auto* lg = new QGridLayout(linePage);
  auto* pens = new QComboBox(linePage);
  pens->setObjectName(QStringLiteral("penStyle"));
  pens->setIconSize(QSize(80, 14));
  for (int i = 0; i < kPenStyles; ++i)
    pens->addItem(QIcon(styleSample(int16_t(i), 0, 0, fillcode::kNone, 0, QSize(80, 14))),
                  QString());
  pens->setCurrentIndex(std::clamp<int>(s.lineStyle, 0, kPenStyles - 1));
  auto* width = new QSpinBox(linePage);
  width->setObjectName(QStringLiteral("penWidth"));
  width->setRange(0, 1000);
  width->setValue(std::clamp<int>(s.lineWidth, 0, 1000));
  auto* linePreview = new QLabel(linePage);
  lg->addWidget(new QLabel(QStringLiteral("선의 종류:"), linePage), 0, 0);
  lg->addWidget(pens, 0, 1);
  lg->addWidget(new QLabel(QStringLiteral("굵기:"), linePage), 1, 0);
  lg->addWidget(width, 1, 1);
  lg->addWidget(new QLabel(QStringLiteral("보기:"), linePage), 3, 0);
  lg->addWidget(linePreview, 3, 1);
  tabs->addTab(linePage, QStringLiteral("선"));

  // Page "채움": kind of fill, pattern, colour, preview.
  auto* fillPage = new QWidget(tabs);
  fillPage->setObjectName(QStringLiteral("CFillStylePage"));
  auto* fg = new QGridLayout(fillPage);
  auto* kinds = new QButtonGroup(fillPage);
  const char* kindCaptions[] = {"채우지 않음", "테두리와 함께 채움", "테두리 없이 채움"};
  auto* kindBox = new QVBoxLayout;
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(kindCaptions[i]), fillPage);
    radio->setObjectName(QStringLiteral("fillKind%1").arg(i));
    kinds->addButton(radio, i);
    kindBox->addWidget(radio);
  }
  const int kind = s.fill == fillcode::kNone ? 0 : s.lineStyle == penstyle::kNone ? 2 : 1;
  kinds->button(kind)->setChecked(true);
  auto* patterns = new QComboBox(fillPage);
  patterns->setObjectName(QStringLiteral("fillPattern"));
  patterns->setIconSize(QSize(80, 14));
  for (int i = 0; i < kPatterns; ++i)
    patterns->addItem(QIcon(styleSample(penstyle::kNone, 0, 0, int16_t(i - 1), 0, QSize(80, 14))),
                      QString());
  patterns->setCurrentIndex(std::clamp<int>(s.fill + 1, 0, kPatterns - 1));
  auto* fillPreview = new QLabel(fillPage);
  fg->addWidget(new QLabel(QStringLiteral("유형:"), fillPage), 0, 0);
  fg->addLayout(kindBox, 0, 1);
  fg->addWidget(new QLabel(QStringLiteral("형식:"), fillPage), 1, 0);
  fg->addWidget(patterns, 1, 1);
  fg->addWidget(new QLabel(QStringLiteral("보기:"), fillPage), 3, 0);
  fg->addWidget(fillPreview, 3, 1);
  tabs->addTab(fillPage, QStringLiteral("채움"));

  // What OK stores, from the controls as they are now.
  const auto result = [&] {
    ShapeStyle r = s;
    r.lineStyle = int16_t(pens->currentIndex());
    r.lineWidth = int16_t(width->value());
    const int16_t pattern = int16_t(patterns->currentIndex() - 1);
    switch (kinds->checkedId()) {
      case 0:
        r.fill = fillcode::kNone;
        break;
      case 2:
        r.lineStyle = penstyle::kNone;
        r.fill = pattern;
        break;
      default:
        r.fill = pattern;
        break;
    }
    return r;
  };
  const auto preview = [&] {
    const ShapeStyle r = result();
    linePreview->setPixmap(
        styleSample(r.lineStyle, r.lineWidth, r.lineColor, fillcode::kNone, 0, QSize(120, 40)));
    fillPreview->setPixmap(
        styleSample(r.lineStyle, r.lineWidth, r.lineColor, r.fill, r.fillColor, QSize(120, 40)));
  };
  lg->addWidget(colourButton(linePage, &s.lineColor, preview), 2, 1);
  fg->addWidget(colourButton(fillPage, &s.fillColor, preview), 2, 1);
  QObject::connect(pens, &QComboBox::currentIndexChanged, &dialog, preview);
  QObject::connect(width, &QSpinBox::valueChanged, &dialog, preview);
  QObject::connect(patterns, &QComboBox::currentIndexChanged, &dialog, preview);
  QObject::connect(kinds, &QButtonGroup::idClicked, &dialog, preview);
  preview();
  layout->addWidget(okCancelButtons(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  *style = result();
  return true;
}

}  // namespace kelvo
