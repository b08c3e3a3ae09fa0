// The model written as MSPDI with Qt's stream writer: the elements in the
// order Microsoft Project writes them, so that its schema accepts the file.
#include <QIODevice>
#include <QXmlStreamWriter>

#include "kvmspdi.h"

namespace kvmsp {

namespace {

// Working hours of a day: 08:00-12:00 and 13:00-17:00.
constexpr int kMorning = 8 * 60, kNoon = 12 * 60, kAfternoon = 13 * 60, kEvening = 17 * 60;

// Field ids of outline codes 1 and 2 of tasks.
const char* const kOutlineFieldId[] = {"188744096", "188744099"};
const char* const kOutlineFieldName[] = {"Outline Code1", "Outline Code2"};

class Writer {
 public:
  explicit Writer(QIODevice& out) : x_(&out) {}

  bool write(const Project& p) {
    // One element a line, without indentation: readable, and a third
    // smaller than indented.
    x_.setAutoFormatting(true);
    x_.setAutoFormattingIndent(0);
    x_.writeStartDocument(QStringLiteral("1.0"), true);
    x_.writeDefaultNamespace(QStringLiteral("http://schemas.microsoft.com/project"));
    x_.writeStartElement(QStringLiteral("Project"));
    text("SaveVersion", "14");
    text("Title", p.title);
    text("Subject", p.subject);
    text("Company", p.company);
    text("Manager", p.manager);
    text("CreationDate", p.created);
    text("LastSaved", p.saved);
    text("ScheduleFromStart", "1");
    date("StartDate", p.start, kMorning);
    date("FinishDate", p.finish, kEvening);
    text("CurrencySymbol", p.currency);
    text("CalendarUID", p.calendar);
    text("DefaultStartTime", "08:00:00");
    text("DefaultFinishTime", "17:00:00");
    text("MinutesPerDay", p.minutesPerDay);
    text("MinutesPerWeek", p.minutesPerDay * 5);
    text("DaysPerMonth", "20");
    text("DurationFormat", "7");
    date("StatusDate", p.statusDate, kEvening);
    outlineCodes(p.outlineCodes);
    calendars(p.calendars);
    tasks(p);
    resources(p.resources);
    assignments(p);
    x_.writeEndElement();
    x_.writeEndDocument();
    return !x_.hasError();
  }

 private:
  // A text element; control characters XML cannot carry are left out.
  void text(const char* name, const std::string& value) {
    if (value.empty()) return;
    QString s = QString::fromStdString(value);
    s.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    x_.writeTextElement(QLatin1String(name), s);
  }
  void text(const char* name, int64_t value) {
    x_.writeTextElement(QLatin1String(name), QString::number(value));
  }
  void number(const char* name, double value) {
    x_.writeTextElement(QLatin1String(name), QString::number(value, 'g', 15));
  }
  void date(const char* name, uint16_t day, int minute) {
    if (day) text(name, dateTimeText(day, minute));
  }
  void start(const char* name) { x_.writeStartElement(QLatin1String(name)); }
  void end() { x_.writeEndElement(); }

  void outlineCodes(const std::vector<OutlineCode>& codes) {
    if (codes.empty()) return;
    start("OutlineCodes");
    for (const OutlineCode& c : codes) {
      if (c.number < 1 || c.number > 2) continue;
      start("OutlineCode");
      text("FieldID", kOutlineFieldId[c.number - 1]);
      text("FieldName", kOutlineFieldName[c.number - 1]);
      text("Alias", c.alias);
      text("OnlyTableValues", "1");
      text("Enterprise", "0");
      text("ShowIndent", "1");
      start("Values");
      for (const OutlineValue& v : c.values) {
        start("Value");
        text("ValueID", v.id);
        text("ParentValueID", v.parent);
        text("Value", v.value);
        text("Description", v.description);
        end();
      }
      end();
      start("Masks");
      for (size_t l = 0; l < c.lengths.size(); ++l) {
        start("Mask");
        text("Level", static_cast<int64_t>(l + 1));
        text("Type", "3");  // characters
        text("Length", c.lengths[l]);
        text("Separator", ".");
        end();
      }
      end();
      end();
    }
    end();
  }

  void workingTimes() {
    start("WorkingTimes");
    for (const auto& [from, to] : {std::pair{kMorning, kNoon}, std::pair{kAfternoon, kEvening}}) {
      start("WorkingTime");
      text("FromTime", dateTimeText(0x21, from).substr(11));
      text("ToTime", dateTimeText(0x21, to).substr(11));
      end();
    }
    end();
  }

