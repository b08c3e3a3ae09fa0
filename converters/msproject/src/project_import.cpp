// A project built from the file model through the store's record input.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "kvdbfset.h"
#include "kvimport.h"
#include "kvtables.h"
#include "msp_project.h"
#include "summary_outline.h"
#include "xjor/option.h"
#include "xjor/packed_date.h"

namespace kvmsp {

namespace {

using kvconv::Table;

// The file's constraint types 0..7 as ours (as soon or as late as possible
// are no constraint).
constexpr int16_t kConstraintFrom[] = {0, 0, 5, 6, 1, 3, 2, 4};
// The file's link types FF, FS, SF, SS as our relation kinds.
constexpr int16_t kKindFrom[] = {1, 0, 3, 2};
constexpr int16_t kMilestone = 1;
constexpr uint16_t kNewFlags = 0x3000;
// The option slot of the classification scheme.
constexpr int kSchemeSlot = 1;

int16_t clampDays(double days) {
  const double r = std::round(days);
  return static_cast<int16_t>(r < -32768 ? -32768 : r > 32767 ? 32767 : r);
}

struct Importer {
  Importer(ProjectDb* d, XKvScheme* s, uint16_t start, const Project& file)
      : db(d), scheme(s), projectStart(start), p(file) {}

  ProjectDb* db;
  XKvScheme* scheme;
  uint16_t projectStart;
  const Project& p;
  int refused = 0;
  int minutesPerDay = kMinutesPerDay;
  std::map<int, int> calendarOf;          // calendar UID -> number
  std::map<int, std::string> codeOf[2];   // outline value id -> code
  std::map<int, std::string> activityOf;  // task UID -> activity code
  std::map<int, std::string> workTypeOf;  // summary task UID -> work type
  std::map<int, std::string> resourceOf;  // resource UID -> code

  int16_t days(int64_t minutes) const { return clampDays(double(minutes) / minutesPerDay); }

  void report(const char* what, const std::string& which, int32_t message) {
    fprintf(stderr, "xKvMsp: %s %s: refused (message %d)\n", what, which.c_str(), message);
    ++refused;
  }

  // Working days of each file calendar over [from, to], stored in the
  // option file as calendars 1..8 (the file's UIDs 1..8 keep their
  // number, others take the free ones in order).
  void installCalendars(PrjInfo* info) {
    uint16_t from = p.start, to = p.finish;
    for (const Calendar& c : p.calendars)
      for (const CalendarException& e : c.exceptions) {
        if (!from || e.from < from) from = e.from;
        if (e.to > to) to = e.to;
      }
    if (!from) from = xGetToday();
    if (to < from) to = from;
    from = xjor::packDate(xjor::packedYear(from), 1, 1);
    to = xjor::packDate(xjor::packedYear(to), 12, 31);
    bool taken[9] = {};
    for (const Calendar& c : p.calendars)
      if (c.uid >= 1 && c.uid <= 8) taken[c.uid] = true;
    int nextFree = 1;
    for (const Calendar& c : p.calendars) {
      int number = c.uid;
      if (number < 1 || number > 8 || calendarOf.count(number)) {
        while (nextFree <= 8 && taken[nextFree]) ++nextFree;
        if (nextFree > 8) continue;
        number = nextFree;
        taken[nextFree] = true;
      }
      std::vector<uint16_t> list;
      for (int32_t n = xjor::dayNumber(from); n <= xjor::dayNumber(to); ++n) {
        const uint16_t d = xjor::dateFromDayNumber(n);
        bool works = c.working[xGetDayOfWeek(d)];
        for (const CalendarException& e : c.exceptions)
          if (d >= e.from && d <= e.to) works = e.working;
        if (works) list.push_back(d);
      }
      uint16_t count = static_cast<uint16_t>(std::min<size_t>(list.size(), 65535));
      xOption(&db->opt, XOPT_WRITE, XQD_OPT_CALENDAR_COUNT + number - 1, &count, sizeof count);
      xOption(&db->opt, XOPT_WRITE, XQD_OPT_CALENDAR_DAYS + number - 1, list.data(),
              static_cast<int32_t>(count * sizeof(uint16_t)));
      calendarOf[c.uid] = number;
    }
    info->calendarFrom = from;
    info->calendarTo = to;
  }

