// The open project as the file model, written beside its settings file.
#include <QDateTime>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "kvimport.h"
#include "kvtables.h"
#include "msp_project.h"
#include "xjor/option.h"
#include "xjor/packed_date.h"

namespace kvmsp {

namespace {

using kvconv::Table;

// Our relation kinds FS, FF, SS, SF are the file's types 1, 0, 3, 2 (and
// back: the mapping is its own inverse).
constexpr int kLinkTypeOf[] = {kFS, kFF, kSS, kSF};
// Our constraints 1..6 (start no earlier, finish no earlier, start no
// later, finish no later, start on, finish on) as the file's types.
constexpr int kConstraintOf[] = {0, 4, 6, 5, 7, 2, 3};

std::string text(const char* field, size_t width) {
  return utf8Of(field, width);
}

// A calendar's working days as a week and the days that differ from it
// within the project's calendar range (widened to the first and last
// working day).
Calendar calendarOf(int number, const std::vector<uint16_t>& days, uint16_t from, uint16_t to) {
  Calendar c;
  c.uid = number;
  c.name = "달력 " + std::to_string(number);
  if (days.empty()) {
    for (bool& w : c.working) w = true;
    return c;
  }
  int32_t first = xjor::dayNumber(days.front()), last = xjor::dayNumber(days.back());
  if (from && xIsValidT(from)) first = std::min(first, xjor::dayNumber(from));
  if (to && xIsValidT(to)) last = std::max(last, xjor::dayNumber(to));
  std::vector<bool> works(static_cast<size_t>(last - first + 1));
  for (uint16_t d : days) works[static_cast<size_t>(xjor::dayNumber(d) - first)] = true;
  // A weekday works when most of its days in the span do.
  int working[7] = {}, all[7] = {};
  for (int32_t n = first; n <= last; ++n) {
    const int w = xGetDayOfWeek(xjor::dateFromDayNumber(n));
    ++all[w];
    working[w] += works[static_cast<size_t>(n - first)];
  }
  for (int w = 0; w < 7; ++w) c.working[w] = working[w] * 2 > all[w];
  for (int32_t n = first; n <= last; ++n) {
    const bool w = works[static_cast<size_t>(n - first)];
    const uint16_t day = xjor::dateFromDayNumber(n);
    if (w == c.working[xGetDayOfWeek(day)]) continue;
    if (!c.exceptions.empty() && c.exceptions.back().working == w &&
        xjor::dayNumber(c.exceptions.back().to) == n - 1)
      c.exceptions.back().to = day;
    else
      c.exceptions.push_back({day, day, w});
  }
  return c;
}

std::vector<Calendar> calendarsOf(ProjectDb* db, const PrjInfo& info) {
  std::vector<Calendar> list;
  for (int i = 0; i < 8; ++i) {
    uint16_t count = 0;
    if (!xOption(&db->opt, XOPT_READ, XQD_OPT_CALENDAR_COUNT + i, &count, sizeof count) || !count)
      continue;
    std::vector<uint16_t> days(count);
    if (!xOption(&db->opt, XOPT_READ, XQD_OPT_CALENDAR_DAYS + i, days.data(),
                 static_cast<int32_t>(count * sizeof(uint16_t))))
      continue;
    list.push_back(calendarOf(i + 1, days, info.calendarFrom, info.calendarTo));
  }
  return list;
}

struct Builder {
  ProjectDb* db;
  const XKvScheme& scheme;
  Project p;
  std::map<std::string, int> valueOf[2];  // classification code -> outline value id
  std::map<std::string, int> summaryOf;   // work type -> its summary task's UID
  std::map<std::string, int> taskOf;      // activity code -> task UID
  std::map<std::string, std::vector<int32_t>> activitiesOf;  // work type -> activity slots
  std::vector<int> outline;                                  // the outline number being counted

  int nextTask() { return static_cast<int>(p.tasks.size()); }

  std::string outlineNumber(int level) {
    outline.resize(static_cast<size_t>(level), 0);
    ++outline.back();
    std::string n;
    for (int part : outline) n += (n.empty() ? "" : ".") + std::to_string(part);
    return n;
  }

