#include "batch_change_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "kelvo/batch_change.h"
#include "kelvo/cp949_validator.h"
#include "kelvo/grid_view.h"
#include "kelvo/messages.h"
#include "kelvo/named_formulas.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

constexpr int kFormulaBytes = 99;
constexpr int kTitleBytes = 39;
constexpr int kTitleNeeded = 104312;
// The operators of the query language; "부호삽입:" inserts the first
// character of the chosen entry.
const char* const kSymbols[] = {"+",  "-", "*", "/", "%", "(", ")",  "=",
                                "!=", "<", ">", "&", "|", ":", "\"", "@"};

}  // namespace

CBatchChangeDlg::CBatchChangeDlg(CPlanDoc& doc, CTableView& sheet, QWidget* parent)
    : QDialog(parent), doc_(doc), sheet_(sheet) {
  setWindowTitle(loadString(1043));
  item_ = new QComboBox(this);
  item_->setObjectName(QStringLiteral("item"));
  insertItem_ = new QComboBox(this);
  insertItem_->setObjectName(QStringLiteral("insertItem"));
  if (TableBinding* table = sheet.table()) {
    for (int i = 0; i < table->tb.fieldCount; ++i) {
      const FieldDesc& f = table->tb.fields[i];
      const QString name = fieldText(f.name, sizeof f.name);
      item_->addItem(name);
      insertItem_->addItem(name);
    }
  }
  insertSymbol_ = new QComboBox(this);
  insertSymbol_->setObjectName(QStringLiteral("insertSymbol"));
  for (const char* s : kSymbols) insertSymbol_->addItem(QString::fromLatin1(s));
  formula_ = new QLineEdit(this);
  formula_->setObjectName(QStringLiteral("formula"));
  formula_->setValidator(new Cp949Validator(kFormulaBytes, formula_));
  formula_->setMinimumWidth(360);
  connect(insertItem_, &QComboBox::activated, this,
          [this](int i) { insertText('[' + insertItem_->itemText(i) + ']'); });
  connect(insertSymbol_, &QComboBox::activated, this,
          [this](int i) { insertText(insertSymbol_->itemText(i).left(1)); });

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(104301), this), 0, 0);
  grid->addWidget(item_, 0, 1, 1, 3);
  grid->addWidget(new QLabel(loadString(104302), this), 1, 0);
  grid->addWidget(formula_, 1, 1, 1, 3);
  grid->addWidget(new QLabel(loadString(104303), this), 2, 0);
  grid->addWidget(insertItem_, 2, 1);
  grid->addWidget(new QLabel(loadString(104304), this), 2, 2);
  grid->addWidget(insertSymbol_, 2, 3);
  outcome_ = new QLabel(this);
  outcome_->setObjectName(QStringLiteral("outcome"));

  // The named formulas of the sheet's kind of data.
  dataKind_ = namedFormulaKind(kindNumber(sheet.viewKind()));
  title_ = new QLineEdit(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setValidator(new Cp949Validator(kTitleBytes, title_));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("list"));
  auto* add = new QPushButton(loadString(104310), this);
  add->setObjectName(QStringLiteral("register"));
  auto* remove = new QPushButton(loadString(104311), this);
  remove->setObjectName(QStringLiteral("delete"));
  for (QWidget* w : {static_cast<QWidget*>(title_), static_cast<QWidget*>(list_),
                     static_cast<QWidget*>(add), static_cast<QWidget*>(remove)})
    w->setEnabled(dataKind_ >= 0);
  connect(add, &QPushButton::clicked, this, &CBatchChangeDlg::registerFormula);
  connect(remove, &QPushButton::clicked, this, &CBatchChangeDlg::deleteFormula);
  connect(list_, &QListWidget::currentRowChanged, this, &CBatchChangeDlg::loadEntry);
  grid->addWidget(new QLabel(loadString(104308), this), 3, 0);
  grid->addWidget(title_, 3, 1, 1, 3);
  grid->addWidget(new QLabel(loadString(104309), this), 4, 0, Qt::AlignTop);
  grid->addWidget(list_, 4, 1, 2, 2);
  grid->addWidget(add, 4, 3);
  grid->addWidget(remove, 5, 3, Qt::AlignTop);
  fillList();

  auto* buttons = new QDialogButtonBox(this);
  auto* change = buttons->addButton(loadString(104305), QDialogButtonBox::ActionRole);
  change->setObjectName(QStringLiteral("change"));
  auto* close = buttons->addButton(loadString(104306), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("close"));
  connect(change, &QPushButton::clicked, this, &CBatchChangeDlg::run);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(outcome_);
  layout->addWidget(buttons);
}

