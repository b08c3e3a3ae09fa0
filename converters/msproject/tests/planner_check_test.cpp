// The outside check: GNOME Planner's own stylesheet turns our files into
// Planner projects, and every task with its duration and every link with
// its type arrives. Skipped where Planner's stylesheet or xsltproc is
// missing (scripts/setup installs both).
#include <dlfcn.h>

#include <QFile>
#include <QXmlStreamReader>
#include <ctime>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "kvcli_runner.h"
#include "kvmspdi.h"

namespace {

namespace fs = std::filesystem;

const char kStylesheet[] = "/usr/share/planner/stylesheets/msp2planner.xsl";
const char kXsltproc[] = "/usr/bin/xsltproc";
const char kLibPlanner[] = "/usr/lib/x86_64-linux-gnu/planner/libplanner-1.so.1";

// The few calls of Planner's library that load a project, schedule it and
// list its tasks (GLib lists and Planner's objects are opaque here).
struct GListNode {
  void* data;
  GListNode* next;
  GListNode* prev;
};
struct LibPlanner {
  void* handle = dlopen(kLibPlanner, RTLD_NOW | RTLD_LOCAL);
  template <typename F>
  F fn(const char* name) {
    return handle ? reinterpret_cast<F>(dlsym(handle, name)) : nullptr;
  }
  // Task name -> the day its scheduled work starts ("YY-MM-DD"); empty
  // when the file does not load.
  std::map<std::string, std::string> starts(const std::string& path) {
    std::map<std::string, std::string> out;
    auto appNew = fn<void* (*)()>("mrp_application_new");
    auto projectNew = fn<void* (*)(void*)>("mrp_project_new");
    auto load = fn<int (*)(void*, const char*, void**)>("mrp_project_load");
    auto reschedule = fn<void (*)(void*)>("mrp_project_reschedule");
    auto all = fn<GListNode* (*)(void*)>("mrp_project_get_all_tasks");
    auto name = fn<const char* (*)(void*)>("mrp_task_get_name");
    auto start = fn<long (*)(void*)>("mrp_task_get_work_start");
    if (!appNew || !projectNew || !load || !reschedule || !all || !name || !start) return out;
    void* project = projectNew(appNew());
    void* error = nullptr;
    // The library takes a URI.
    if (!load(project, ("file://" + path).c_str(), &error)) return out;
    reschedule(project);
    for (GListNode* l = all(project); l; l = l->next) {
      const time_t t = start(l->data);
      struct tm day;
      gmtime_r(&t, &day);
      char text[16];
      strftime(text, sizeof text, "%y-%m-%d", &day);
      out[name(l->data)] = text;
    }
    return out;
  }
};

struct PlannerTask {
  std::string name;
  int64_t seconds = -1;
  std::set<std::tuple<int, std::string, int64_t>> links;  // predecessor id, type, lag
};

// The tasks of a Planner file by id.
std::map<int, PlannerTask> plannerTasks(const std::string& path) {
  std::map<int, PlannerTask> tasks;
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return tasks;
  QXmlStreamReader x(&f);
  std::vector<int> open;
  while (!x.atEnd()) {
    const auto t = x.readNext();
    if (t == QXmlStreamReader::StartElement && x.name() == u"task") {
      const int id = x.attributes().value("id").toInt();
      PlannerTask& pt = tasks[id];
      pt.name = x.attributes().value("name").toString().toStdString();
      pt.seconds = x.attributes().value("duration").toLongLong();
      open.push_back(id);
    } else if (t == QXmlStreamReader::EndElement && x.name() == u"task") {
      open.pop_back();
    } else if (t == QXmlStreamReader::StartElement && x.name() == u"predecessor" && !open.empty()) {
      const auto a = x.attributes();
      tasks[open.back()].links.insert({a.value("predecessor-id").toInt(),
                                       a.value("type").toString().toStdString(),
                                       a.value("lag").toLongLong()});
    }
  }
  return tasks;
}

class PlannerCheck : public ScratchTest {
 protected:
  void SetUp() override {
    if (!fs::exists(kStylesheet) || !fs::exists(kXsltproc))
      GTEST_SKIP() << "GNOME Planner's stylesheet (package planner) or xsltproc (package "
                      "xsltproc) is missing: run scripts/setup";
    ScratchTest::SetUp();
    fs::create_directories(dir_ / "cfg");
    fs::create_directories(dir_ / "tmp");
    env_ = isolatedEnvironment(dir_ / "cfg", dir_ / "tmp");
    ASSERT_EQ(kvcli("register xml MSPDI xKvMsp.so", env_).status, 0);
  }

