// The outside check: GNOME Planner's own stylesheet turns our files into
// Planner projects, and every task with its duration and every link with
// its type arrives. Skipped where Planner's stylesheet or xsltproc is
// missing (scripts/setup installs both).
#include <QFile>
#include <QXmlStreamReader>
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

}  // namespace
