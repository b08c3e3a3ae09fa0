#include "kelvo/network_pages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/text_fields.h"
#include "xjor/field.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

constexpr int kCaptionBytes = 32;  // side captions, in 33-byte fields
// A field with its wrap marks and the end mark fill a template at most.
constexpr int kMostLines = kLabelTemplateSize - 1;

bool isTextField(const FieldDesc& f) {
  return f.type == XF_STRING;
}

// The display checks of "도표" and the scale flag bits they set.
struct FlagCheck {
  const char* caption;
  uint16_t bit;
};
constexpr FlagCheck kNetChecks[] = {
    {"도형 표시", scaleflag::kDrawShapes},
    {"경로 구분선 표시", scaleflag::kRowLines},
    {"사각형 노드", netflag::kSquareNodes},
    {"노드 안에 작업코드 표시", netflag::kCodeInNode},
    {"연결선 위쪽 표시", netflag::kUpperLabels},
    {"연결선 아래쪽 표시", netflag::kLowerLabels},
    {"연결선 화살표 표시", netflag::kArrowheads},
    {"연결선 가운데 작업 표시", netflag::kCentreLabels},
    {"선후행 관계 표시", netflag::kRelationText},
    {"작업 막대 표시", netflag::kBarMode},
};

}  // namespace

// --- The working copy -------------------------------------------------------------

NetOptionsPage::NetOptionsPage(const QString& title, NetOptions* options)
    : CPropertyPage(title), options_(options) {}

bool NetOptionsPage::validate() {
  return checkNumberFields(this);
}

