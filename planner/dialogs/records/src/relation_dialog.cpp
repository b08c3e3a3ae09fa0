#include "relation_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_find.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "record_strings.h"

namespace kelvo {

namespace {

constexpr int kFlags = 0, kPred = 2, kSucc = 23, kKind = 44, kLag = 46, kRow = 48;
constexpr uint16_t kShowKindAndLag = 0x0008;

// The name of the activity with code `code` (CP949), empty when the code is
// not registered.
QString activityName(ProjectDb& db, const char* code) {
  const uint32_t slot = findCodeRecord(&db, ViewKind::Activities, code);
  QByteArray record;
  if (slot == XJOR_NONE || !readSlot(db.act.tb, static_cast<int32_t>(slot), &record)) return {};
  ActRecord a;
  std::memcpy(&a, record.constData(), sizeof a);
  return kelvo::fieldText(a.title, sizeof a.title);
}

}  // namespace

CRelationDialog::CRelationDialog(CPlanDoc& doc, int32_t slot, const QByteArray& record,
                                 const RelationDialogOptions& options, QWidget* parent)
    : QDialog(parent), doc_(doc), slot_(slot), loaded_(record) {
  setWindowTitle(loadString(str::kRelationDialog));
  build(options);
}

void CRelationDialog::build(const RelationDialogOptions& options) {
  RelRecord r;
  std::memcpy(&r, loaded_.constData(), sizeof r);
  r.pred[sizeof r.pred - 1] = r.succ[sizeof r.succ - 1] = 0;
  auto shown = [this](const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(120);
    return label;
  };
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(str::kRelationLabels + 0), this), 0, 0);
  grid->addWidget(shown(kelvo::fieldText(r.pred, sizeof r.pred), "predCode"), 0, 1);
  grid->addWidget(shown(activityName(doc_.db(), r.pred), "predName"), 0, 2);
  grid->addWidget(new QLabel(loadString(str::kRelationLabels + 1), this), 1, 0);
  grid->addWidget(shown(kelvo::fieldText(r.succ, sizeof r.succ), "succCode"), 1, 1);
  grid->addWidget(shown(activityName(doc_.db(), r.succ), "succName"), 1, 2);

  auto* kindBox = new QGroupBox(loadString(str::kRelationLabels + 10), this);
  auto* kindRow = new QHBoxLayout(kindBox);
  kinds_ = new QButtonGroup(this);
  for (int k = 0; k < 4; ++k) {
    auto* button = new QRadioButton(loadString(str::kRelationLabels + 2 + k), kindBox);
    button->setObjectName(loadString(str::kRelationLabels + 2 + k));
    kinds_->addButton(button, k);
    kindRow->addWidget(button);
  }
  // A stored kind outside 0..3 shows no button and is kept unless one is
  // chosen.
  if (auto* button = kinds_->button(r.kind)) button->setChecked(true);
  grid->addWidget(kindBox, 2, 0, 1, 3);

  lag_ = widenedSpin(-999, 999, r.lag, this);
  lag_->setObjectName(QStringLiteral("lag"));
  const int16_t row = slot_ < 0 ? options.newRoutingRow : r.row;
  row_ = widenedSpin(1, 999, row, this);
  row_->setObjectName(QStringLiteral("row"));
  grid->addWidget(new QLabel(loadString(str::kRelationLabels + 6), this), 3, 0);
  grid->addWidget(lag_, 3, 1);
  grid->addWidget(new QLabel(loadString(str::kRelationLabels + 7), this), 4, 0);
  grid->addWidget(row_, 4, 1);
  display_ = new QCheckBox(loadString(str::kRelationLabels + 8), this);
  display_->setObjectName(QStringLiteral("display"));
  display_->setChecked(r.flags & kShowKindAndLag);
  display_->setVisible(options.showDisplayFlag);
  grid->addWidget(display_, 5, 0, 1, 3);

  auto* buttons = okCancelButtons(this);
  delete_ = buttons->addButton(loadString(str::kRelationLabels + 9), QDialogButtonBox::ActionRole);
  delete_->setObjectName(QStringLiteral("delete"));
  delete_->setVisible(slot_ >= 0);
  connect(delete_, &QPushButton::clicked, this, &CRelationDialog::deleteRelation);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  for (QWidget* w : std::initializer_list<QWidget*>{lag_, row_, display_}) values_.remember(w);
  for (QAbstractButton* b : kinds_->buttons()) values_.remember(b);
  // A new relation's routing row counts as entered: it is stored with it.
  if (slot_ < 0) put16(loaded_, kRow, row);
}

void CRelationDialog::accept() {
  if (!doc_.isOpen()) return QDialog::reject();
  QByteArray record = loaded_;
  if (slot_ >= 0 && !readSlot(doc_.db().rel.tb, slot_, &record)) return QDialog::reject();
  bool any = slot_ < 0;
  if (values_.changed(lag_)) {
    put16(record, kLag, static_cast<int16_t>(lag_->value()));
    any = true;
  }
  if (values_.changed(row_)) {
    put16(record, kRow, static_cast<int16_t>(row_->value()));
    any = true;
  }
  for (QAbstractButton* b : kinds_->buttons()) {
    if (!values_.changed(b) || !b->isChecked()) continue;
    put16(record, kKind, static_cast<int16_t>(kinds_->id(b)));
    any = true;
  }
  // Only the display bit is the dialog's; the other bits stay.
  if (display_->isVisibleTo(this) && values_.changed(display_)) {
    uint16_t flags = static_cast<uint16_t>(get16(record, kFlags)) & ~kShowKindAndLag;
    if (display_->isChecked()) flags |= kShowKindAndLag;
    put16(record, kFlags, static_cast<int16_t>(flags));
    any = true;
  }
  if (!any) return QDialog::accept();
  const EditResult result = doc_.inputRecord(ViewKind::Relations, slot_, record.data(), -1);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return;
  }
  stored_ = true;
  slot_ = result.slot;
  QDialog::accept();
}

void CRelationDialog::deleteRelation() {
  if (slot_ < 0 || !doc_.isOpen()) return;
  doc_.db().rel.tb.current = slot_;
  const EditResult result = doc_.deleteRecord(ViewKind::Relations);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return;
  }
  done(kDeleted);
}

}  // namespace kelvo
