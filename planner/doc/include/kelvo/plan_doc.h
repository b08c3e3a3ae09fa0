// The planning document: the one open project and the program-wide project
// state (database, information block, classification definitions, open
// summary number, current classification), with new / open / save / close
// over the project store and the update hints that tell the views about
// changes.
#ifndef KELVO_PLAN_DOC_H_
#define KELVO_PLAN_DOC_H_

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "kelvo/doc_edit.h"
#include "kelvo/undo_buffer.h"
#include "xQdDb100.h"

namespace kelvo {

// One classification's level definition as the project stores it.
using ClassDef = ::ClassDefinition;

inline constexpr int kClassWorkType = 0;
inline constexpr int kClassFacility = 1;
inline constexpr int kMaxClassLength = 10;

// Update hints.
namespace hint {
inline constexpr int kRepaint = 0;
inline constexpr int kInitialUpdate = 1;
inline constexpr int kStoreSettings = 2;
inline constexpr int kDatesChanged = 6;
inline constexpr int kComputationBegins = 8;
inline constexpr int kSummaryRebuilt = 10;
inline constexpr int kRefresh = 11;
// The stored settings of views were rewritten under them (field indexes
// after a re-layout): views drop what they read and read them again.
inline constexpr int kSettingsRewritten = 12;
inline constexpr int kOptionBarChange = 17;
}  // namespace hint
inline constexpr uint64_t kAllViews = ~uint64_t{0};

// Builds a definition from level lengths and names as a dialog edits them:
// reading stops at the first length that is 0 or less; start positions are
// summed up; levels beyond are cleared. Returns false (definition untouched)
// when the lengths read add up to more than 10.
bool makeClassDef(const int lengths[8], const QString names[8], ClassDef* def);

// True when the number of levels or any level length differs (names do not
// count).
bool classStructureDiffers(const ClassDef& a, const ClassDef& b);

// The stage as the program shows it: "계획 단계" or "진행 n단계".
QString stageText(int stage);

// Fills empty dates of a new or edited information block: an empty data date
// becomes 1 January of `today`'s year, an empty start the data date, an
// empty finish 31 December of the start's year.
void fillMissingDates(PrjInfo* info, uint16_t today);

// A new information block: all zero but the amount digits (12).
PrjInfo newProjectInfo();

class CPlanDoc : public QObject {
  Q_OBJECT
 public:
  // tempFolder is where working files go; refHandle the open Kelvo.ref.
  CPlanDoc(const QString& tempFolder, int32_t refHandle, QObject* parent = nullptr);
  ~CPlanDoc() override;

  bool isOpen() const { return open_; }
  bool isModified() const { return modified_; }
  void setModified(bool modified = true);
  // The project file, empty for a project not saved yet.
  const QString& path() const { return path_; }
  // The name shown in captions: the file's base name, or "Kelvo".
  QString title() const;

  // The open project's database (only while isOpen()).
  ProjectDb& db() { return *db_; }
  PrjInfo& info() { return info_; }
  const PrjInfo& info() const { return info_; }
  ClassDef& classDef(int cls) { return classes_[cls]; }
  const ClassDef& classDef(int cls) const { return classes_[cls]; }
  int16_t openSummary() const { return openSummary_; }
  // Records the summary file that summary building or the chooser opened.
  void setOpenSummary(int16_t number) { openSummary_ = number; }
  int currentClass() const { return currentClass_; }
  void setCurrentClass(int cls) { currentClass_ = cls == 1 ? 1 : 0; }

  // Status bar text: project code, a blank, project name (empty when closed).
  QString statusText() const;

  // Starts a new project from info: creates an empty database and gives it
  // its field layouts, then installs the calendars. Returns false when the
  // database cannot be made (nothing is left open then).
  bool newProject(const PrjInfo& info);

  // A fresh project database in the temporary folder with its field
  // layouts, for an import to fill before adoptProject; null when it cannot
  // be made.
  std::unique_ptr<ProjectDb> makeDatabase() const;

  // Takes over a database that an import has made and filled, with its
  // information block and classification definitions: the calendars are
  // installed, and the project, which has no file yet, counts as modified.
  // The open project must have been closed first.
  void adoptProject(std::unique_ptr<ProjectDb> db, const PrjInfo& info, const ClassDef defs[2]);

  // Reads a project file (its information and password were checked by the
  // caller) and, once it is read whole, puts it in place of the open
  // project. Returns false, leaving the open project as it was, when the
  // file cannot be read. `progress`, when given, receives the fraction of
  // the file read so far: rising values, and 1 once the whole file is in.
  bool openProject(const QString& path, const std::function<void(double)>& progress = {});

  // Brings the option file up to date before the project is written out
  // (saved or exported): the open summary number, the classification
  // definitions, the date settings and calendars; every view is told to
  // store its settings (hint 2).
  void prepareToWrite();