  void calendars(const std::vector<Calendar>& list) {
    start("Calendars");
    for (const Calendar& c : list) {
      start("Calendar");
      text("UID", c.uid);
      text("Name", c.name);
      text("IsBaseCalendar", "1");
      text("BaseCalendarUID", "-1");
      start("WeekDays");
      for (int d = 0; d < 7; ++d) {
        start("WeekDay");
        text("DayType", d + 1);
        text("DayWorking", c.working[d] ? 1 : 0);
        if (c.working[d]) workingTimes();
        end();
      }
      for (const CalendarException& e : c.exceptions) {
        start("WeekDay");
        text("DayType", "0");
        text("DayWorking", e.working ? 1 : 0);
        start("TimePeriod");
        date("FromDate", e.from, 0);
        date("ToDate", e.to, 23 * 60 + 59);
        end();
        if (e.working) workingTimes();
        end();
      }
      end();
      end();
    }
    end();
  }

  void tasks(const Project& p) {
    start("Tasks");
    for (const Task& t : p.tasks) {
      start("Task");
      text("UID", t.uid);
      text("ID", t.id);
      text("Name", t.name);
      text("Type", "1");  // fixed duration
      text("IsNull", "0");
      text("WBS", t.code);
      text("OutlineNumber", t.outlineNumber);
      text("OutlineLevel", t.outlineLevel);
      text("Priority", "500");
      date("Start", t.start, kMorning);
      date("Finish", t.finish, kEvening);
      text("Duration", durationText(t.duration));
      text("DurationFormat", "7");
      text("Milestone", t.milestone ? 1 : 0);
      text("Summary", t.summary ? 1 : 0);
      text("Critical", !t.summary && t.totalSlack <= 0 ? 1 : 0);
      date("EarlyStart", t.earlyStart, kMorning);
      date("EarlyFinish", t.earlyFinish, kEvening);
      date("LateStart", t.lateStart, kMorning);
      date("LateFinish", t.lateFinish, kEvening);
      if (!t.summary) {
        text("FreeSlack", t.freeSlack);
        text("TotalSlack", t.totalSlack);
      }
      date("ActualStart", t.actualStart, kMorning);
      date("ActualFinish", t.actualFinish, kEvening);
      text("PercentComplete", t.percentComplete);
      if (t.remaining >= 0) text("RemainingDuration", durationText(t.remaining));
      text("ConstraintType", t.constraintType);
      if (t.calendar >= 0) text("CalendarUID", t.calendar);
      date("ConstraintDate", t.constraintDate,
           t.constraintType == 3 || t.constraintType == 6 || t.constraintType == 7 ? kEvening
                                                                                   : kMorning);
      text("Notes", t.notes);
      for (const Link& l : t.links) {
        start("PredecessorLink");
        text("PredecessorUID", l.predecessor);
        text("Type", l.type);
        text("CrossProject", "0");
        text("LinkLag", l.lag);
        text("LagFormat", "7");
        end();
      }
      if (t.hasBaseline) {
        start("Baseline");
        text("Number", "0");
        date("Start", t.baselineStart, kMorning);
        date("Finish", t.baselineFinish, kEvening);
        text("Duration", durationText(t.baselineDuration));
        text("DurationFormat", "7");
        end();
      }
      for (int k = 0; k < 2; ++k) {
        if (!t.outlineValue[k]) continue;
        start("OutlineCode");
        text("FieldID", kOutlineFieldId[k]);
        text("ValueID", t.outlineValue[k]);
        end();
      }
      end();
    }
    end();
  }

  void resources(const std::vector<Resource>& list) {
    start("Resources");
    for (const Resource& r : list) {
      start("Resource");
      text("UID", r.uid);
      text("ID", r.id);
      text("Name", r.name);
      text("Type", "1");  // work
      text("IsNull", "0");
      text("MaterialLabel", r.unit);
      text("Code", r.code);
      text("Group", r.group);
      end();
    }
    end();
  }

  void assignments(const Project& p) {
    start("Assignments");
    for (const Assignment& a : p.assignments) {
      start("Assignment");
      text("UID", a.uid);
      text("TaskUID", a.task);
      text("ResourceUID", a.resource);
      text("ActualWork", durationText(a.actualWork));
      number("Units", a.units);
      text("Work", durationText(a.work));
      end();
    }
    end();
  }

  QXmlStreamWriter x_;
};

}  // namespace

bool write(const Project& project, QIODevice& out) {
  return Writer(out).write(project);
}

}  // namespace kvmsp