  // Exports project, converts it with Planner's stylesheet and checks what
  // arrives against the activities and relations of the project.
  void Check(const std::string& project) {
    const std::string xml = file("P.xml"), planner = file("P.planner");
    CliRun run = kvcli("export " + project + " " + xml, env_);
    ASSERT_EQ(run.status, 0) << run.out;
    run = runCommand(std::string(kXsltproc) + " -o " + planner + " " + kStylesheet + " " + xml);
    ASSERT_EQ(run.status, 0) << run.out;
    kvmsp::Project msp;
    std::string error;
    ASSERT_TRUE(kvmsp::readFile(xml, msp, error)) << error;
    const std::map<int, PlannerTask> got = plannerTasks(planner);

    // Kelvo's activities and relations as the command line dumps them.
    std::map<std::string, int64_t> days;  // code -> duration
    std::set<std::tuple<std::string, std::string, std::string, int64_t>> relations;
    std::istringstream act(kvcli("dump " + project + " act", env_).out);
    std::string line;
    std::getline(act, line);
    while (std::getline(act, line)) {
      std::istringstream f(line);
      std::string code, title, du;
      std::getline(f, code, ',');
      std::getline(f, title, ',');
      std::getline(f, du, ',');
      days[code] = std::stoll(du);
    }
    std::istringstream rel(kvcli("dump " + project + " rel", env_).out);
    std::getline(rel, line);
    while (std::getline(rel, line)) {
      std::istringstream f(line);
      std::string pred, succ, type, lag;
      std::getline(f, pred, ',');
      std::getline(f, succ, ',');
      std::getline(f, type, ',');
      std::getline(f, lag, ',');
      relations.insert({pred, succ, type, std::stoll(lag)});
    }
    ASSERT_FALSE(days.empty());

    std::map<int, const kvmsp::Task*> byUid;
    for (const kvmsp::Task& t : msp.tasks) byUid[t.uid] = &t;
    size_t activities = 0;
    std::set<std::tuple<std::string, std::string, std::string, int64_t>> arrived;
    for (const kvmsp::Task& t : msp.tasks) {
      if (t.outlineLevel < 1) continue;
      const auto p = got.find(t.id);
      ASSERT_NE(p, got.end()) << "task " << t.id << " " << t.name;
      EXPECT_EQ(p->second.name, t.name);
      if (t.summary) continue;
      ++activities;
      ASSERT_EQ(days.count(t.code), 1u) << t.code;
      // Planner counts a duration in seconds of its eight-hour days.
      EXPECT_EQ(p->second.seconds, days[t.code] * 8 * 3600) << t.code;
      for (const auto& [predId, type, lag] : p->second.links) {
        const kvmsp::Task* pred = nullptr;
        for (const kvmsp::Task& q : msp.tasks)
          if (q.id == predId) pred = &q;
        ASSERT_NE(pred, nullptr) << predId;
        arrived.insert({pred->code, t.code, type, lag / (8 * 3600)});
      }
    }
    EXPECT_EQ(activities, days.size());
    EXPECT_EQ(arrived, relations);
  }

  std::string env_;
};

TEST_F(PlannerCheck, TheSampleArrivesInPlannerWhole) {
  Check(std::string(KELVO_BIN_DIR) + "/samples/small_building.kvp");
}

TEST_F(PlannerCheck, AGeneratedProjectArrivesInPlannerWhole) {
  const CliRun run = kvcli("gen " + file("G.kvp") + " --activities 200 --relations 300", env_);
  ASSERT_EQ(run.status, 0) << run.out;
  Check(file("G.kvp"));
}

// Where Planner's library is there: it schedules what the stylesheet made
// of a project on a five-day calendar, and its starts are our early starts.
TEST_F(PlannerCheck, PlannerSchedulesAFiveDayProjectAsWeDo) {
  LibPlanner planner;
  if (!planner.handle) GTEST_SKIP() << "Planner's library is missing: " << kLibPlanner;
  const std::string p = file("F.kvp");
  ASSERT_EQ(kvcli("new " + p + " --code F5 --name five --start 26-03-02 --data-date 26-03-02", env_)
                .status,
            0);
  ASSERT_EQ(kvcli("calendar " + p + " 1 --from 26-01-01 --to 27-12-31 --off sat,sun", env_).status,
            0);
  // A network of finish-start, start-start and finish-finish relations over
  // weekends. Planner starts a task that has a finish-finish predecessor
  // beside a finish-start one by the finish-finish one alone, so the
  // finish-finish link here is its task's only one.
  writeFile(dir_ / "act.csv",
            "CODE,TITLE,DU,CAL_NO\nF01,start,1,1\nF02,dig,4,1\nF03,forms,3,1\nF04,rebar,6,1\n"
            "F05,pour,2,1\nF06,cure,7,1\nF07,strip,2,1\nF08,backfill,5,1\nF09,walls,9,1\n"
            "F10,roof,3,1\n");
  writeFile(dir_ / "rel.csv",
            "P_CODE,S_CODE,TYPE,LAG\nF01,F02,0,0\nF02,F03,0,0\nF02,F04,2,0\nF03,F05,0,0\n"
            "F04,F05,0,0\nF05,F06,0,0\nF06,F07,1,0\nF05,F08,2,0\nF07,F09,0,0\nF08,F09,0,0\n"
            "F09,F10,0,0\n");
  for (const char* t : {"act", "rel"}) {
    const CliRun run =
        kvcli("load " + p + " " + t + " " + (dir_ / (std::string(t) + ".csv")).string(), env_);
    ASSERT_EQ(run.status, 0) << run.out;
  }
  ASSERT_EQ(kvcli("schedule " + p, env_).status, 0);
  const std::string xml = file("F.xml"), converted = file("F.planner");
  ASSERT_EQ(kvcli("export " + p + " " + xml, env_).status, 0);
  ASSERT_EQ(runCommand(std::string(kXsltproc) + " -o " + converted + " " + kStylesheet + " " + xml)
                .status,
            0);
  const std::map<std::string, std::string> starts = planner.starts(converted);
  ASSERT_EQ(starts.size(), 10u);
  std::istringstream act(kvcli("dump " + p + " act", env_).out);
  std::string line;
  std::getline(act, line);
  int compared = 0;
  while (std::getline(act, line)) {
    std::vector<std::string> f;
    std::istringstream parts(line);
    for (std::string v; std::getline(parts, v, ',');) f.push_back(v);
    ASSERT_GT(f.size(), 6u);
    EXPECT_EQ(starts.at(f[1]), f[6]) << f[0];  // title -> early start
    ++compared;
  }
  EXPECT_EQ(compared, 10);
}

}  // namespace