  // Writes the whole project into path; on success the path is remembered
  // and the modified flag cleared. A failed save leaves the file on disk
  // as it was.
  bool saveProject(const QString& path);

  // Releases everything of the open project and its working files.
  void closeProject();

  // New classification definitions (both). Those whose structure changed
  // have their dependent data emptied (the caller has asked the user);
  // hint 11 is sent; the definitions are stored and the document marked
  // modified.
  void changeClassDefs(const ClassDef defs[2]);

  // Empties the data that depends on classification cls.
  void clearDependentData(int cls);

  // Editing dispatch (kinds in kelvo/view_kind.h). Enters `record` as data
  // of `kind` into the record in `slot` of the kind's table, which becomes
  // the table's current record; a slot that holds no record (-1) adds one.
  // dateMode is passed to activity input (< 0 leaves the dates alone). On
  // success the stored record is written back into `record`, its slot is
  // returned, the document is marked modified, a changed record's old
  // values become the undo step, and the views of viewsOfEdit(kind), the
  // caller's own kind excepted, get hint 11 for an added record and hint 0
  // for a changed one (extra = kind). A refusal changes nothing and returns
  // the message number, shown first when `report` asks for it.
  EditResult inputRecord(ViewKind kind, int32_t slot, void* record, int dateMode = -1,
                         EditReport report = EditReport::Silent);
  // Deletes the current record of the kind's table with everything that
  // depends on it (for time-shared entries the current "spa" entry). Nothing
  // current: ok, nothing changes. Summary records cannot be deleted
  // (message 22000). On success: modified, hint 11 to the same views.
  EditResult deleteRecord(ViewKind kind, EditReport report = EditReport::Silent);
  // The classification tree that codes of the tree kinds are entered beside
  // (null: none). The document does not own it.
  void setClassTreeLink(ClassTreeLink* link);
  ClassTreeLink* classTreeLink() const { return treeLink_; }
  // Shows a refusal that an edit asked to be shown (EditReport::Show); the
  // program installs its message box here. Without one a refusal is only
  // returned.
  void setMessagePresenter(std::function<void(int message)> present);

  // Replaces the project information block (the information and password
  // dialogs): marked modified, the status bar told.
  void setProjectInfo(const PrjInfo& info);

  // The one undo step of the program (grid layouts, record edits). Opening,
  // creating, closing a project and a classification change that empties
  // data clear it.
  UndoBuffer& undo() { return undo_; }

  // Tells every view whose kind bit is set in mask.
  void updateAllViews(uint64_t mask, int hintCode, intptr_t extra = 0);
  // From beginUpdateBatch to the matching endUpdateBatch hints are gathered
  // instead of sent; the outermost end sends each hint code once, to every
  // view any of its sends named (extra from its first send), in the order
  // the codes first came. For edits of many records in one go.
  void beginUpdateBatch();
  void endUpdateBatch();

 signals:
  // Hint for the views: bit k of mask names view kind k.
  void viewsUpdate(quint64 mask, int hint, qintptr extra);
  // The open state, the information block or the modified flag changed.
  void stateChanged();

 private:
  std::unique_ptr<ProjectDb> createDatabase() const;
  void readProjectOptions();
  void writeProjectOptions();
  void installCalendars();
  void report(EditReport how, int message);
  // inputRecord without the undo step: views in quietViews get no hint
  // (0: every view re-reads, as after an undo).
  EditResult enterRecord(ViewKind kind, void* record, int dateMode, EditReport how,
                         uint64_t quietViews);
  void keepRecordUndo(ViewKind kind, int32_t slot, std::vector<char> kept);
  // The undo step of a changed time-shared entry: the entry now stored
  // gives way to the one kept.
  void keepEntryUndo(SpaEntry now, SpaEntry kept);

  QString tempFolder_;
  int32_t refHandle_;
  std::unique_ptr<ProjectDb> db_;
  PrjInfo info_{};
  ClassDef classes_[2]{};
  int16_t openSummary_ = 0;
  int currentClass_ = 0;
  ClassTreeLink* treeLink_ = nullptr;
  std::function<void(int)> presentMessage_;
  UndoBuffer undo_;
  bool open_ = false;
  bool modified_ = false;
  QString path_;
  struct PendingHint {
    int hint;
    uint64_t mask;
    intptr_t extra;
  };
  int batchDepth_ = 0;
  std::vector<PendingHint> pendingHints_;
};

// Gathers the document's hints for as long as it lives.
class UpdateBatch {
 public:
  explicit UpdateBatch(CPlanDoc* doc) : doc_(doc) {
    if (doc_) doc_->beginUpdateBatch();
  }
  ~UpdateBatch() {
    if (doc_) doc_->endUpdateBatch();
  }
  UpdateBatch(const UpdateBatch&) = delete;
  UpdateBatch& operator=(const UpdateBatch&) = delete;

 private:
  CPlanDoc* doc_;
};

}  // namespace kelvo

#endif  // KELVO_PLAN_DOC_H_