  // One classification as an outline code: its values in code order, each
  // below the value of its parent code.
  void classification(int k, Table t, const MemTable& codes) {
    const XKvSchemeBlock& b = scheme.block[k];
    const int levels = b.levels < 0 ? 0 : b.levels > 8 ? 8 : b.levels;
    if (!levels) return;
    OutlineCode oc;
    oc.number = k + 1;
    oc.alias = k == 0 ? "공종 분류" : "시설 분류";
    for (int l = 0; l < levels; ++l) oc.lengths.push_back(b.length[l]);
    TableHandle& tb = kvconv::bindingOf(db, t).tb;
    kvconv::KeepCurrent keep(tb);
    WbsRecord rec;
    std::vector<char> buf(tb.recordSize);
    for (uint32_t i = 0; i < codes.count; ++i) {
      CodeEntry e;
      memcpy(&e, codes.data + static_cast<size_t>(i) * codes.recordSize, sizeof e);
      tb.current = e.record;
      if (!xGetRec(&tb, buf.data())) continue;
      memset(&rec, 0, sizeof rec);
      memcpy(&rec, buf.data(), std::min(buf.size(), sizeof rec));
      const std::string code(rec.code, strnlen(rec.code, sizeof rec.code));
      const int level = rec.level < 0 ? 0 : rec.level >= levels ? levels - 1 : rec.level;
      OutlineValue v;
      v.id = static_cast<int>(oc.values.size()) + 1;
      const size_t from = static_cast<size_t>(b.start[level]);
      const auto parent = valueOf[k].find(code.substr(0, from));
      v.parent = level > 0 && parent != valueOf[k].end() ? parent->second : 0;
      v.value = text(code.c_str() + std::min(from, code.size()), sizeof rec.code);
      v.description = text(rec.title, sizeof rec.title);
      valueOf[k][code] = v.id;
      oc.values.push_back(std::move(v));
      if (k == 0) workType(code, level, levels, rec.title);
    }
    p.outlineCodes.push_back(std::move(oc));
  }

  // A work type as a summary task, with its activities below it.
  void workType(const std::string& code, int level, int levels, const char* title) {
    Task s;
    s.uid = s.id = nextTask();
    s.summary = true;
    s.code = text(code.c_str(), code.size());
    s.name = text(title, 41);
    s.outlineLevel = level + 1;
    s.outlineNumber = outlineNumber(s.outlineLevel);
    s.outlineValue[0] = valueOf[0][code];
    summaryOf[code] = s.uid;
    p.tasks.push_back(std::move(s));
    if (level != levels - 1) return;
    auto found = activitiesOf.find(code);
    if (found == activitiesOf.end()) return;
    for (int32_t slot : found->second) activity(slot, level + 2);
    activitiesOf.erase(found);
  }

  // Each summary task spans the tasks below it.
  void spanSummaries() {
    for (size_t i = 1; i < p.tasks.size(); ++i) {
      Task& sum = p.tasks[i];
      if (!sum.summary) continue;
      for (size_t j = i + 1; j < p.tasks.size() && p.tasks[j].outlineLevel > sum.outlineLevel;
           ++j) {
        const Task& t = p.tasks[j];
        if (t.start && (!sum.start || t.start < sum.start)) sum.start = t.start;
        if (t.finish > sum.finish) sum.finish = t.finish;
      }
    }
  }