QSpinBox* NetOptionsPage::number(const char* name, int minimum) {
  auto* box = new QSpinBox(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(minimum, 32767);
  return box;
}

// --- "도표" -------------------------------------------------------------------------

COptNetPage::COptNetPage(NetOptions* options) : NetOptionsPage(QStringLiteral("도표"), options) {
  NetBlock& b = options_->block;
  auto* outer = new QVBoxLayout(this);
  auto* lines = new QGridLayout;
  normalWidth_ = number("normalWidth", 1);
  criticalWidth_ = number("criticalWidth", 1);
  linkWidth_ = number("linkWidth", 1);
  const struct {
    const char* caption;
    const char* name;
    COLORREF* colour;
    QSpinBox* width;
  } colours[] = {
      {"일반 작업...", "normalColour", &b.normalColor, normalWidth_},
      {"주공정 작업...", "criticalColour", &b.criticalColor, criticalWidth_},
      {"선후행 연결...", "linkColour", &b.linkColor, linkWidth_},
      {"노드 색깔...", "nodeColour", &b.nodeFillColor, nullptr},
  };
  int row = 0;
  for (const auto& c : colours) {
    QPushButton* button = colourButton(this, QString::fromUtf8(c.caption), c.colour);
    button->setObjectName(QString::fromLatin1(c.name));
    lines->addWidget(button, row, 0);
    if (c.width) {
      lines->addWidget(new QLabel(QStringLiteral("굵기 :"), this), row, 1);
      lines->addWidget(c.width, row, 2);
    }
    ++row;
  }
  outer->addLayout(lines);

  auto* sizes = new QGridLayout;
  pathWidth_ = number("pathWidth", 0);
  pathHeight_ = number("pathHeight", 1);
  pathCount_ = number("pathCount", 1);
  nodeWidth_ = number("nodeWidth", 1);
  const std::pair<const char*, QSpinBox*> sizeRows[] = {{"경로 폭 :", pathWidth_},
                                                        {"경로 높이 :", pathHeight_},
                                                        {"경로 수 :", pathCount_},
                                                        {"노드 폭 :", nodeWidth_}};
  row = 0;
  for (const auto& [caption, box] : sizeRows) {
    sizes->addWidget(new QLabel(QString::fromUtf8(caption), this), row / 2, (row % 2) * 2);
    sizes->addWidget(box, row / 2, (row % 2) * 2 + 1);
    ++row;
  }
  outer->addLayout(sizes);

  auto* checks = new QGridLayout;
  row = 0;
  for (const FlagCheck& c : kNetChecks) {
    auto* box = new QCheckBox(QString::fromUtf8(c.caption), this);
    box->setObjectName(QStringLiteral("flag%1").arg(c.bit, 4, 16, QLatin1Char('0')));
    flags_.emplace_back(box, c.bit);
    checks->addWidget(box, row / 2, row % 2);
    ++row;
  }
  outer->addLayout(checks);
  QWidget* font = fontField(this, QStringLiteral("작업 자료 글꼴..."), &options_->scale.bodyFont,
                            &options_->scale.bodyTextColor, QStringLiteral("bodyFont"));
  outer->addWidget(font, 0, Qt::AlignLeft);
  outer->addStretch();
  load();
}

void COptNetPage::load() {
  const NetBlock& b = options_->block;
  const TimeScaleSettings& s = options_->scale;
  normalWidth_->setValue(b.normalWidth);
  criticalWidth_->setValue(b.criticalWidth);
  linkWidth_->setValue(b.linkWidth);
  nodeWidth_->setValue(b.nodeWidth);
  pathWidth_->setValue(s.rowNumberWidth);
  pathHeight_->setValue(s.rowHeight);
  pathCount_->setValue(s.rowCount);
  for (const auto& [box, bit] : flags_) box->setChecked(s.flags & bit);
}

void COptNetPage::store() {
  NetBlock& b = options_->block;
  TimeScaleSettings& s = options_->scale;
  b.normalWidth = int16_t(normalWidth_->value());
  b.criticalWidth = int16_t(criticalWidth_->value());
  b.linkWidth = int16_t(linkWidth_->value());
  b.nodeWidth = int16_t(nodeWidth_->value());
  s.rowNumberWidth = int16_t(pathWidth_->value());
  s.rowHeight = int16_t(pathHeight_->value());
  s.rowCount = pathCount_->value();
  for (const auto& [box, bit] : flags_)
    s.flags = uint16_t(box->isChecked() ? s.flags | bit : s.flags & ~bit);
}

// --- "기간표시 바깥" ------------------------------------------------------------------

CNetEtcPage::CNetEtcPage(NetOptions* options)
    : NetOptionsPage(QStringLiteral("기간표시 바깥"), options) {
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("표시명"), this), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("폭(0.1mm)"), this), 0, 2);
  const char* sides[2] = {"왼쪽 :", "오른쪽 :"};
  for (int i = 0; i < 2; ++i) {
    caption_[i] = new QLineEdit(this);
    caption_[i]->setObjectName(QStringLiteral("caption%1").arg(i));
    caption_[i]->setValidator(new Cp949Validator(kCaptionBytes, caption_[i]));
    width_[i] = number(i == 0 ? "leftWidth" : "rightWidth", 0);
    grid->addWidget(new QLabel(QString::fromUtf8(sides[i]), this), i + 1, 0);
    grid->addWidget(caption_[i], i + 1, 1);
    grid->addWidget(width_[i], i + 1, 2);
  }
  outer->addLayout(grid);
  QWidget* font = fontField(this, QStringLiteral("글꼴..."), &options_->captions.font,
                            &options_->captions.colour, QStringLiteral("captionFont"));
  outer->addWidget(font, 0, Qt::AlignLeft);
  outer->addStretch();
  load();
}

void CNetEtcPage::load() {
  const SideCaptions& c = options_->captions;
  caption_[0]->setText(fieldText(c.left, sizeof c.left));
  caption_[1]->setText(fieldText(c.right, sizeof c.right));
  width_[0]->setValue(options_->scale.leftTableWidth);
  width_[1]->setValue(options_->scale.rightAreaWidth);
}

void CNetEtcPage::store() {
  SideCaptions& c = options_->captions;
  setFieldText(c.left, sizeof c.left, caption_[0]->text());
  setFieldText(c.right, sizeof c.right, caption_[1]->text());
  options_->scale.leftTableWidth = int16_t(width_[0]->value());
  options_->scale.rightAreaWidth = int16_t(width_[1]->value());
}

// --- Label templates ------------------------------------------------------------------

