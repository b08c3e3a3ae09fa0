#include "kelvo/plan_doc.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "kelvo/option_slots.h"
#include "kelvo/strings.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

uint16_t packDate(int year, int month, int day) {
  return xjor::packDate(year, month, day);
}
int yearOf(uint16_t d) {
  return xjor::packedYear(d);
}

// Deletes every record of a table and gives its slot file back.
void emptyTable(TableHandle* tb) {
  if (tb->handle < 0) return;
  tb->current = -1;
  while (xMoveNext(tb)) xDelRec(tb);
  xPackTb(tb);
  tb->current = -1;
}

void emptyMemTable(MemTable* m) {
  const int16_t size = m->recordSize;
  const KeyDesc* key = m->key;
  const int16_t growth = m->growth > 0 ? m->growth : 100;
  xmCloseTb(m);
  xmOpenTb(m, size, key, growth);
}

}  // namespace

bool makeClassDef(const int lengths[8], const QString names[8], ClassDef* def) {
  ClassDef made{};
  int sum = 0;
  for (int i = 0; i < 8 && lengths[i] > 0; ++i) {
    made.start[i] = static_cast<int16_t>(sum);
    made.length[i] = static_cast<int16_t>(lengths[i]);
    sum += lengths[i];
    const QByteArray name = xjor::toCp949(names[i]).left(20);
    std::memcpy(made.name[i], name.constData(), name.size());
    made.levels = static_cast<int16_t>(i + 1);
    if (sum > kMaxClassLength) return false;
  }
  *def = made;
  return true;
}

bool classStructureDiffers(const ClassDef& a, const ClassDef& b) {
  if (a.levels != b.levels) return true;
  for (int i = 0; i < a.levels && i < 8; ++i)
    if (a.length[i] != b.length[i]) return true;
  return false;
}

QString stageText(int stage) {
  return stage > 0
             ? loadString(kStrProgressStage).replace(QStringLiteral("%d"), QString::number(stage))
             : loadString(kStrPlanningStage);
}

void fillMissingDates(PrjInfo* info, uint16_t today) {
  if (info->dataDate == 0) info->dataDate = packDate(yearOf(today), 1, 1);
  if (info->start == 0) info->start = info->dataDate;
  if (info->finish == 0) info->finish = packDate(yearOf(info->start), 12, 31);
}

PrjInfo newProjectInfo() {
  PrjInfo info;
  std::memset(&info, 0, sizeof info);
  info.amountDigits = 12;
  return info;
}

CPlanDoc::CPlanDoc(const QString& tempFolder, int32_t refHandle, QObject* parent)
    : QObject(parent), tempFolder_(tempFolder), refHandle_(refHandle) {
  std::memset(&info_, 0, sizeof info_);
}

CPlanDoc::~CPlanDoc() {
  closeProject();
}

void CPlanDoc::setModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit stateChanged();
}

QString CPlanDoc::title() const {
  return path_.isEmpty() ? QStringLiteral("Kelvo") : QFileInfo(path_).fileName();
}

QString CPlanDoc::statusText() const {
  if (!open_) return {};
  return xjor::fromCp949(info_.code, int(strnlen(info_.code, sizeof info_.code))) + ' ' +
         xjor::fromCp949(info_.title, int(strnlen(info_.title, sizeof info_.title)));
}

std::unique_ptr<ProjectDb> CPlanDoc::createDatabase() const {
  auto db = std::make_unique<ProjectDb>();
  std::memset(db.get(), 0, sizeof(ProjectDb));
  const QByteArray folder = QFile::encodeName(tempFolder_);
  if (!xCreateDB(db.get(), nullptr, folder.constData(), nullptr)) {
    xCloseDB(db.get());
    return nullptr;
  }
  db->space.refHandle = refHandle_;
  return db;
}

std::unique_ptr<ProjectDb> CPlanDoc::makeDatabase() const {
  auto db = createDatabase();
  if (db && !xInitializeDB(db.get(), nullptr)) {
    xCloseDB(db.get());
    db.reset();
  }
  return db;
}

void CPlanDoc::adoptProject(std::unique_ptr<ProjectDb> db, const PrjInfo& info,
                            const ClassDef defs[2]) {
  closeProject();
  db_ = std::move(db);
  info_ = info;
  std::memcpy(classes_, defs, sizeof classes_);
  open_ = true;
  installCalendars();
  modified_ = true;
  emit stateChanged();
}

bool CPlanDoc::newProject(const PrjInfo& info) {
  closeProject();
  auto db = makeDatabase();
  if (!db) return false;
  db_ = std::move(db);
  info_ = info;
  open_ = true;
  installCalendars();
  emit stateChanged();
  return true;
}