  void activity(int32_t slot, int level) {
    TableHandle& tb = db->act.tb;
    std::vector<char> buf(tb.recordSize);
    tb.current = slot;
    if (!xGetRec(&tb, buf.data())) return;
    ActRecord a;
    memcpy(&a, buf.data(), sizeof a);
    Task t;
    t.uid = t.id = nextTask();
    t.code = text(a.code, sizeof a.code);
    t.name = text(a.title, sizeof a.title);
    t.notes = text(a.remark, sizeof a.remark);
    t.outlineLevel = level;
    t.outlineNumber = outlineNumber(level);
    t.milestone = a.type == 1;
    t.start = a.start;
    t.finish = a.finish;
    t.earlyStart = a.earlyStart;
    t.earlyFinish = a.earlyFinish;
    t.lateStart = a.lateStart;
    t.lateFinish = a.lateFinish;
    t.actualStart = a.actualStart;
    t.actualFinish = a.actualFinish;
    t.duration = int64_t{a.duration} * kMinutesPerDay;
    t.remaining = int64_t{a.remaining} * kMinutesPerDay;
    t.totalSlack = int64_t{a.totalFloat} * kMinutesPerDay * 10;
    t.freeSlack = int64_t{a.freeFloat} * kMinutesPerDay * 10;
    t.percentComplete =
        a.actualFinish ? 100
        : a.duration > 0
            ? static_cast<int>(std::lround(100.0 * (a.duration - a.remaining) / a.duration))
            : 0;
    if (t.percentComplete < 0) t.percentComplete = 0;
    if (t.percentComplete > 100) t.percentComplete = 100;
    if (a.constraintType >= 1 && a.constraintType <= 6 && a.constraintDate) {
      t.constraintType = kConstraintOf[a.constraintType];
      t.constraintDate = a.constraintDate;
    }
    t.calendar = a.calendar >= 1 && a.calendar <= 8 ? a.calendar : -1;
    const std::string wbs(a.wbsCode, strnlen(a.wbsCode, sizeof a.wbsCode));
    const std::string obs(a.obsCode, strnlen(a.obsCode, sizeof a.obsCode));
    if (auto v = valueOf[0].find(wbs); v != valueOf[0].end()) t.outlineValue[0] = v->second;
    if (auto v = valueOf[1].find(obs); v != valueOf[1].end()) t.outlineValue[1] = v->second;
    if (a.plannedStart) {
      t.hasBaseline = true;
      t.baselineStart = a.plannedStart;
      t.baselineFinish = a.plannedFinish;
      t.baselineDuration = int64_t{a.plannedDuration} * kMinutesPerDay;
    }
    taskOf[std::string(a.code, strnlen(a.code, sizeof a.code))] = t.uid;
    p.tasks.push_back(std::move(t));
  }

  void tasks() {
    // Activities by work type, in code order.
    for (uint32_t i = 0; i < db->actCodes.count; ++i) {
      ActCodeEntry e;
      memcpy(&e, db->actCodes.data + static_cast<size_t>(i) * db->actCodes.recordSize, sizeof e);
      TableHandle& tb = db->act.tb;
      std::vector<char> buf(tb.recordSize);
      tb.current = e.record;
      if (!xGetRec(&tb, buf.data())) continue;
      const auto* a = reinterpret_cast<const ActRecord*>(buf.data());
      activitiesOf[std::string(a->wbsCode, strnlen(a->wbsCode, sizeof a->wbsCode))].push_back(
          e.record);
    }
    // Facility values first: activities name them as they are written.
    classification(1, Table::Obs, db->obsCodes);
    classification(0, Table::Wbs, db->wbsCodes);
    std::sort(p.outlineCodes.begin(), p.outlineCodes.end(),
              [](const OutlineCode& a, const OutlineCode& b) { return a.number < b.number; });
    // Activities whose work type is not a final-level code stand at the top.
    std::vector<int32_t> rest;
    for (const auto& entry : activitiesOf)
      rest.insert(rest.end(), entry.second.begin(), entry.second.end());
    std::sort(rest.begin(), rest.end());
    for (int32_t slot : rest) activity(slot, 1);
    spanSummaries();
  }

  void links() {
    TableHandle& tb = db->rel.tb;
    std::vector<char> buf(tb.recordSize);
    tb.current = -1;
    while (xMoveNext(&tb)) {
      if (!xGetRec(&tb, buf.data())) continue;
      RelRecord r;
      memcpy(&r, buf.data(), sizeof r);
      const auto pred = taskOf.find(std::string(r.pred, strnlen(r.pred, sizeof r.pred)));
      const auto succ = taskOf.find(std::string(r.succ, strnlen(r.succ, sizeof r.succ)));
      if (pred == taskOf.end() || succ == taskOf.end()) continue;
      Link l;
      l.predecessor = pred->second;
      l.type = kLinkTypeOf[r.kind & 3];
      l.lag = int64_t{r.lag} * kMinutesPerDay * 10;
      p.tasks[static_cast<size_t>(succ->second)].links.push_back(l);
    }
  }