  // A scheme block from an outline code's masks; the level names of a
  // block with the same lengths (from the settings file) are kept.
  void schemeBlock(const OutlineCode& oc, XKvSchemeBlock* block) {
    XKvSchemeBlock named = *block;
    memset(block, 0, sizeof *block);
    for (size_t l = 0; l < oc.lengths.size() && l < 8; ++l) {
      block->length[l] = static_cast<int16_t>(oc.lengths[l] < 1 ? 1 : oc.lengths[l]);
      if (named.length[l] == block->length[l]) memcpy(block->name[l], named.name[l], 21);
    }
    kvdbf::countLevels(block);
  }

  // The codes of an outline code, parents before children.
  void classification(const OutlineCode& oc, int k, Table t) {
    const XKvSchemeBlock& b = scheme->block[k];
    std::map<int, const OutlineValue*> byId;
    for (const OutlineValue& v : oc.values) byId[v.id] = &v;
    struct Entry {
      int depth;
      std::string code;
      const OutlineValue* v;
    };
    std::vector<Entry> entries;
    for (const OutlineValue& v : oc.values) {
      // The code joins the parts along the parents (a loop ends at the
      // scheme's depth).
      std::vector<const OutlineValue*> chain{&v};
      while (chain.size() <= 8 && chain.back()->parent && byId.count(chain.back()->parent))
        chain.push_back(byId[chain.back()->parent]);
      if (chain.size() > static_cast<size_t>(b.levels)) {
        report(k ? "facility" : "work type", "\"" + v.value + "\"", XQD_MSG_LEVEL_LENGTH);
        continue;
      }
      std::string code;
      for (size_t i = chain.size(); i-- > 0;) {
        char part[11] = {};
        cp949Into(chain[i]->value, part, b.length[chain.size() - 1 - i]);
        code += part;
      }
      entries.push_back({static_cast<int>(chain.size()), code, &v});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& c) { return a.depth < c.depth; });
    TableHandle& tb = kvconv::bindingOf(db, t).tb;
    std::vector<char> buf(tb.recordSize);
    for (const Entry& e : entries) {
      std::fill(buf.begin(), buf.end(), 0);
      WbsRecord rec{};
      rec.level = static_cast<int16_t>(e.depth - 1);
      xCopyChars(rec.code, e.code.c_str(), 10);
      cp949Into(e.v->description, rec.title, 40);
      memcpy(buf.data(), &rec, std::min(buf.size(), sizeof rec));
      tb.current = -1;
      if (int32_t m = kvconv::inputRecord(db, *scheme, t, buf.data(), projectStart, 0))
        report(k ? "facility" : "work type", e.code, m);
      else
        codeOf[k][e.v->id] = e.code;
    }
  }

  void resources() {
    int uncoded = 0;
    for (const Resource& r : p.resources) {
      if (r.code.empty() && r.name.empty()) continue;  // the file's blank resource
      ResRecord rec{};
      std::string code = r.code;
      if (code.empty()) code = "R" + std::to_string(++uncoded);
      cp949Into(code, rec.code, 10);
      cp949Into(r.name, rec.title, 40);
      cp949Into(r.group, rec.size, 40);
      cp949Into(r.unit, rec.unit, 6);
      db->res.tb.current = -1;
      if (int32_t m = xInputRecRes(db, &rec))
        report("resource", code, m);
      else
        resourceOf[r.uid] = rec.code;
    }
  }