bool CPlanDoc::openProject(const QString& path, const std::function<void(double)>& progress) {
  // The file is read into a database of its own first, so that a damaged
  // file leaves the open project as it was.
  auto db = createDatabase();
  if (!db) return false;
  const QByteArray file = QFile::encodeName(path);
  PrjInfo info;
  const xReadProgressFn relay = [](void* context, double fraction) {
    (*static_cast<const std::function<void(double)>*>(context))(fraction);
  };
  const auto context = const_cast<std::function<void(double)>*>(&progress);
  if (!xReadDBProgress(db.get(), &info, file.constData(), progress ? relay : nullptr, context)) {
    xCloseDB(db.get());
    return false;
  }
  closeProject();
  db_ = std::move(db);
  info_ = info;
  open_ = true;
  path_ = path;
  readProjectOptions();
  installCalendars();
  emit stateChanged();
  return true;
}

void CPlanDoc::prepareToWrite() {
  if (!open_) return;
  writeProjectOptions();
  xSavePrjDateInfo(db_.get());
  updateAllViews(kAllViews, hint::kStoreSettings);
}

bool CPlanDoc::saveProject(const QString& path) {
  if (!open_) return false;
  prepareToWrite();
  const QByteArray file = QFile::encodeName(path);
  if (!xSaveDB(db_.get(), &info_, file.constData(), openSummary_)) return false;
  path_ = path;
  modified_ = false;
  emit stateChanged();
  return true;
}

void CPlanDoc::closeProject() {
  undo_.clear();
  if (!open_) return;
  xCloseDB(db_.get());
  db_.reset();
  for (int slot = 0; slot < 8; ++slot) xFreeWork(slot);
  std::memset(classes_, 0, sizeof classes_);
  std::memset(&info_, 0, sizeof info_);
  openSummary_ = 0;
  currentClass_ = 0;
  open_ = false;
  modified_ = false;
  path_.clear();
  emit stateChanged();
}

void CPlanDoc::changeClassDefs(const ClassDef defs[2]) {
  bool changed = false;
  for (int cls = 0; cls < 2; ++cls) {
    if (classStructureDiffers(classes_[cls], defs[cls])) {
      clearDependentData(cls);
      changed = true;
    }
  }
  std::memcpy(classes_, defs, sizeof classes_);
  if (changed) {
    undo_.clear();
    updateAllViews(kAllViews, hint::kRefresh);
  }
  modified_ = true;
  emit stateChanged();
}

void CPlanDoc::clearDependentData(int cls) {
  if (!open_) return;
  if (cls == kClassWorkType) {
    emptyTable(&db_->wbs.tb);
    emptyMemTable(&db_->wbsCodes);
    emptyTable(&db_->crw.tb);
    xiDelAll(&db_->cr1);
    xiDelAll(&db_->cr2);
  } else {
    emptyTable(&db_->obs.tb);
    emptyMemTable(&db_->obsCodes);
  }
  emptyTable(&db_->act.tb);
  xiDelAll(&db_->wa1);
  xiDelAll(&db_->wa2);
  xiDelAll(&db_->spa);
  emptyMemTable(&db_->actCodes);
  emptyMemTable(&db_->actOrder);
  emptyTable(&db_->rel.tb);
  emptyMemTable(&db_->relByPred);
  emptyMemTable(&db_->relBySucc);
  emptyMemTable(&db_->relAnchor);
  emptyTable(&db_->opr.tb);
  xiDelAll(&db_->op1);
  xiDelAll(&db_->op2);
}

void CPlanDoc::setProjectInfo(const PrjInfo& info) {
  info_ = info;
  modified_ = true;
  emit stateChanged();
}

void CPlanDoc::updateAllViews(uint64_t mask, int hintCode, intptr_t extra) {
  if (batchDepth_ == 0) {
    emit viewsUpdate(mask, hintCode, extra);
    return;
  }
  for (PendingHint& p : pendingHints_)
    if (p.hint == hintCode) {
      p.mask |= mask;
      return;
    }
  pendingHints_.push_back({hintCode, mask, extra});
}

void CPlanDoc::beginUpdateBatch() {
  ++batchDepth_;
}

void CPlanDoc::endUpdateBatch() {
  if (batchDepth_ == 0 || --batchDepth_ > 0) return;
  const std::vector<PendingHint> pending = std::move(pendingHints_);
  pendingHints_.clear();
  for (const PendingHint& p : pending) emit viewsUpdate(p.mask, p.hint, p.extra);
}

void CPlanDoc::readProjectOptions() {
  int16_t summary = 0;
  if (xOption(&db_->opt, XOPT_READ, kOptOpenSummary, &summary, sizeof summary) && summary > 0) {
    // A summary file that is gone is dropped without a word.
    if (!xOpenSumFile(db_.get(), &openSummary_, summary)) openSummary_ = 0;
  }
  xReadClassDefinitions(db_.get(), classes_);
}

void CPlanDoc::writeProjectOptions() {
  xOption(&db_->opt, XOPT_WRITE, kOptOpenSummary, &openSummary_, sizeof openSummary_);
  xOption(&db_->opt, XOPT_WRITE, kOptClassDefs, classes_, sizeof classes_);
}

void CPlanDoc::installCalendars() {
  xSetPrjDateInfo(db_.get(), info_.calendarFrom, info_.calendarTo);
}

}  // namespace kelvo