  void resources() {
    std::map<std::string, int> resourceOf;
    TableHandle& res = db->res.tb;
    std::vector<char> buf(res.recordSize);
    res.current = -1;
    while (xMoveNext(&res)) {
      if (!xGetRec(&res, buf.data())) continue;
      ResRecord r;
      memcpy(&r, buf.data(), sizeof r);
      Resource out;
      out.uid = out.id = static_cast<int>(p.resources.size()) + 1;
      out.code = text(r.code, sizeof r.code);
      out.name = text(r.title, sizeof r.title);
      // The size (grade or dimensions) goes to the group, the unit to the
      // material label: the file has no fields of their own for them.
      out.group = text(r.size, sizeof r.size);
      out.unit = text(r.unit, sizeof r.unit);
      resourceOf[std::string(r.code, strnlen(r.code, sizeof r.code))] = out.uid;
      p.resources.push_back(std::move(out));
    }
    auto add = [&](int task, const char* code, size_t width, double units, double actual) {
      const auto r = resourceOf.find(std::string(code, strnlen(code, width)));
      if (r == resourceOf.end()) return;
      Assignment a;
      a.uid = static_cast<int>(p.assignments.size()) + 1;
      a.task = task;
      a.resource = r->second;
      a.units = units;
      a.work = std::llround(units * kMinutesPerDay);
      a.actualWork = std::llround(actual * kMinutesPerDay);
      p.assignments.push_back(a);
    };
    TableHandle& crw = db->crw.tb;
    buf.assign(crw.recordSize, 0);
    crw.current = -1;
    while (xMoveNext(&crw)) {
      if (!xGetRec(&crw, buf.data())) continue;
      CrewRecord c;
      memcpy(&c, buf.data(), sizeof c);
      const auto s = summaryOf.find(std::string(c.wbsCode, strnlen(c.wbsCode, sizeof c.wbsCode)));
      if (s != summaryOf.end()) add(s->second, c.resCode, sizeof c.resCode, c.unitQuantity, 0);
    }
    TableHandle& opr = db->opr.tb;
    buf.assign(opr.recordSize, 0);
    opr.current = -1;
    while (xMoveNext(&opr)) {
      if (!xGetRec(&opr, buf.data())) continue;
      OprRecord o;
      memcpy(&o, buf.data(), sizeof o);
      const auto t = taskOf.find(std::string(o.actCode, strnlen(o.actCode, sizeof o.actCode)));
      if (t != taskOf.end())
        add(t->second, o.resCode, sizeof o.resCode, o.quantity, o.actualQuantity);
    }
  }
};

}  // namespace

Project modelOfProject(ProjectDb* db, const XKvScheme& scheme, const PrjInfo& info,
                       const std::string& stamp) {
  kvconv::KeepCurrent keepAct(db->act.tb), keepRel(db->rel.tb), keepRes(db->res.tb),
      keepCrw(db->crw.tb), keepOpr(db->opr.tb);
  Builder b{db, scheme, {}, {}, {}, {}, {}, {}};
  Project& p = b.p;
  p.title = text(info.title, sizeof info.title);
  p.subject = text(info.code, sizeof info.code);
  p.company = text(info.company, sizeof info.company);
  p.manager = text(info.manager, sizeof info.manager);
  p.currency = text(info.currency, sizeof info.currency);
  p.created = p.saved = stamp;
  p.start = info.start;
  p.finish = info.finish;
  p.statusDate = info.dataDate;
  p.minutesPerDay = kMinutesPerDay;
  p.calendars = calendarsOf(db, info);
  p.calendar = p.calendars.empty() ? 1 : p.calendars.front().uid;
  // Task 0 is the project itself; its notes carry the remarks.
  Task project;
  project.summary = true;
  project.outlineLevel = 0;
  project.outlineNumber = "0";
  project.name = p.title;
  project.notes = text(info.remark, sizeof info.remark);
  project.start = info.start;
  project.finish = info.finish;
  p.tasks.push_back(std::move(project));
  b.tasks();
  b.links();
  b.resources();
  return std::move(b.p);
}

bool exportProject(ProjectDb* db, const XKvScheme& scheme, const PrjInfo& info,
                   const std::string& path, std::string& error) {
  const std::string stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
  const Project p = modelOfProject(db, scheme, info, stamp);
  QSaveFile out(QString::fromStdString(path));
  if (!out.open(QIODevice::WriteOnly) || !write(p, out) || !out.commit()) {
    error = "cannot be written: " + out.errorString().toStdString();
    return false;
  }
  const std::string settings = kvconv::settingsPathOf(path);
  if (!xSaveMiscFormat(db, &info, settings.c_str())) {
    error = settings + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace kvmsp