LabelTemplateEditor::LabelTemplateEditor(const FieldDesc* fields, int count, QWidget* parent)
    : QWidget(parent), fields_(fields), count_(count) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("items"));
  outer->addWidget(list_);
  auto* choice = new QGridLayout;
  fieldChoice_ = new QRadioButton(QStringLiteral("항목 선택 :"), this);
  fieldChoice_->setObjectName(QStringLiteral("fieldChoice"));
  textChoice_ = new QRadioButton(QStringLiteral("문자 :"), this);
  textChoice_->setObjectName(QStringLiteral("textChoice"));
  fieldChoice_->setChecked(true);
  field_ = new QComboBox(this);
  field_->setObjectName(QStringLiteral("field"));
  for (int i = 0; i < std::min(count, int(labelbyte::kLiteral)); ++i)
    field_->addItem(fieldText(fields[i].name, sizeof fields[i].name));
  lines_ = new QSpinBox(this);
  lines_->setObjectName(QStringLiteral("lines"));
  lines_->setRange(1, kMostLines);
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("text"));
  text_->setValidator(new Cp949Validator(kLabelTemplateSize - 3, text_));
  breakChoice_ = new QRadioButton(QStringLiteral("줄 바꿈"), this);
  breakChoice_->setObjectName(QStringLiteral("breakChoice"));
  choice->addWidget(fieldChoice_, 0, 0);
  choice->addWidget(field_, 0, 1);
  choice->addWidget(new QLabel(QStringLiteral("줄 수 :"), this), 0, 2);
  choice->addWidget(lines_, 0, 3);
  choice->addWidget(textChoice_, 1, 0);
  choice->addWidget(text_, 1, 1, 1, 3);
  choice->addWidget(breakChoice_, 2, 0);
  outer->addLayout(choice);
  auto* buttons = new QHBoxLayout;
  const std::pair<const char*, bool (LabelTemplateEditor::*)()> edits[] = {
      {"수정", &LabelTemplateEditor::modify},
      {"첨가", &LabelTemplateEditor::append},
      {"삽입", &LabelTemplateEditor::insert},
      {"삭제", &LabelTemplateEditor::remove}};
  for (const auto& [caption, edit] : edits) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    connect(button, &QPushButton::clicked, this, [this, edit] { (this->*edit)(); });
    buttons->addWidget(button);
  }
  outer->addLayout(buttons);
  connect(list_, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
  connect(field_, &QComboBox::activated, fieldChoice_, [this] { fieldChoice_->setChecked(true); });
  connect(field_, &QComboBox::currentIndexChanged, this, [this] { enableLines(); });
  enableLines();
  connect(text_, &QLineEdit::textEdited, textChoice_, [this] { textChoice_->setChecked(true); });
}

void LabelTemplateEditor::setTemplate(const uint8_t* tmpl) {
  items_ = parseLabelTemplate(tmpl, kLabelTemplateSize, count_);
  showItems(0);
}

void LabelTemplateEditor::writeTemplate(uint8_t* tmpl) const {
  buildLabelTemplate(items_, tmpl, kLabelTemplateSize);
}

QString labelItemText(const FieldDesc* fields, int count, const LabelItem& item) {
  switch (item.kind) {
    case LabelItem::Field: {
      QString name = item.field < count
                         ? fieldText(fields[item.field].name, sizeof fields[item.field].name)
                         : QString::number(item.field);
      if (item.extraLines > 0) name += QStringLiteral(" (%1줄)").arg(item.extraLines + 1);
      return QStringLiteral("[%1]").arg(name);
    }
    case LabelItem::Literal:
      return QStringLiteral("\"%1\"").arg(xjor::fromCp949(item.text.data(), int(item.text.size())));
    case LabelItem::NewLine:
      break;
  }
  return QStringLiteral("(줄 바꿈)");
}

QString labelTemplateText(const FieldDesc* fields, int count, const uint8_t* tmpl) {
  QStringList parts;
  for (const LabelItem& item : parseLabelTemplate(tmpl, kLabelTemplateSize, count))
    parts << labelItemText(fields, count, item);
  return parts.join(' ');
}

bool LabelTemplateEditor::currentItem(LabelItem* item) {
  *item = LabelItem{};
  if (breakChoice_->isChecked()) {
    item->kind = LabelItem::NewLine;
    return true;
  }
  if (fieldChoice_->isChecked()) {
    item->field = field_->currentIndex();
    if (lines_->isEnabled()) item->extraLines = lines_->value() - 1;
    return item->field >= 0;
  }
  item->kind = LabelItem::Literal;
  const QByteArray bytes = xjor::toCp949(text_->text());
  item->text.assign(bytes.constData(), size_t(bytes.size()));
  if (!item->text.empty()) return true;
  QApplication::beep();
  text_->setFocus();
  return false;
}

