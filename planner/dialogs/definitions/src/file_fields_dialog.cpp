#include "file_fields_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "field_index_remap.h"
#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "kelvo/view_kind.h"

namespace kelvo {
namespace {

constexpr int kTableNames = 104402;  // 8 names from here
constexpr int kKindNames = 104418;   // 문자, 숫자, 날짜, 기타
constexpr int kNameBytes = 31;

// The views that hold activity records.
constexpr uint64_t kActivityViews =
    kindBits({ViewKind::Activities, ViewKind::GanttTable, ViewKind::GanttChart, ViewKind::Network,
              ViewKind::Map, ViewKind::Predecessors, ViewKind::Successors});

// The seven project tables, then the open summary file.
TableHandle* tableOf(ProjectDb& db, int table) {
  TableBinding* tables[] = {&db.wbs, &db.obs, &db.res, &db.act,
                            &db.rel, &db.crw, &db.opr, &db.summary.table};
  return table >= 0 && table < 8 ? &tables[table]->tb : nullptr;
}

bool summaryOpen(const ProjectDb& db) {
  return db.summary.number > 0 && db.summary.table.tb.handle != -1;
}

}  // namespace

CFileFieldsDlg::CFileFieldsDlg(CPlanDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(loadString(1044));
  table_ = new QComboBox(this);
  table_->setObjectName(QStringLiteral("table"));
  // The open summary file is listed last; without one there is no entry.
  const int tables = summaryOpen(doc.db()) ? 8 : 7;
  for (int t = 0; t < tables; ++t) table_->addItem(loadString(kTableNames + t));
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("fields"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({loadString(104410).remove(QLatin1String(" :")),
                          loadString(104411).remove(QLatin1String(" :")),
                          loadString(104412).remove(QLatin1String(" :")),
                          loadString(104413).remove(QLatin1String(" :"))});
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->setMinimumSize(440, 300);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("name"));
  name_->setValidator(new Cp949Validator(kNameBytes, name_));
  kind_ = new QComboBox(this);
  kind_->setObjectName(QStringLiteral("kind"));
  for (int k = 0; k < 3; ++k) kind_->addItem(loadString(kKindNames + k));
  width_ = new QSpinBox(this);
  width_->setObjectName(QStringLiteral("width"));
  width_->setRange(0, 2000);
  decimals_ = new QSpinBox(this);
  decimals_->setObjectName(QStringLiteral("decimals"));
  decimals_->setRange(0, 9);

  auto* edits = new QGridLayout;
  edits->addWidget(new QLabel(loadString(104410), this), 0, 0);
  edits->addWidget(name_, 0, 1, 1, 3);
  edits->addWidget(new QLabel(loadString(104411), this), 1, 0);
  edits->addWidget(kind_, 1, 1);
  edits->addWidget(new QLabel(loadString(104412), this), 2, 0);
  edits->addWidget(width_, 2, 1);
  edits->addWidget(new QLabel(loadString(104413), this), 2, 2);
  edits->addWidget(decimals_, 2, 3);
  auto* buttons = new QHBoxLayout;
  const auto button = [&](int caption, const char* name) {
    auto* b = new QPushButton(loadString(caption), this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  modify_ = button(104414, "modify");
  add_ = button(104415, "add");
  insert_ = button(104416, "insert");
  remove_ = button(104417, "remove");
  auto* okCancel = okCancelButtons(this);
  ok_ = okCancel->button(QDialogButtonBox::Ok);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(loadString(104401), this));
  top->addWidget(table_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_);
  layout->addLayout(edits);
  layout->addLayout(buttons);
  layout->addWidget(okCancel);

  connect(table_, &QComboBox::currentIndexChanged, this, &CFileFieldsDlg::showTable);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    showSelected();
    updateButtons();
  });
  const auto current = [this] { return list_->currentIndex().row(); };
  connect(modify_, &QPushButton::clicked, this,
          [this, current] { apply(edit_->modify(current(), typed()), current()); });
  connect(add_, &QPushButton::clicked, this,
          [this] { apply(edit_->add(typed()), static_cast<int>(edit_->entries().size())); });
  connect(insert_, &QPushButton::clicked, this,
          [this, current] { apply(edit_->insert(current(), typed()), current()); });
  connect(remove_, &QPushButton::clicked, this,
          [this, current] { apply(edit_->remove(current()), current()); });
  table_->setCurrentIndex(kActivityTable);
  showTable(kActivityTable);
}

