#include "kelvo/doc_edit.h"

#include <cstring>
#include <utility>
#include <vector>

#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/time_shared.h"

namespace kelvo {
namespace {

// Views that show activities: data sheet, map, Gantt table and chart,
// network, the lower Gantt panes (they follow the selected activity).
using K = ViewKind;
constexpr uint64_t kActivityViews =
    kindBits({K::Activities, K::Map, K::GanttChart, K::GanttTable, K::Network, K::Predecessors,
              K::Successors, K::PaneCrewDetails, K::TimeShared, K::PaneCrews});
constexpr uint64_t kRelationViews =
    kindBits({K::Relations, K::Map, K::GanttChart, K::Network, K::Predecessors, K::Successors});
constexpr uint64_t kCrewDetailViews =
    kindBits({K::Resources, K::CrewDetails, K::Map, K::PaneCrewDetails});
constexpr uint64_t kCrewViews = kindBits({K::Crews, K::Map, K::PaneCrews});
constexpr uint64_t kSummaryViews = kindBits(
    {K::Summary, K::ResourceSummary, K::GanttSummaryChart, K::GanttSummaryTable, K::ValueSheet,
     K::PeriodSheet, K::PeriodResourceSheet, K::PeriodChart, K::UserReport});

int classOfKind(ViewKind kind) {
  return kind == ViewKind::FacilitySheet || kind == ViewKind::FacilityTree ? kClassFacility
                                                                           : kClassWorkType;
}

// The views an edit of kind leaves untold: the editing view knows. Time-shared
// entries are edited by the progress dialog as well as by their pane, so
// their pane always hears (and ignores its own edits).
uint64_t ownViews(ViewKind kind) {
  return kind == ViewKind::TimeShared ? 0 : kindBit(kind);
}

bool isClassKind(ViewKind kind) {
  return kind == ViewKind::WorkTypeSheet || kind == ViewKind::FacilitySheet ||
         kind == ViewKind::WorkTypeTree || kind == ViewKind::FacilityTree;
}

ClassLevels levelsOf(const ClassDef& def) {
  return xClassLevelsOf(&def);
}

// True when the table's current slot holds a live record, i.e. an input
// changes that record instead of adding one.
bool hasCurrentRecord(TableHandle* tb) {
  if (!tb || tb->handle < 0 || tb->current < 0) return false;
  std::vector<char> buffer(tb->recordSize + 1u);
  return xGetRec(tb, buffer.data()) != 0;
}

}  // namespace

TableHandle* editTable(ProjectDb& db, ViewKind kind) {
  switch (kind) {
    case ViewKind::WorkTypeSheet:
    case ViewKind::WorkTypeTree:
      return &db.wbs.tb;
    case ViewKind::FacilitySheet:
    case ViewKind::FacilityTree:
      return &db.obs.tb;
    case ViewKind::Resources:
      return &db.res.tb;
    case ViewKind::Crews:
    case ViewKind::PaneCrews:
      return &db.crw.tb;
    case ViewKind::Activities:
    case ViewKind::GanttTable:
      return &db.act.tb;
    case ViewKind::Relations:
    case ViewKind::Predecessors:
    case ViewKind::Successors:
      return &db.rel.tb;
    case ViewKind::CrewDetails:
    case ViewKind::PaneCrewDetails:
      return &db.opr.tb;
    case ViewKind::Summary:
    case ViewKind::ResourceSummary:
    case ViewKind::GanttSummaryTable:
      return &db.summary.table.tb;
    default:
      return nullptr;
  }
}

uint64_t viewsOfEdit(ViewKind kind) {
  switch (kind) {
    case ViewKind::WorkTypeSheet:
    case ViewKind::WorkTypeTree:
      // A changed or deleted work type is carried into crews and activities.
      return kindBits({K::WorkTypeSheet, K::WorkTypeTree}) | kCrewViews | kActivityViews |
             kRelationViews | kCrewDetailViews;
    case ViewKind::FacilitySheet:
    case ViewKind::FacilityTree:
      return kindBits({K::FacilitySheet, K::FacilityTree}) | kActivityViews | kRelationViews |
             kCrewDetailViews;
    case ViewKind::Resources:
      return kCrewViews | kCrewDetailViews;
    case ViewKind::Crews:
    case ViewKind::PaneCrews:
      return kCrewViews;
    case ViewKind::Activities:
    case ViewKind::GanttTable:
      // A changed code is carried into relations and crew details.
      return kActivityViews | kRelationViews | kCrewDetailViews;
    case ViewKind::Relations:
    case ViewKind::Predecessors:
    case ViewKind::Successors:
      return kRelationViews;
    case ViewKind::CrewDetails:
    case ViewKind::PaneCrewDetails:
      return kCrewDetailViews;
    case ViewKind::Summary:
    case ViewKind::ResourceSummary:
    case ViewKind::GanttSummaryTable:
      return kSummaryViews;
    case ViewKind::TimeShared:
      return kActivityViews;
    default:
      return 0;
  }
}

void CPlanDoc::setClassTreeLink(ClassTreeLink* link) {
  treeLink_ = link;
}

void CPlanDoc::setMessagePresenter(std::function<void(int message)> present) {
  presentMessage_ = std::move(present);
}

void CPlanDoc::report(EditReport how, int message) {
  if (how == EditReport::Show && message != 0 && presentMessage_) presentMessage_(message);
}

EditResult CPlanDoc::inputRecord(ViewKind kind, int32_t slot, void* record, int dateMode,
                                 EditReport how) {
  if (!open_ || !record || !isViewKindNumber(kindNumber(kind))) return {};
  TableHandle* tb = editTable(*db_, kind);
  if (tb) tb->current = slot;
  // A changed record keeps its old values as the undo step.
  std::vector<char> before;
  if (kind != ViewKind::TimeShared && hasCurrentRecord(tb)) {
    before.resize(tb->recordSize + 1u);
    xGetRec(tb, before.data());
  }
  // A changed time-shared entry (the index's current one) keeps its old day
  // and quantity.
  SpaEntry entryBefore{};
  const bool entryChanged = kind == ViewKind::TimeShared && db_->spa.current != XJOR_NONE &&
                            db_->spa.current < db_->spa.count &&
                            xiGet(&db_->spa, &entryBefore) == 1;
  const EditResult result = enterRecord(kind, record, dateMode, how, ownViews(kind));
  if (result.ok && !before.empty()) keepRecordUndo(kind, result.slot, std::move(before));
  if (result.ok && entryChanged) keepEntryUndo(*static_cast<const SpaEntry*>(record), entryBefore);
  return result;
}

void CPlanDoc::keepEntryUndo(SpaEntry now, SpaEntry kept) {
  undo_.keep(nullptr, [this, now, kept]() mutable {
    if (!open_ || !selectTimeSharedEntry(*db_, now.activity, now.day)) return false;
    if (!enterRecord(ViewKind::TimeShared, &kept, -1, EditReport::Show, 0).ok) return false;
    std::swap(now, kept);
    return true;
  });
}

void CPlanDoc::keepRecordUndo(ViewKind kind, int32_t slot, std::vector<char> kept) {
  undo_.keep(nullptr, [this, kind, slot, kept = std::move(kept)]() mutable {
    TableHandle* tb = editTable(*db_, kind);
    if (!open_ || !tb) return false;
    tb->current = slot;
    if (!hasCurrentRecord(tb)) return false;
    std::vector<char> now(kept.size());
    xGetRec(tb, now.data());
    // Dates come back as they were kept; every view of the data re-reads.
    if (!enterRecord(kind, kept.data(), -1, EditReport::Show, 0).ok) return false;
    kept = std::move(now);
    return true;
  });
}

EditResult CPlanDoc::enterRecord(ViewKind kind, void* record, int dateMode, EditReport how,
                                 uint64_t quietViews) {
  ProjectDb* db = db_.get();
  TableHandle* tb = editTable(*db, kind);
  const bool adding = kind != ViewKind::TimeShared && !hasCurrentRecord(tb);
  int32_t message = 0;

  if (isClassKind(kind)) {
    const int cls = classOfKind(kind);
    const bool fromTree = isTreeKind(kind);
    if (fromTree && adding && treeLink_ && treeLink_->childLevel() >= classes_[cls].levels) {
      message = kStrMsgLastLevel;
    } else {
      const ClassLevels levels = levelsOf(classes_[cls]);
      message = xInputRecWbs(db, record, int16_t(cls), &levels);
    }
    if (message == 0 && fromTree && treeLink_) treeLink_->codeEntered(cls, tb->current);
  } else if (isSummaryKind(kind)) {
    // Summary rows are made by summary building; they are only rewritten.
    if (adding || !xPutRec(tb, record)) message = kStrMsgSummaryFixed;
  } else {
    switch (kind) {
      case ViewKind::Resources:
        message = xInputRecRes(db, record);
        break;
      case ViewKind::Crews:
      case ViewKind::PaneCrews:
        message = xInputRecCrew(db, record, classes_[kClassWorkType].levels);
        break;
      case ViewKind::Activities:
      case ViewKind::GanttTable:
        message = xInputRecAct(db, record, info_.start, classes_[kClassWorkType].levels,
                               classes_[kClassFacility].levels, int16_t(dateMode));
        break;
      case ViewKind::Relations:
      case ViewKind::Predecessors:
      case ViewKind::Successors:
        message = xInputRecRel(db, record);
        break;
      case ViewKind::CrewDetails:
      case ViewKind::PaneCrewDetails:
        message = xInputRecOpr(db, record);
        break;
      case ViewKind::TimeShared:
        message = xInputRecSpa(db, static_cast<const SpaEntry*>(record));
        break;
      default:
        return {};
    }
  }

  if (message != 0) {
    report(how, message);
    return {false, message};
  }
  setModified(true);
  const int hintCode =
      adding || kind == ViewKind::TimeShared || quietViews == 0 ? hint::kRefresh : hint::kRepaint;
  updateAllViews(viewsOfEdit(kind) & ~quietViews, hintCode, kindNumber(kind));
  return {true, 0, tb ? tb->current : -1};
}

EditResult CPlanDoc::deleteRecord(ViewKind kind, EditReport how) {
  if (!open_ || !isViewKindNumber(kindNumber(kind))) return {};
  ProjectDb* db = db_.get();
  if (isSummaryKind(kind)) {
    report(how, kStrMsgSummaryFixed);
    return {false, kStrMsgSummaryFixed};
  }
  if (kind == ViewKind::TimeShared) {
    // A time-shared entry has no record of its own: it goes straight out of
    // its index.
    if (db->spa.current == XJOR_NONE || db->spa.current >= db->spa.count) return {true, 0};
    xiDel(&db->spa);
    db->spa.current = XJOR_NONE;
  } else {
    TableHandle* tb = editTable(*db, kind);
    if (!tb) return {};
    if (!hasCurrentRecord(tb)) return {true, 0};  // nothing to delete
    if (isClassKind(kind)) {
      const int cls = classOfKind(kind);
      const bool fromTree = isTreeKind(kind);
      if (fromTree && treeLink_) treeLink_->codeDeleted(cls, tb->current);
      xDeleteRecWbs(db, int16_t(cls));
    } else {
      switch (kind) {
        case ViewKind::Resources:
          xDeleteRecRes(db);
          break;
        case ViewKind::Crews:
        case ViewKind::PaneCrews:
          xDeleteRecCrew(db);
          break;
        case ViewKind::Activities:
        case ViewKind::GanttTable:
          xDeleteRecAct(db);
          break;
        case ViewKind::Relations:
        case ViewKind::Predecessors:
        case ViewKind::Successors:
          xDeleteRecRel(db);
          break;
        case ViewKind::CrewDetails:
        case ViewKind::PaneCrewDetails:
          xDeleteRecOpr(db);
          break;
        default:
          return {};
      }
    }
  }
  // A kept record step may name a slot that is free now or soon reused.
  undo_.release(nullptr);
  setModified(true);
  updateAllViews(viewsOfEdit(kind) & ~ownViews(kind), hint::kRefresh, kindNumber(kind));
  return {true, 0};
}

}  // namespace kelvo
