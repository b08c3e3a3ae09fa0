// MSPDI records read into the model. Elements the model does not know are
// passed over; numbers that do not read count as absent.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "bounded_xml.h"
#include "kvmspdi.h"

namespace kvmsp {

namespace {

// The integer of a text, or fallback when it is none or out of range.
int64_t integer(const std::string& text, int64_t fallback = 0, int64_t min = -2147483647 - 1LL,
                int64_t max = 2147483647) {
  if (text.empty()) return fallback;
  char* end = nullptr;
  errno = 0;
  const long long v = strtoll(text.c_str(), &end, 10);
  if (errno || *end || v < min || v > max) return fallback;
  return v;
}

double decimal(const std::string& text) {
  char* end = nullptr;
  const double v = strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(v) ? v : 0;
}

bool flag(const std::string& text) {
  return text == "1" || text == "true";
}

struct Reader {
  Project& p;
  int minutesPerDay = 480;

  int64_t minutes(const std::string& text) {
    const int64_t m = text.empty() ? -1 : minutesOfText(text, minutesPerDay);
    return m;
  }

  void projectField(const Node& n) {
    if (n.name == "Title")
      p.title = n.text;
    else if (n.name == "Subject")
      p.subject = n.text;
    else if (n.name == "Company")
      p.company = n.text;
    else if (n.name == "Manager")
      p.manager = n.text;
    else if (n.name == "CurrencySymbol")
      p.currency = n.text;
    else if (n.name == "CreationDate")
      p.created = n.text;
    else if (n.name == "LastSaved")
      p.saved = n.text;
    else if (n.name == "StartDate")
      p.start = dayOfText(n.text);
    else if (n.name == "FinishDate")
      p.finish = dayOfText(n.text);
    else if (n.name == "StatusDate")
      p.statusDate = dayOfText(n.text);
    else if (n.name == "CalendarUID")
      p.calendar = static_cast<int>(integer(n.text, 1));
    else if (n.name == "MinutesPerDay") {
      // A day of one minute to 24 hours; the rest keeps the usual eight hours.
      minutesPerDay = static_cast<int>(integer(n.text, 480, 1, 1440));
      p.minutesPerDay = minutesPerDay;
    }
  }

  static void exception(Calendar& c, const Node& n) {
    const Node* period = n.child("TimePeriod");
    if (!period) return;
    CalendarException e;
    e.from = dayOfText(period->field("FromDate"));
    e.to = dayOfText(period->field("ToDate"));
    e.working = flag(n.field("DayWorking"));
    if (e.from && e.to && e.from <= e.to) c.exceptions.push_back(e);
  }

  void calendar(const Node& n) {
    Calendar c;
    c.uid = static_cast<int>(integer(n.field("UID"), -1));
    c.name = n.field("Name");
    if (const Node* days = n.child("WeekDays")) {
      for (const Node& d : days->children) {
        const int64_t type = integer(d.field("DayType"), -1);
        if (type >= 1 && type <= 7)
          c.working[type - 1] = flag(d.field("DayWorking"));
        else if (type == 0)
          exception(c, d);
      }
    }
    if (const Node* list = n.child("Exceptions"))
      for (const Node& e : list->children) exception(c, e);
    p.calendars.push_back(std::move(c));
  }

  void outlineCode(const Node& n) {
    OutlineCode c;
    const std::string& field = n.field("FieldID");
    const std::string& name = n.field("FieldName");
    if (field == "188744096" || name == "Outline Code1") c.number = 1;
    if (field == "188744099" || name == "Outline Code2") c.number = 2;
    if (!c.number) return;
    c.alias = n.field("Alias");
    if (const Node* values = n.child("Values")) {
      for (const Node& v : values->children) {
        OutlineValue ov;
        ov.id = static_cast<int>(integer(v.field("ValueID"), 0, 1));
        ov.parent = static_cast<int>(integer(v.field("ParentValueID"), 0, 0));
        ov.value = v.field("Value");
        ov.description = v.field("Description");
        if (ov.id) c.values.push_back(std::move(ov));
      }
    }
    if (const Node* masks = n.child("Masks"))
      for (const Node& m : masks->children)
        c.lengths.push_back(static_cast<int>(integer(m.field("Length"), 0, 0, 255)));
    p.outlineCodes.push_back(std::move(c));
  }