  // An activity from a task. A task with its dates is taken as it is; one
  // without gets them from the store's date rules.
  void activity(const Task& t, const std::string& code) {
    std::vector<char> buf(db->act.tb.recordSize, 0);
    ActRecord a{};
    xCopyChars(a.code, code.c_str(), 20);
    cp949Into(t.name, a.title, 60);
    cp949Into(t.notes, a.remark, 40);
    if (auto w = codeOf[0].find(t.outlineValue[0]); w != codeOf[0].end())
      xCopyChars(a.wbsCode, w->second.c_str(), 10);
    if (auto o = codeOf[1].find(t.outlineValue[1]); o != codeOf[1].end())
      xCopyChars(a.obsCode, o->second.c_str(), 10);
    const auto cal = calendarOf.find(t.calendar < 0 ? p.calendar : t.calendar);
    a.calendar = static_cast<int16_t>(cal != calendarOf.end() ? cal->second : 1);
    a.duration = std::max<int16_t>(0, days(t.duration));
    a.remaining = t.remaining >= 0 ? days(t.remaining)
                                   : clampDays(a.duration * (100 - t.percentComplete) / 100.0);
    a.remaining = std::clamp<int16_t>(a.remaining, 0, a.duration);
    a.type = t.milestone || a.duration == 0 ? kMilestone : 0;
    a.constraintType = kConstraintFrom[t.constraintType & 7];
    a.constraintDate = a.constraintType ? t.constraintDate : 0;
    if (!a.constraintDate) a.constraintType = 0;
    a.actualStart = t.actualStart;
    a.actualFinish = t.actualFinish;
    if (t.hasBaseline) {
      a.plannedStart = t.baselineStart;
      a.plannedFinish = t.baselineFinish;
      a.plannedDuration = days(t.baselineDuration);
    }
    int16_t mode = 0;
    if (t.start && t.finish) {
      // The file's schedule as it is: the store leaves the dates alone.
      mode = -1;
      a.flags = kNewFlags;
      a.start = t.start;
      a.finish = t.finish;
      a.earlyStart = t.earlyStart ? t.earlyStart : t.start;
      a.earlyFinish = t.earlyFinish ? t.earlyFinish : t.finish;
      a.lateStart = t.lateStart ? t.lateStart : t.start;
      a.lateFinish = t.lateFinish ? t.lateFinish : t.finish;
      a.totalFloat = clampDays(double(t.totalSlack) / (minutesPerDay * 10.0));
      a.freeFloat = std::max<int16_t>(0, clampDays(double(t.freeSlack) / (minutesPerDay * 10.0)));
      a.anchor = xSuccessorAnchorDay(&a);
    } else {
      a.start = t.start;
    }
    memcpy(buf.data(), &a, sizeof a);
    db->act.tb.current = -1;
    if (int32_t m = xInputRecAct(db, buf.data(), projectStart, scheme->block[0].levels,
                                 scheme->block[1].levels, mode))
      report("task", std::to_string(t.uid) + " \"" + t.name + "\"", m);
    else
      activityOf[t.uid] = a.code;
  }

  void tasks() {
    int uncoded = 0;
    for (const Task& t : p.tasks) {
      if (t.uid <= 0) continue;  // task 0 is the project
      if (t.summary) {
        if (auto w = codeOf[0].find(t.outlineValue[0]); w != codeOf[0].end())
          workTypeOf[t.uid] = w->second;
        continue;
      }
      char code[21] = {};
      cp949Into(t.code, code, 20);
      // Tasks without a code are coded in file order.
      if (!code[0]) snprintf(code, sizeof code, "T%05d", ++uncoded);
      activity(t, code);
    }
  }

  void relations() {
    for (const Task& t : p.tasks) {
      const auto succ = activityOf.find(t.uid);
      if (succ == activityOf.end()) continue;
      for (const Link& l : t.links) {
        RelRecord r{};
        const auto pred = activityOf.find(l.predecessor);
        const std::string which = std::to_string(l.predecessor) + " -> " + std::to_string(t.uid);
        if (pred == activityOf.end()) {
          report("link", which, XQD_MSG_NO_PREDECESSOR);
          continue;
        }
        xCopyChars(r.pred, pred->second.c_str(), 20);
        xCopyChars(r.succ, succ->second.c_str(), 20);
        r.kind = kKindFrom[l.type & 3];
        r.lag = clampDays(double(l.lag) / (minutesPerDay * 10.0));
        db->rel.tb.current = -1;
        if (int32_t m = xInputRecRel(db, &r)) report("link", which, m);
      }
    }
  }

