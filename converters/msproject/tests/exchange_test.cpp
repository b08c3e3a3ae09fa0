// The converter through kvcli, as a user exchanges projects: the sample
// project and a generated one out and back in, what the store refuses
// reported, hostile files refused, and a file from elsewhere taken in.
#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <tuple>

#include "kvcli_runner.h"

namespace {

namespace fs = std::filesystem;

class MspExchange : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    fs::create_directories(dir_ / "cfg");
    fs::create_directories(dir_ / "tmp");
    env_ = isolatedEnvironment(dir_ / "cfg", dir_ / "tmp");
    ASSERT_EQ(Kvcli("register xml \"MS Project XML\" xKvMsp.so").status, 0);
  }
  CliRun Kvcli(const std::string& args) { return kvcli(args, env_); }
  static std::string Sample() { return std::string(KELVO_BIN_DIR) + "/samples/small_building.kvp"; }

  // The file without the lines that stamp it.
  static std::string Unstamped(const std::string& xml) {
    static const std::regex stamps("\\s*<(CreationDate|LastSaved)>[^<]*</\\1>");
    return std::regex_replace(xml, stamps, "");
  }
  static size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  static std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  std::string Dump(const std::string& project, const char* table) {
    const CliRun run = Kvcli("dump " + project + " " + table);
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
  }

  std::string env_;
};