  void task(const Node& n) {
    Task t;
    t.uid = static_cast<int>(integer(n.field("UID"), -1));
    t.id = static_cast<int>(integer(n.field("ID"), 0));
    t.name = n.field("Name");
    t.code = n.field("WBS");
    t.notes = n.field("Notes");
    t.outlineNumber = n.field("OutlineNumber");
    t.outlineLevel = static_cast<int>(integer(n.field("OutlineLevel"), 1, 0, 1000));
    t.summary = flag(n.field("Summary"));
    t.milestone = flag(n.field("Milestone"));
    t.start = dayOfText(n.field("Start"));
    t.finish = dayOfText(n.field("Finish"));
    t.earlyStart = dayOfText(n.field("EarlyStart"));
    t.earlyFinish = dayOfText(n.field("EarlyFinish"));
    t.lateStart = dayOfText(n.field("LateStart"));
    t.lateFinish = dayOfText(n.field("LateFinish"));
    t.actualStart = dayOfText(n.field("ActualStart"));
    t.actualFinish = dayOfText(n.field("ActualFinish"));
    t.constraintDate = dayOfText(n.field("ConstraintDate"));
    t.duration = std::max<int64_t>(0, minutes(n.field("Duration")));
    t.remaining = minutes(n.field("RemainingDuration"));
    t.totalSlack = integer(n.field("TotalSlack"));
    t.freeSlack = integer(n.field("FreeSlack"));
    t.percentComplete = static_cast<int>(integer(n.field("PercentComplete"), 0, 0, 100));
    t.constraintType = static_cast<int>(integer(n.field("ConstraintType"), 0, 0, 7));
    t.calendar = static_cast<int>(integer(n.field("CalendarUID"), -1));
    for (const Node& c : n.children) {
      if (c.name == "PredecessorLink") {
        Link l;
        l.predecessor = static_cast<int>(integer(c.field("PredecessorUID"), -1));
        l.type = static_cast<int>(integer(c.field("Type"), kFS, 0, 3));
        l.lag = integer(c.field("LinkLag"), 0, -1000000000LL * 10, 1000000000LL * 10);
        t.links.push_back(l);
      } else if (c.name == "OutlineCode") {
        const std::string& field = c.field("FieldID");
        const int k = field == "188744096" ? 0 : field == "188744099" ? 1 : -1;
        if (k >= 0) t.outlineValue[k] = static_cast<int>(integer(c.field("ValueID"), 0, 0));
      } else if (c.name == "Baseline" && integer(c.field("Number"), 0) == 0) {
        t.hasBaseline = true;
        t.baselineStart = dayOfText(c.field("Start"));
        t.baselineFinish = dayOfText(c.field("Finish"));
        t.baselineDuration = std::max<int64_t>(0, minutes(c.field("Duration")));
      }
    }
    p.tasks.push_back(std::move(t));
  }

  void resource(const Node& n) {
    Resource r;
    r.uid = static_cast<int>(integer(n.field("UID"), -1));
    r.id = static_cast<int>(integer(n.field("ID"), 0));
    r.name = n.field("Name");
    r.code = n.field("Code");
    r.unit = n.field("MaterialLabel");
    r.group = n.field("Group");
    p.resources.push_back(std::move(r));
  }

  void assignment(const Node& n) {
    Assignment a;
    a.uid = static_cast<int>(integer(n.field("UID"), 0));
    a.task = static_cast<int>(integer(n.field("TaskUID"), -1));
    a.resource = static_cast<int>(integer(n.field("ResourceUID"), -1));
    a.units = decimal(n.field("Units"));
    a.work = std::max<int64_t>(0, minutes(n.field("Work")));
    a.actualWork = std::max<int64_t>(0, minutes(n.field("ActualWork")));
    p.assignments.push_back(std::move(a));
  }

  // Whether reading goes on; with infoOnly it ends at the first task (the
  // project itself), which follows the project's own fields.
  bool infoOnly = false;

  bool record(const std::string& collection, const Node& n) {
    if (collection.empty())
      projectField(n);
    else if (collection == "Calendars" && n.name == "Calendar")
      calendar(n);
    else if (collection == "OutlineCodes" && n.name == "OutlineCode")
      outlineCode(n);
    else if (collection == "Tasks" && n.name == "Task")
      task(n);
    else if (collection == "Resources" && n.name == "Resource")
      resource(n);
    else if (collection == "Assignments" && n.name == "Assignment")
      assignment(n);
    return true;
  }
};

bool readWith(BoundedReader& in, Project& project, std::string& error, bool infoOnly = false) {
  project = Project{};
  Reader r{project};
  r.infoOnly = infoOnly;
  const bool ok =
      in.read("Project",
              {"Calendars", "OutlineCodes", "Tasks", "Resources", "Assignments",
               "ExtendedAttributes", "WBSMasks"},
              [&](const std::string& collection, Node& n) { return r.record(collection, n); });
  if (!ok) error = in.error();
  return ok;
}

}  // namespace

bool readFile(const std::string& path, Project& project, std::string& error, const Limits& limits) {
  BoundedReader in(limits);
  if (!in.openFile(path)) {
    error = in.error();
    return false;
  }
  return readWith(in, project, error);
}

bool readInfo(const std::string& path, Project& project, std::string& error) {
  const Limits limits;
  BoundedReader in(limits);
  if (!in.openFile(path)) {
    error = in.error();
    return false;
  }
  return readWith(in, project, error, true);
}

bool readBuffer(const char* data, size_t size, Project& project, std::string& error,
                const Limits& limits) {
  BoundedReader in(limits);
  in.openBuffer(data, size);
  return readWith(in, project, error);
}

}  // namespace kvmsp