void CFileFieldsDlg::showTable(int table) {
  edit_ = std::make_unique<FieldLayoutEdit>(*tableOf(doc_.db(), table));
  showFields();
  const bool editable = table == kActivityTable;
  for (QWidget* w : std::initializer_list<QWidget*>{name_, kind_, width_, decimals_, ok_})
    w->setEnabled(editable);
  updateButtons();
}

void CFileFieldsDlg::showFields() {
  list_->clear();
  for (const FieldEntry& e : edit_->entries()) {
    const FieldDesc& f = e.desc;
    const FieldKind kind = kindOfType(f.type);
    list_->addTopLevelItem(new QTreeWidgetItem(
        {fieldText(f.name, sizeof f.name), loadString(kKindNames + static_cast<int>(kind)),
         QString::number(kind == FieldKind::Date ? 0 : f.width), QString::number(f.decimals)}));
  }
}

void CFileFieldsDlg::showSelected() {
  const int i = list_->currentIndex().row();
  if (i < 0 || i >= static_cast<int>(edit_->entries().size())) return;
  const FieldDesc& f = edit_->entries()[i].desc;
  name_->setText(fieldText(f.name, sizeof f.name));
  const FieldKind kind = kindOfType(f.type);
  if (kind != FieldKind::Other) kind_->setCurrentIndex(static_cast<int>(kind));
  width_->setValue(f.width);
  decimals_->setValue(f.decimals);
}

void CFileFieldsDlg::updateButtons() {
  const bool editable = table_->currentIndex() == kActivityTable;
  const int i = list_->currentIndex().row();
  modify_->setEnabled(editable && edit_->canModify(i));
  add_->setEnabled(editable);
  insert_->setEnabled(editable && edit_->canInsertBeforeOrRemove(i));
  remove_->setEnabled(editable && edit_->canInsertBeforeOrRemove(i));
  // A relied-on field keeps its kind and, as text, its width.
  const bool relied = i >= 0 && (edit_->entries()[i].desc.flags & kReliedField);
  kind_->setEnabled(editable && !relied);
}

FieldEdit CFileFieldsDlg::typed() const {
  FieldEdit e;
  char name[kNameBytes + 2] = {};
  setFieldText(name, sizeof name, name_->text());
  e.name = name;
  e.kind = static_cast<FieldKind>(kind_->currentIndex());
  e.width = width_->value();
  e.decimals = decimals_->value();
  return e;
}

void CFileFieldsDlg::apply(EditRefusal refusal, int select) {
  switch (refusal) {
    case EditRefusal::None:
      showFields();
      list_->setCurrentItem(list_->topLevelItem(std::min(select, list_->topLevelItemCount() - 1)));
      return;
    case EditRefusal::Name:
      name_->setFocus();
      break;
    case EditRefusal::Kind:
      kind_->setFocus();
      break;
    case EditRefusal::Width:
      width_->setFocus();
      break;
    case EditRefusal::Decimals:
      decimals_->setFocus();
      break;
    case EditRefusal::NotEditable:
      list_->setFocus();
      break;
  }
  QApplication::beep();
}

void CFileFieldsDlg::accept() {
  if (table_->currentIndex() != kActivityTable) return;
  // The activity views store their settings and commit their rows first.
  doc_.updateAllViews(kActivityViews, hint::kStoreSettings);
  doc_.updateAllViews(kActivityViews, hint::kComputationBegins);
  FieldList list;
  if (!edit_->build(&list)) {
    showMessage(this, 21001);
    doc_.updateAllViews(kAllViews, hint::kDatesChanged);
    return;
  }
  xSetDbError(0);
  const int32_t done = xModFldStr(&doc_.db().act.tb, &list);
  xFreeBuffer(list.fields);
  if (!done) {
    // The engine left the table as it was.
    showMessage(this, xGetDbError() ? xGetDbError() : 21000);
    doc_.updateAllViews(kAllViews, hint::kDatesChanged);
    return;
  }
  fieldMap_ = edit_->oldToNew();
  // Columns, sort keys and labels keep naming the fields they named.
  remapActivityFieldIndexes(&doc_.db(), fieldMap_);
  doc_.updateAllViews(kActivityViews, hint::kSettingsRewritten);
  // The undo step holds a record in the old layout.
  doc_.undo().clear();
  doc_.setModified();
  doc_.updateAllViews(kAllViews, hint::kDatesChanged);
  QDialog::accept();
}

}  // namespace kelvo