  void assignments() {
    for (const Assignment& as : p.assignments) {
      const auto res = resourceOf.find(as.resource);
      if (res == resourceOf.end()) continue;  // unassigned work
      const std::string which = "of task " + std::to_string(as.task);
      if (auto act = activityOf.find(as.task); act != activityOf.end()) {
        OprRecord o{};
        xCopyChars(o.actCode, act->second.c_str(), 20);
        xCopyChars(o.resCode, res->second.c_str(), 10);
        o.quantity = as.units;
        o.actualQuantity = double(as.actualWork) / minutesPerDay;
        db->opr.tb.current = -1;
        if (int32_t m = xInputRecOpr(db, &o)) report("assignment", which, m);
      } else if (auto w = workTypeOf.find(as.task); w != workTypeOf.end()) {
        CrewRecord c{};
        xCopyChars(c.wbsCode, w->second.c_str(), 10);
        xCopyChars(c.resCode, res->second.c_str(), 10);
        c.unitQuantity = as.units;
        db->crw.tb.current = -1;
        if (int32_t m = xInputRecCrew(db, &c, scheme->block[0].levels))
          report("assignment", which, m);
      }
    }
  }
};

}  // namespace

bool readProjectInfo(const std::string& path, PrjInfo* info, std::string& error) {
  Project p;
  if (!readInfo(path, p, error)) return false;
  cp949Into(p.subject, info->code, 10);
  cp949Into(p.title, info->title, 60);
  cp949Into(p.manager, info->manager, 10);
  cp949Into(p.company, info->company, 40);
  cp949Into(p.currency, info->currency, 6);
  for (const Task& t : p.tasks)
    if (t.uid == 0) cp949Into(t.notes, info->remark, 40);
  info->start = p.start;
  info->finish = p.finish;
  // Without a status date the file's data date is its start.
  info->dataDate = p.statusDate ? p.statusDate : p.start;
  kvdbf::completeDates(info, xGetToday());
  return true;
}

bool importProject(ProjectDb* db, XKvScheme* scheme, PrjInfo* info, uint16_t projectStart,
                   const std::string& path, int* refused, std::string& error) {
  Project p;
  if (!readFile(path, p, error)) return false;
  const SummaryOutline outline = classifyBySummaries(p);
  if (outline.deepest > outline.levels && outline.levels > 0)
    fprintf(stderr, "xKvMsp: %s: summary tasks below outline level %d folded into level %d\n",
            path.c_str(), outline.levels, outline.levels);
  Importer im{db, scheme, projectStart, p};
  im.minutesPerDay = p.minutesPerDay;

  // The settings file, when there is one, brings the date settings and the
  // calendars as they were; else the file's calendars are installed.
  const std::string settings = kvconv::settingsPathOf(path);
  struct stat st;
  const bool haveSettings = stat(settings.c_str(), &st) == 0;
  if (!kvconv::readSettingsFile(db, info, settings, error)) {
    error = settings + ": " + error;
    return false;
  }
  if (haveSettings) {
    xOption(&db->opt, XOPT_READ, kSchemeSlot, scheme, sizeof *scheme);
    for (int n = 1; n <= 8; ++n) im.calendarOf[n] = n;
  } else {
    im.installCalendars(info);
  }
  xSetPrjDateInfo(db, info->calendarFrom, info->calendarTo);

  const OutlineCode* codes[2] = {};
  for (const OutlineCode& oc : p.outlineCodes)
    if (oc.number >= 1 && oc.number <= 2 && !codes[oc.number - 1]) codes[oc.number - 1] = &oc;
  for (int k = 0; k < 2; ++k) {
    if (codes[k])
      im.schemeBlock(*codes[k], &scheme->block[k]);
    else
      memset(&scheme->block[k], 0, sizeof scheme->block[k]);
  }
  xBeginInputBatch(db);
  if (codes[0]) im.classification(*codes[0], 0, Table::Wbs);
  if (codes[1]) im.classification(*codes[1], 1, Table::Obs);
  im.resources();
  im.tasks();
  im.relations();
  im.assignments();
  xEndInputBatch(db);
  if (refused) *refused = im.refused;
  if (im.refused) fprintf(stderr, "xKvMsp: %s: %d record(s) refused\n", path.c_str(), im.refused);
  return true;
}

}  // namespace kvmsp