TEST_F(MspExchange, TheSampleGoesOutAndBackAndOutAgainTheSame) {
  CliRun run = Kvcli("export " + Sample() + " " + file("A.xml"));
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string a = readFile(file("A.xml"));
  EXPECT_EQ(a.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
  EXPECT_EQ(Count(a, "<Summary>0</Summary>"), 63u);
  EXPECT_EQ(Count(a, "<PredecessorLink>"), 85u);
  EXPECT_NE(a.find("<Title>근린생활시설 신축공사 (지하 1층, 지상 4층)</Title>"), std::string::npos);

  // With the settings file beside it, and without: the calendars then come
  // from the file's own.
  for (bool settings : {true, false}) {
    SCOPED_TRACE(settings ? "with the settings file" : "without the settings file");
    if (!settings) fs::remove(file("A.opt"));
    fs::remove(file("B.kvp"));
    run = Kvcli("import " + file("A.xml") + " " + file("B.kvp"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("refused"), std::string::npos) << run.out;
    ASSERT_EQ(Kvcli("check " + file("B.kvp")).status, 0);
    run = Kvcli("export " + file("B.kvp") + " " + file("B.xml"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Unstamped(readFile(file("B.xml"))), Unstamped(a));
    for (const char* t : {"act", "rel", "res", "opr"})
      EXPECT_EQ(Dump(file("B.kvp"), t).size() > 0, true) << t;
    EXPECT_EQ(SortedLines(Dump(file("B.kvp"), "rel")), SortedLines(Dump(Sample(), "rel")));
  }
}

TEST_F(MspExchange, WhatTheStoreRefusesIsReportedAndTheRestImported) {
  ASSERT_EQ(Kvcli("export " + Sample() + " " + file("A.xml")).status, 0);
  std::string xml = readFile(file("A.xml"));
  // A second task coded A1020, and a link from a task the file lacks.
  const size_t at = xml.find("<WBS>A1030</WBS>");
  ASSERT_NE(at, std::string::npos);
  xml.replace(at, 16, "<WBS>A1020</WBS>");
  const size_t link = xml.find("<PredecessorUID>");
  xml.replace(link, 16, "<PredecessorUID>9999");
  writeFile(file("A.xml"), xml);
  const CliRun run = Kvcli("import " + file("A.xml") + " " + file("B.kvp"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("\"터파기 및 잔토 처리\": refused (message 21025)"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("link 9999"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("refused (message 20005)"), std::string::npos) << run.out;
  const std::string act = Dump(file("B.kvp"), "act");
  EXPECT_EQ(Count(act, "\n"), Count(Dump(Sample(), "act"), "\n") - 1);
}

TEST_F(MspExchange, HostileFilesLeaveNoProjectAndSayWhy) {
  const std::string open = "<Project xmlns=\"http://schemas.microsoft.com/project\">";
  const std::pair<std::string, const char*> files[] = {
      {"<!DOCTYPE Project [<!ENTITY a \"aaaa\">]>" + open + "<Title>&a;</Title></Project>",
       "DOCTYPE"},
      {open + "<Tasks><Task><Name>x</Tasks></Project>", "damaged"},
      {"<Project><Title>x</Title>", "ends early"},
  };
  for (const auto& [xml, reason] : files) {
    writeFile(file("H.xml"), xml);
    const CliRun run = Kvcli("import " + file("H.xml") + " " + file("H.kvp"));
    EXPECT_NE(run.status, 0) << reason;
    EXPECT_NE(run.out.find(reason), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(file("H.kvp")));
  }
}

// A file made elsewhere: no codes, no dates but the project's, a five-day
// calendar with a holiday.
TEST_F(MspExchange, AFileFromElsewhereIsCodedInOrderAndDated) {
  writeFile(file("F.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Project xmlns="http://schemas.microsoft.com/project">
 <Title>Elsewhere</Title><StartDate>2026-03-02T08:00:00</StartDate>
 <CalendarUID>5</CalendarUID>
 <Calendars><Calendar><UID>5</UID><Name>Standard</Name><WeekDays>
  <WeekDay><DayType>1</DayType><DayWorking>0</DayWorking></WeekDay>
  <WeekDay><DayType>2</DayType><DayWorking>1</DayWorking></WeekDay>
  <WeekDay><DayType>3</DayType><DayWorking>1</DayWorking></WeekDay>
  <WeekDay><DayType>4</DayType><DayWorking>1</DayWorking></WeekDay>
  <WeekDay><DayType>5</DayType><DayWorking>1</DayWorking></WeekDay>
  <WeekDay><DayType>6</DayType><DayWorking>1</DayWorking></WeekDay>
  <WeekDay><DayType>7</DayType><DayWorking>0</DayWorking></WeekDay>
  <WeekDay><DayType>0</DayType><DayWorking>0</DayWorking><TimePeriod>
   <FromDate>2026-03-04T00:00:00</FromDate><ToDate>2026-03-04T23:59:00</ToDate></TimePeriod></WeekDay>
 </WeekDays></Calendar></Calendars>
 <Tasks>
  <Task><UID>1</UID><Name>Dig</Name><Duration>PT24H0M0S</Duration></Task>
  <Task><UID>2</UID><Name>Pour</Name><Duration>P2D</Duration>
   <PredecessorLink><PredecessorUID>1</PredecessorUID><Type>1</Type><LinkLag>4800</LinkLag></PredecessorLink></Task>
 </Tasks>
</Project>)");
  CliRun run = Kvcli("import " + file("F.xml") + " " + file("F.kvp"));
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string act = Dump(file("F.kvp"), "act");
  EXPECT_NE(act.find("T00001"), std::string::npos) << act;
  EXPECT_NE(act.find("T00002"), std::string::npos) << act;
  const std::string rel = Dump(file("F.kvp"), "rel");
  EXPECT_NE(rel.find("T00001,T00002,FS,1"), std::string::npos) << rel;
  // Scheduled on the file's calendar: Dig takes 2, 3 and 5 March (the 4th
  // is a holiday), one day of lag on the 6th, Pour 9 and 10 March.
  ASSERT_EQ(Kvcli("schedule " + file("F.kvp")).status, 0);
  run = Kvcli("export " + file("F.kvp") + " " + file("G.xml"));
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string g = readFile(file("G.xml"));
  EXPECT_NE(g.find("<Finish>2026-03-05T17:00:00</Finish>"), std::string::npos) << g;
  EXPECT_NE(g.find("<Start>2026-03-09T08:00:00</Start>"), std::string::npos) << g;
}

// Foreign files carry their structure as summary tasks, not outline codes.
class MspSummaryOutline : public MspExchange {
 protected:
  // A file of tasks given as (outline level, summary, name), in order.
  void WriteOutline(const std::vector<std::tuple<int, bool, std::string>>& tasks) {
    std::string xml =
        "<Project xmlns=\"http://schemas.microsoft.com/project\">"
        "<StartDate>2026-03-02T08:00:00</StartDate><Tasks>";
    int uid = 0;
    for (const auto& [level, summary, name] : tasks)
      xml += "<Task><UID>" + std::to_string(++uid) + "</UID><Name>" + name +
             "</Name><OutlineLevel>" + std::to_string(level) + "</OutlineLevel><Summary>" +
             (summary ? "1" : "0") + "</Summary><Duration>PT8H0M0S</Duration></Task>";
    writeFile(file("S.xml"), xml + "</Tasks></Project>");
  }
  // Imports S.xml; the work type and facility of each activity by title.
  std::map<std::string, std::pair<std::string, std::string>> Import(CliRun* run) {
    *run = Kvcli("import " + file("S.xml") + " " + file("S.kvp"));
    std::map<std::string, std::pair<std::string, std::string>> codes;
    std::istringstream rows(Dump(file("S.kvp"), "act"));
    std::string header;
    std::getline(rows, header);
    for (std::string row; std::getline(rows, row);) {
      std::vector<std::string> f;
      std::istringstream cells(row);
      for (std::string cell; std::getline(cells, cell, ',');) f.push_back(cell);
      if (f.size() > 27) codes[f[1]] = {f[26], f[27]};
    }
    return codes;
  }
};

TEST_F(MspSummaryOutline, ThreeSummaryLevelsBecomeTheWorkTypes) {
  WriteOutline({{1, true, "Frame"},
                {2, false, "a"},  // directly under a first-level summary
                {2, true, "Floors"},
                {3, true, "B1"},
                {4, false, "b"},
                {4, false, "c"},
                {3, false, "d"},
                {2, true, "Roof"},
                {3, true, "Deck"},
                {4, false, "e"},
                {1, true, "Finish"},
                {2, false, "f"},
                {1, false, "g"}});  // outside any summary
  CliRun run;
  const auto codes = Import(&run);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("refused"), std::string::npos) << run.out;
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"a", {"100", "1"}}, {"b", {"111", "1"}}, {"c", {"111", "2"}}, {"d", {"110", "1"}},
      {"e", {"121", "1"}}, {"f", {"200", "1"}}, {"g", {"", ""}}};
  EXPECT_EQ(codes, expected);
  const std::string wbs = Dump(file("S.kvp"), "wbs");
  for (const char* code : {"1,Frame", "11,Floors", "111,B1", "12,Roof", "121,Deck", "2,Finish"})
    EXPECT_NE(wbs.find(std::string("\n") + code + ","), std::string::npos) << code << wbs;
  EXPECT_EQ(Kvcli("check " + file("S.kvp")).status, 0);
}

TEST_F(MspSummaryOutline, SummariesDeeperThanTheClassificationFoldIntoItsLastLevel) {
  std::vector<std::tuple<int, bool, std::string>> tasks;
  for (int level = 1; level <= 10; ++level) {
    tasks.emplace_back(level, true, "S" + std::to_string(level));
    tasks.emplace_back(level + 1, false, "t" + std::to_string(level));
  }
  WriteOutline(tasks);
  CliRun run;
  const auto codes = Import(&run);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("refused"), std::string::npos) << run.out;
  EXPECT_EQ(Count(run.out, "folded into level 8"), 1u) << run.out;
  ASSERT_EQ(codes.size(), 10u);
  EXPECT_EQ(codes.at("t1"), std::make_pair(std::string("10000000"), std::string("1")));
  EXPECT_EQ(codes.at("t8"), std::make_pair(std::string("11111111"), std::string("1")));
  EXPECT_EQ(codes.at("t9"), std::make_pair(std::string("11111111"), std::string("2")));
  EXPECT_EQ(codes.at("t10"), std::make_pair(std::string("11111111"), std::string("3")));
}

}  // namespace