bool LabelTemplateEditor::tryItems(std::vector<LabelItem> items, int select) {
  uint8_t probe[kLabelTemplateSize];
  if (!buildLabelTemplate(items, probe, sizeof probe)) {
    QApplication::beep();
    return false;
  }
  items_ = std::move(items);
  showItems(select);
  return true;
}

bool LabelTemplateEditor::modify() {
  const int row = list_->currentRow();
  LabelItem item;
  if (row < 0 || row >= int(items_.size()) || !currentItem(&item)) {
    if (row < 0) QApplication::beep();
    return false;
  }
  std::vector<LabelItem> items = items_;
  items[row] = item;
  return tryItems(std::move(items), row);
}

bool LabelTemplateEditor::append() {
  LabelItem item;
  if (!currentItem(&item)) return false;
  std::vector<LabelItem> items = items_;
  items.push_back(item);
  return tryItems(std::move(items), int(items.size()) - 1);
}

bool LabelTemplateEditor::insert() {
  const int row = std::max(0, list_->currentRow());
  LabelItem item;
  if (!currentItem(&item)) return false;
  std::vector<LabelItem> items = items_;
  items.insert(items.begin() + std::min<size_t>(row, items.size()), item);
  return tryItems(std::move(items), row);
}

bool LabelTemplateEditor::remove() {
  const int row = list_->currentRow();
  if (row < 0 || row >= int(items_.size())) {
    QApplication::beep();
    return false;
  }
  std::vector<LabelItem> items = items_;
  items.erase(items.begin() + row);
  return tryItems(std::move(items), std::min(row, int(items.size()) - 1));
}

void LabelTemplateEditor::showItems(int select) {
  const QSignalBlocker quiet(list_);
  list_->clear();
  for (const LabelItem& item : items_) list_->addItem(labelItemText(fields_, count_, item));
  list_->setCurrentRow(std::min(select, list_->count() - 1));
  showSelected();
}

void LabelTemplateEditor::showSelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= int(items_.size())) return;
  const LabelItem& item = items_[row];
  if (item.kind == LabelItem::Field && item.field < field_->count()) {
    fieldChoice_->setChecked(true);
    field_->setCurrentIndex(item.field);
    if (lines_->isEnabled()) lines_->setValue(item.extraLines + 1);
  } else if (item.kind == LabelItem::Literal) {
    textChoice_->setChecked(true);
    text_->setText(xjor::fromCp949(item.text.data(), int(item.text.size())));
  } else {
    breakChoice_->setChecked(true);
  }
}

void LabelTemplateEditor::enableLines() {
  const int field = field_->currentIndex();
  const bool text = field >= 0 && field < count_ && isTextField(fields_[field]);
  lines_->setEnabled(text);
  if (!text) lines_->setValue(1);
}

CFormNetPage::CFormNetPage(const FieldDesc* fields, int count, NetBlock* block)
    : CPropertyPage(QStringLiteral("항목 형식")), block_(block) {
  auto* outer = new QHBoxLayout(this);
  const char* captions[2] = {"연결선 위쪽", "연결선 아래쪽"};
  for (int i = 0; i < 2; ++i) {
    auto* box = new QGroupBox(QString::fromUtf8(captions[i]), this);
    auto* layout = new QVBoxLayout(box);
    editors_[i] = new LabelTemplateEditor(fields, count, box);
    editors_[i]->setObjectName(i == 0 ? QStringLiteral("upper") : QStringLiteral("lower"));
    editors_[i]->setTemplate(i == 0 ? block->upperLabel : block->lowerLabel);
    layout->addWidget(editors_[i]);
    outer->addWidget(box);
  }
}

void CFormNetPage::apply() {
  editors_[0]->writeTemplate(block_->upperLabel);
  editors_[1]->writeTemplate(block_->lowerLabel);
}

bool editLabelTemplate(QWidget* parent, const QString& caption, const FieldDesc* fields, int count,
                       uint8_t* tmpl) {
  QDialog dialog(parent);
  dialog.setWindowTitle(caption);
  auto* layout = new QVBoxLayout(&dialog);
  auto* editor = new LabelTemplateEditor(fields, count, &dialog);
  editor->setTemplate(tmpl);
  layout->addWidget(editor);
  layout->addWidget(okCancelButtons(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  editor->writeTemplate(tmpl);
  return true;
}

}  // namespace kelvo