void CBatchChangeDlg::fillList() {
  list_->clear();
  if (dataKind_ < 0) return;
  for (const NamedFormula& f :
       readNamedFormulas(&doc_.db(), kBatchFormulaList, uint16_t(dataKind_)))
    list_->addItem(fieldText(f.title, sizeof f.title));
}

void CBatchChangeDlg::loadEntry(int row) {
  if (row < 0 || dataKind_ < 0) return;
  const std::vector<NamedFormula> entries =
      readNamedFormulas(&doc_.db(), kBatchFormulaList, uint16_t(dataKind_));
  if (size_t(row) >= entries.size()) return;
  const NamedFormula& f = entries[size_t(row)];
  title_->setText(fieldText(f.title, sizeof f.title));
  formula_->setText(fieldText(f.formula, sizeof f.formula));
  // An entry stored for another layout may name an item that is gone.
  if (f.item < item_->count()) item_->setCurrentIndex(f.item);
}

bool CBatchChangeDlg::registerFormula() {
  if (dataKind_ < 0) return false;
  NamedFormula f;
  f.list = kBatchFormulaList;
  f.kind = uint16_t(dataKind_);
  setFieldText(f.title, sizeof f.title, title_->text().trimmed());
  setFieldText(f.formula, sizeof f.formula, formula_->text());
  f.item = uint16_t(std::max(0, item_->currentIndex()));
  if (f.title[0] == 0) {
    showMessage(this, kTitleNeeded);
    title_->setFocus();
    return false;
  }
  if (!registerNamedFormula(&doc_.db(), f)) return false;
  doc_.setModified();
  const QString title = fieldText(f.title, sizeof f.title);
  fillList();
  const QList<QListWidgetItem*> found = list_->findItems(title, Qt::MatchExactly);
  if (!found.isEmpty()) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(found.front());
  }
  return true;
}

bool CBatchChangeDlg::deleteFormula() {
  QListWidgetItem* chosen = list_->currentItem();
  if (!chosen || dataKind_ < 0) return false;
  char title[40] = {};
  setFieldText(title, sizeof title, chosen->text());
  if (!deleteNamedFormula(&doc_.db(), kBatchFormulaList, uint16_t(dataKind_), title)) return false;
  doc_.setModified();
  const QSignalBlocker quiet(list_);
  fillList();
  return true;
}

void CBatchChangeDlg::insertText(const QString& text) {
  formula_->insert(text);
  formula_->setFocus();
}

bool CBatchChangeDlg::run() {
  TableBinding* table = sheet_.table();
  if (!table) return false;
  char field[32] = {};
  setFieldText(field, sizeof field, item_->currentText());
  const int32_t item = xGetFldOrdinal(field, table->tb.fields, table->tb.fieldCount);
  const auto refuseItem = [this](int message) {
    showMessage(this, message);
    item_->setFocus();
    return false;
  };
  if (item < 0) return refuseItem(kItemNotFound);
  if (isProtectedItem(table->tb.fields[item])) return refuseItem(kItemProtected);
  // What is typed in the sheet's current row goes in first; a refusal is
  // shown by the sheet and nothing runs.
  if (!sheet_.moveToRow(kCommitOnly)) return false;

  // The records as the sheet lists them now: entering a record may re-sort
  // or re-key the sheet, but each record is visited once.
  std::vector<uint32_t> listed;
  for (uint32_t row = 0; row < sheet_.rows().count(); ++row)
    listed.push_back(sheet_.rows().record(row));
  char formula[kFormulaBytes + 1] = {};
  setFieldText(formula, sizeof formula, formula_->text());
  const ViewKind kind = sheet_.viewKind();
  const BatchResult r =
      runBatchChange(table, item, formula, listed, [this, kind](uint32_t slot, void* record) {
        const EditResult entered = doc_.inputRecord(kind, static_cast<int32_t>(slot), record, 0);
        return entered ? 0 : entered.message ? entered.message : kItemProtected;
      });
  if (r.changedNothing) {
    showMessage(this, r.message);
    formula_->setFocus();
    if (r.errorPos >= 0)
      formula_->setSelection(static_cast<int>(r.errorPos), 1);
    else
      formula_->selectAll();
    return false;
  }
  // The stored undo step would hold one record from before the run.
  doc_.undo().clear();
  doc_.updateAllViews(kAllViews, hint::kInitialUpdate);
  outcome_->setText(loadString(104307).arg(r.entered));
  if (r.message) {
    showMessage(this, r.message);
    return false;
  }
  QApplication::beep();
  return true;
}

}  // namespace kelvo
