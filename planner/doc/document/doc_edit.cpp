#include "kelvo/doc_edit.h"

#include <cstring>
#include <vector>

#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

constexpr uint64_t bits(std::initializer_list<int> kinds) {
  uint64_t mask = 0;
  for (int k : kinds) mask |= uint64_t{1} << k;
  return mask;
}

// Views that show activities: data sheet, map, Gantt table and chart,
// network, the lower Gantt panes (they follow the selected activity).
constexpr uint64_t kActivityViews = bits({4, 11, 12, 14, 16, 32, 33, 34});
constexpr uint64_t kRelationViews = bits({5, 11, 12, 16, 32, 33});
constexpr uint64_t kCrewDetailViews = bits({2, 6, 11, 34});
constexpr uint64_t kSummaryViews = bits({7, 8, 13, 15, 17, 18, 19, 20, 21});

int classOfKind(int kind) {
  return kind == edit::kFacilityCode || kind == edit::kTreeFacility ? kClassFacility
                                                                    : kClassWorkType;
}

bool isClassKind(int kind) {
  return kind == edit::kWorkTypeCode || kind == edit::kFacilityCode ||
         kind == edit::kTreeWorkType || kind == edit::kTreeFacility;
}

ClassLevels levelsOf(const ClassDef& def) {
  ClassLevels levels{};
  levels.count = def.levels;
  std::memcpy(levels.start, def.start, sizeof levels.start);
  std::memcpy(levels.length, def.length, sizeof levels.length);
  return levels;
}

// True when the table's current slot holds a live record, i.e. an input
// changes that record instead of adding one.
bool hasCurrentRecord(TableHandle* tb) {
  if (!tb || tb->handle < 0 || tb->current < 0) return false;
  std::vector<char> buffer(tb->recordSize + 1u);
  return xGetRec(tb, buffer.data()) != 0;
}

}  // namespace

TableHandle* editTable(ProjectDb& db, int kind) {
  switch (kind) {
    case edit::kWorkTypeCode:
    case edit::kTreeWorkType:
      return &db.wbs.tb;
    case edit::kFacilityCode:
    case edit::kTreeFacility:
      return &db.obs.tb;
    case edit::kResource:
      return &db.res.tb;
    case edit::kCrew:
      return &db.crw.tb;
    case edit::kActivity:
    case edit::kGanttActivity:
      return &db.act.tb;
    case edit::kRelation:
    case edit::kPredecessors:
    case edit::kSuccessors:
      return &db.rel.tb;
    case edit::kCrewDetail:
    case edit::kPaneCrewDetails:
      return &db.opr.tb;
    case edit::kSummary:
    case edit::kResourceSummary:
    case edit::kGanttSummary:
      return &db.summary.table.tb;
    default:
      return nullptr;
  }
}

uint64_t viewsOfEdit(int kind) {
  switch (kind) {
    case edit::kWorkTypeCode:
    case edit::kTreeWorkType:
      // A changed or deleted work type is carried into crews and activities.
      return bits({0, 3, 9}) | kActivityViews | kRelationViews | kCrewDetailViews;
    case edit::kFacilityCode:
    case edit::kTreeFacility:
      return bits({1, 10}) | kActivityViews | kRelationViews | kCrewDetailViews;
    case edit::kResource:
      return bits({2, 3}) | kCrewDetailViews;
    case edit::kCrew:
      return bits({3, 11});
    case edit::kActivity:
    case edit::kGanttActivity:
      // A changed code is carried into relations and crew details.
      return kActivityViews | kRelationViews | kCrewDetailViews;
    case edit::kRelation:
    case edit::kPredecessors:
    case edit::kSuccessors:
      return kRelationViews;
    case edit::kCrewDetail:
    case edit::kPaneCrewDetails:
      return kCrewDetailViews;
    case edit::kSummary:
    case edit::kResourceSummary:
    case edit::kGanttSummary:
      return kSummaryViews;
    case edit::kTimeShared:
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

EditResult CPlanDoc::inputRecord(int kind, int32_t slot, void* record, int dateMode,
                                 EditReport how) {
  if (!open_ || !record) return {};
  TableHandle* tb = editTable(*db_, kind);
  if (tb) tb->current = slot;
  // A changed record keeps its old values as the undo step.
  std::vector<char> before;
  if (kind != edit::kTimeShared && hasCurrentRecord(tb)) {
    before.resize(tb->recordSize + 1u);
    xGetRec(tb, before.data());
  }
  const EditResult result = enterRecord(kind, record, dateMode, how, uint64_t{1} << kind);
  if (result.ok && !before.empty()) keepRecordUndo(kind, result.slot, std::move(before));
  return result;
}

void CPlanDoc::keepRecordUndo(int kind, int32_t slot, std::vector<char> kept) {
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

EditResult CPlanDoc::enterRecord(int kind, void* record, int dateMode, EditReport how,
                                 uint64_t quietViews) {
  ProjectDb* db = db_.get();
  TableHandle* tb = editTable(*db, kind);
  const bool adding = kind != edit::kTimeShared && !hasCurrentRecord(tb);
  int32_t message = 0;

  if (isClassKind(kind)) {
    const int cls = classOfKind(kind);
    const bool fromTree = kind == edit::kTreeWorkType || kind == edit::kTreeFacility;
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
      case edit::kResource:
        message = xInputRecRes(db, record);
        break;
      case edit::kCrew:
        message = xInputRecCrew(db, record, classes_[kClassWorkType].levels);
        break;
      case edit::kActivity:
      case edit::kGanttActivity:
        message = xInputRecAct(db, record, info_.start, classes_[kClassWorkType].levels,
                               classes_[kClassFacility].levels, int16_t(dateMode));
        break;
      case edit::kRelation:
      case edit::kPredecessors:
      case edit::kSuccessors:
        message = xInputRecRel(db, record);
        break;
      case edit::kCrewDetail:
      case edit::kPaneCrewDetails:
        message = xInputRecOpr(db, record);
        break;
      case edit::kTimeShared:
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
      adding || kind == edit::kTimeShared || quietViews == 0 ? hint::kRefresh : hint::kRepaint;
  updateAllViews(viewsOfEdit(kind) & ~quietViews, hintCode, kind);
  return {true, 0, tb ? tb->current : -1};
}

EditResult CPlanDoc::deleteRecord(int kind, EditReport how) {
  if (!open_) return {};
  ProjectDb* db = db_.get();
  if (isSummaryKind(kind)) {
    report(how, kStrMsgSummaryFixed);
    return {false, kStrMsgSummaryFixed};
  }
  if (kind == edit::kTimeShared) {
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
      const bool fromTree = kind == edit::kTreeWorkType || kind == edit::kTreeFacility;
      if (fromTree && treeLink_) treeLink_->codeDeleted(cls, tb->current);
      xDeleteRecWbs(db, int16_t(cls));
    } else {
      switch (kind) {
        case edit::kResource:
          xDeleteRecRes(db);
          break;
        case edit::kCrew:
          xDeleteRecCrew(db);
          break;
        case edit::kActivity:
        case edit::kGanttActivity:
          xDeleteRecAct(db);
          break;
        case edit::kRelation:
        case edit::kPredecessors:
        case edit::kSuccessors:
          xDeleteRecRel(db);
          break;
        case edit::kCrewDetail:
        case edit::kPaneCrewDetails:
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
  updateAllViews(viewsOfEdit(kind) & ~(uint64_t{1} << kind), hint::kRefresh, kind);
  return {true, 0};
}

}  // namespace kelvo
