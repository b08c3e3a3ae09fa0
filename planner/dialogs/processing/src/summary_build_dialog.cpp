#include "summary_build_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/summary_build.h"
#include "kelvo/summary_registry.h"
#include "kelvo/text_fields.h"
#include "work_progress.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// The option check boxes: flag bit and caption, in the dialog's order.
struct OptionBox {
  uint32_t flag;
  int caption;
  const char* name;
};
constexpr OptionBox kOptions[] = {
    {kSummaryActivities, 108107, "activities"},
    {kSummaryResourceClasses, 108108, "resourceClasses"},
    {kSummaryResources, 108109, "resources"},
    {kSummaryIndentNames, 108110, "indent"},
    {kSummaryNumberNames, 108111, "number"},
    {kSummaryNoMilestones, 108112, "noMilestones"},
    {kSummaryNoUnclassified, 108113, "noUnclassified"},
    {kSummaryWeightedProgress, 108123, "weighted"},
    {kSummaryPeriods, 108114, "periods"},
};

QString utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

CSummaryBuildDlg::CSummaryBuildDlg(CPlanDoc* doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(loadString(1081));

  number_ = new QSpinBox(this);
  number_->setObjectName(QStringLiteral("number"));
  number_->setRange(1, kSummaryNumberMax);
  title_ = new QLineEdit(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setValidator(new Cp949Validator(int(kSummaryTitleSize), title_));
  auto* head = new QHBoxLayout;
  head->addWidget(new QLabel(loadString(108101), this));
  head->addWidget(number_);
  head->addSpacing(12);
  head->addWidget(new QLabel(loadString(108102), this));
  head->addWidget(title_, 1);

  // Subject and order of a resource summary.
  auto radios = [this](int caption, int first, QButtonGroup*& group, const char* names[2]) {
    auto* box = new QGroupBox(loadString(caption), this);
    auto* row = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    QRadioButton* second = nullptr;
    for (int i = 0; i < 2; ++i) {
      auto* radio = new QRadioButton(loadString(first + i), box);
      radio->setObjectName(QLatin1String(names[i]));
      group->addButton(radio, i);
      row->addWidget(radio);
      second = radio;
    }
    group->button(0)->setChecked(true);
    return std::pair{box, second};
  };
  const char* subjectNames[2] = {"activitySummary", "resourceSummary"};
  const char* orderNames[2] = {"activityFirst", "resourceFirst"};
  auto [subjectBox, resourceRadio] = radios(108128, 108119, subject_, subjectNames);
  auto [orderBox, firstRadio] = radios(108129, 108121, order_, orderNames);
  resourceSummary_ = resourceRadio;
  resourceFirst_ = firstRadio;
  auto* kinds = new QHBoxLayout;
  kinds->addWidget(subjectBox);
  kinds->addWidget(orderBox);

  levels_ = new QListWidget(this);
  levels_->setObjectName(QStringLiteral("levels"));
  for (int c = 0; c < 2; ++c)
    for (int l = 0; l < doc->classDef(c).levels; ++l) {
      auto* item = new QListWidgetItem(entryName(int16_t(c * 10 + l)), levels_);
      item->setData(Qt::UserRole, c * 10 + l);
    }
  for (int l = 0; l < 3; ++l) {
    auto* item = new QListWidgetItem(entryName(int16_t(20 + l)), levels_);
    item->setData(Qt::UserRole, 20 + l);
  }
  levels_->setCurrentRow(0);
  composition_ = new QListWidget(this);
  composition_->setObjectName(QStringLiteral("composition"));
  auto button = [this](int caption, const char* name) {
    auto* b = new QPushButton(loadString(caption), this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* append = button(108104, "append");
  QPushButton* insert = button(108105, "insert");
  QPushButton* remove = button(108106, "remove");
  connect(append, &QPushButton::clicked, this, [this] { addLevel(false); });
  connect(insert, &QPushButton::clicked, this, [this] { addLevel(true); });
  connect(remove, &QPushButton::clicked, this, &CSummaryBuildDlg::removeEntry);
  auto* moves = new QVBoxLayout;
  moves->addStretch();
  moves->addWidget(append);
  moves->addWidget(insert);
  moves->addWidget(remove);
  moves->addStretch();
  registered_ = new QListWidget(this);
  registered_->setObjectName(QStringLiteral("registered"));
  connect(registered_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { number_->setValue(item->data(Qt::UserRole).toInt()); });
  auto* lists = new QGridLayout;
  lists->addWidget(new QLabel(loadString(108131), this), 0, 0);
  lists->addWidget(new QLabel(loadString(108103), this), 0, 1);
  lists->addWidget(new QLabel(loadString(108124), this), 0, 3);
  lists->addWidget(registered_, 1, 0);
  lists->addWidget(composition_, 1, 1);
  lists->addLayout(moves, 1, 2);
  lists->addWidget(levels_, 1, 3);

  auto* optionGrid = new QGridLayout;
  int at = 0;
  for (const OptionBox& o : kOptions) {
    auto* box = new QCheckBox(loadString(o.caption), this);
    box->setObjectName(QLatin1String(o.name));
    options_.push_back(box);
    optionGrid->addWidget(box, at % 5, at / 5);
    ++at;
  }
  period_ = new QComboBox(this);
  period_->setObjectName(QStringLiteral("period"));
  for (int i = 0; i < 3; ++i) period_->addItem(loadString(108115 + i));
  optionGrid->addWidget(period_, at % 5, at / 5);
  connect(options_.back(), &QCheckBox::toggled, period_, &QWidget::setEnabled);
  period_->setEnabled(false);

  rebuildAll_ = new QPushButton(loadString(108118), this);
  rebuildAll_->setObjectName(QStringLiteral("rebuildAll"));
  rebuildAll_->setAutoDefault(false);
  connect(rebuildAll_, &QPushButton::clicked, this, &CSummaryBuildDlg::rebuildAll);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(optionGrid, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(rebuildAll_);
  side->addStretch();
  side->addWidget(okCancelButtons(this));
  bottom->addLayout(side);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addLayout(kinds);
  layout->addLayout(lists);
  layout->addLayout(bottom);

  connect(subject_, &QButtonGroup::idClicked, this, [this] { followSubject(); });
  connect(order_, &QButtonGroup::idClicked, this, [this] { followSubject(); });
  connect(number_, &QSpinBox::valueChanged, this, &CSummaryBuildDlg::loadNumber);
  const int16_t open = doc->openSummary();
  fillRegistered();
  number_->setValue(open >= 1 && open <= kSummaryNumberMax ? open : 1);
  loadNumber(number_->value());
  followSubject();
}

QString CSummaryBuildDlg::entryName(int16_t entry) const {
  const int c = entry / 10, l = entry % 10;
  if (c == 2) return loadString(108125 + l);
  const ClassDef& def = doc_->classDef(c);
  const QString level = l < def.levels ? fieldText(def.name[l], sizeof def.name[l]) : QString();
  return loadString(101805 + c) + QStringLiteral(" %1. ").arg(l + 1) + level;
}

void CSummaryBuildDlg::followSubject() {
  const bool resources = resourceSummary_->isChecked();
  for (QAbstractButton* b : order_->buttons()) b->setEnabled(resources);
  options_[1]->setEnabled(resources);  // "자원 구분 포함"
  options_[2]->setEnabled(resources);  // "자원 포함"
  // The order "자원 - 작업" takes no composition.
  const bool composed = !(resources && resourceFirst_->isChecked());
  levels_->setEnabled(composed);
  composition_->setEnabled(composed);
}

void CSummaryBuildDlg::loadNumber(int number) {
  if (auto stored = readSummaryRegistration(&doc_->db(), int16_t(number)))
    showRegistration(*stored);
  for (int i = 0; i < registered_->count(); ++i)
    if (registered_->item(i)->data(Qt::UserRole).toInt() == number) registered_->setCurrentRow(i);
}

void CSummaryBuildDlg::fillRegistered() {
  registered_->clear();
  for (int16_t n : registeredSummaries(&doc_->db())) {
    const auto r = readSummaryRegistration(&doc_->db(), n);
    const QString title = r ? xjor::fromCp949(r->title.data(), int(r->title.size())) : QString();
    auto* item = new QListWidgetItem(QStringLiteral("%1. ").arg(n) + title, registered_);
    item->setData(Qt::UserRole, int(n));
  }
}

void CSummaryBuildDlg::showRegistration(const SummaryRegistration& r) {
  const QSignalBlocker block(number_);
  number_->setValue(r.number);
  title_->setText(xjor::fromCp949(r.title.data(), int(r.title.size())));
  subject_->button(r.flags & kSummaryOfResources ? 1 : 0)->setChecked(true);
  order_->button(r.flags & kSummaryResourceFirst ? 1 : 0)->setChecked(true);
  for (size_t i = 0; i < options_.size(); ++i) options_[i]->setChecked(r.flags & kOptions[i].flag);
  period_->setCurrentIndex(int(r.flags & kSummaryPeriodMask) % 3);
  composition_->clear();
  for (int16_t entry : r.composition) {
    auto* item = new QListWidgetItem(entryName(entry), composition_);
    item->setData(Qt::UserRole, entry);
  }
  followSubject();
}

SummaryRegistration CSummaryBuildDlg::registration() const {
  SummaryRegistration r;
  r.number = int16_t(number_->value());
  const QByteArray title = xjor::toCp949(title_->text());
  r.title.assign(title.constData(), size_t(title.size()));
  if (resourceSummary_->isChecked()) r.flags |= kSummaryOfResources;
  if (resourceSummary_->isChecked() && resourceFirst_->isChecked())
    r.flags |= kSummaryResourceFirst;
  for (size_t i = 0; i < options_.size(); ++i)
    if (options_[i]->isEnabled() && options_[i]->isChecked()) r.flags |= kOptions[i].flag;
  if (r.flags & kSummaryPeriods) r.flags |= uint32_t(period_->currentIndex());
  for (int i = 0; i < composition_->count(); ++i)
    r.composition.push_back(int16_t(composition_->item(i)->data(Qt::UserRole).toInt()));
  return r;
}

void CSummaryBuildDlg::addEntry(int16_t entry, int at) {
  std::vector<int16_t> now;
  for (int i = 0; i < composition_->count(); ++i)
    now.push_back(int16_t(composition_->item(i)->data(Qt::UserRole).toInt()));
  const int checked = checkCompositionEntry(now, entry, size_t(at));
  if (checked != kCompositionAccepted) {
    const QString text = utf8(compositionMessage(checked));
    if (text.isEmpty()) {
      QApplication::beep();
    } else {
      showMessageText(this, text);
    }
    return;
  }
  auto* item = new QListWidgetItem(entryName(entry));
  item->setData(Qt::UserRole, entry);
  composition_->insertItem(at, item);
  composition_->setCurrentItem(item);
}

void CSummaryBuildDlg::addLevel(bool insert) {
  QListWidgetItem* level = levels_->currentItem();
  if (!level) return;
  const int row = composition_->currentRow();
  const int at = insert && row >= 0 ? row : composition_->count();
  addEntry(int16_t(level->data(Qt::UserRole).toInt()), at);
}

void CSummaryBuildDlg::removeEntry() {
  delete composition_->takeItem(composition_->currentRow());
}

void CSummaryBuildDlg::accept() {
  SummaryRegistration r = registration();
  if (readSummaryRegistration(&doc_->db(), r.number) &&
      askQuestionText(this, utf8(kOverwriteQuestion)) != QMessageBox::Yes) {
    return;
  }
  int16_t current = doc_->openSummary();
  doc_->updateAllViews(kAllViews, hint::kComputationBegins);
  int result;
  bool cancelled;
  {
    WorkProgress progress(this, loadString(108130));
    result = buildSummary(&doc_->db(), doc_->info(), r, &current, progress.listener());
    cancelled = progress.cancelled() && result == kSummaryStopped;
  }
  if (result == kSummaryDone) {
    built(current);
    return;
  }
  // Nothing was stored; the views show what they showed.
  doc_->setOpenSummary(current);
  doc_->updateAllViews(kAllViews, hint::kRepaint);
  if (!cancelled) showMessageText(this, utf8(summaryMessage(result)));
}

void CSummaryBuildDlg::rebuildAll() {
  std::vector<SummaryRegistration> all;
  for (int16_t n : registeredSummaries(&doc_->db()))
    if (auto r = readSummaryRegistration(&doc_->db(), n)) all.push_back(*r);
  int16_t current = doc_->openSummary();
  int count = 0;
  bool cancelled = false;
  if (!all.empty()) {
    doc_->updateAllViews(kAllViews, hint::kComputationBegins);
    WorkProgress progress(this, loadString(108130));
    count = buildSummaries(&doc_->db(), doc_->info(), all, &current, progress.listener());
    cancelled = progress.cancelled();
  }
  if (count > 0) {
    // What was rebuilt before a cancel stays rebuilt.
    built(current);
    return;
  }
  if (!all.empty()) doc_->updateAllViews(kAllViews, hint::kRepaint);
  if (!cancelled) showMessageText(this, utf8(kNoneBuiltMessage));
}

void CSummaryBuildDlg::built(int16_t current) {
  doc_->setOpenSummary(current);
  doc_->setModified();
  doc_->updateAllViews(kAllViews, hint::kSummaryRebuilt);
  QDialog::accept();
}

}  // namespace kelvo
