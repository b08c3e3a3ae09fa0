// The file model: values, the writer and reader agreeing, and hostile files
// refused with a reason.
#include <gtest/gtest.h>

#include <QBuffer>
#include <string>

#include "kvmspdi.h"
#include "xjor/packed_date.h"

namespace {

using kvmsp::Limits;
using kvmsp::Project;

std::string written(const Project& p) {
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  EXPECT_TRUE(kvmsp::write(p, out));
  return out.data().toStdString();
}

TEST(MspdiValues, DurationsAndDatesReadAsTheFileMeansThem) {
  struct {
    const char* text;
    int64_t minutes;
  } const durations[] = {
      {"PT48H0M0S", 2880}, {"PT8H30M0S", 510}, {"P2D", 960},    {"P1W", 2400},
      {"P1DT4H", 720},     {"PT0.5H", 30},     {"PT", -1},      {"-PT8H", -1},
      {"48H", -1},         {"P2H", -1},        {"PT1e99H", -1}, {"", -1},
  };
  for (const auto& d : durations) EXPECT_EQ(kvmsp::minutesOfText(d.text, 480), d.minutes) << d.text;
  EXPECT_EQ(kvmsp::durationText(2880), "PT48H0M0S");
  EXPECT_EQ(kvmsp::dayOfText("2026-03-03T08:00:00"), xjor::packDate(2026, 3, 3));
  EXPECT_EQ(kvmsp::dayOfText("2024-02-29"), xjor::packDate(2024, 2, 29));
  for (const char* bad : {"2026-02-29T08:00:00", "1979-12-31T08:00:00", "2026-13-01", "2026-03",
                          "2026-03-03X", "2108-01-01"})
    EXPECT_EQ(kvmsp::dayOfText(bad), 0) << bad;
  EXPECT_EQ(kvmsp::dateTimeText(xjor::packDate(2026, 3, 3), 17 * 60), "2026-03-03T17:00:00");
}

TEST(MspdiModel, WhatIsWrittenReadsBackAndWritesTheSame) {
  Project p;
  p.title = "근린생활시설 <신축> & 공사\x01";
  p.subject = "KV-2601";
  p.start = xjor::packDate(2026, 3, 3);
  p.finish = xjor::packDate(2026, 12, 31);
  p.statusDate = p.start;
  p.created = p.saved = "2026-12-08T09:00:00";
  kvmsp::Calendar c;
  c.uid = 2;
  c.name = "달력 2";
  for (int d = 1; d <= 5; ++d) c.working[d] = true;
  c.exceptions.push_back({xjor::packDate(2026, 9, 24), xjor::packDate(2026, 9, 26), false});
  c.exceptions.push_back({xjor::packDate(2026, 10, 10), xjor::packDate(2026, 10, 10), true});
  p.calendars.push_back(c);
  kvmsp::OutlineCode oc;
  oc.number = 1;
  oc.alias = "공종 분류";
  oc.lengths = {1, 2};
  oc.values = {{1, 0, "A", "가설공사"}, {2, 1, "01", "공통가설"}};
  p.outlineCodes.push_back(oc);
  kvmsp::Task t;
  t.uid = t.id = 1;
  t.code = "A1010";
  t.name = "가설울타리";
  t.outlineLevel = 3;
  t.outlineNumber = "1.1.1";
  t.start = p.start;
  t.finish = xjor::packDate(2026, 3, 9);
  t.duration = 6 * 480;
  t.remaining = 2 * 480;
  t.totalSlack = -4800;
  t.percentComplete = 67;
  t.constraintType = 4;
  t.constraintDate = p.start;
  t.calendar = 2;
  t.outlineValue[0] = 2;
  t.hasBaseline = true;
  t.baselineStart = p.start;
  t.baselineDuration = 2880;
  t.links = {{7, kvmsp::kSS, 24000}, {8, kvmsp::kFF, -4800}};
  p.tasks.push_back(t);
  p.resources.push_back({1, 1, "L01", "보통인부", "인", ""});
  p.assignments.push_back({1, 1, 1, 1.25, 600, 120});

  const std::string xml = written(p);
  Project back;
  std::string error;
  ASSERT_TRUE(kvmsp::readBuffer(xml.data(), xml.size(), back, error)) << error;
  EXPECT_EQ(back.title, "근린생활시설 <신축> & 공사");  // no control character
  ASSERT_EQ(back.calendars.size(), 1u);
  EXPECT_EQ(back.calendars[0].exceptions.size(), 2u);
  EXPECT_TRUE(back.calendars[0].exceptions[1].working);
  ASSERT_EQ(back.tasks.size(), 1u);
  const kvmsp::Task& b = back.tasks[0];
  EXPECT_EQ(b.remaining, t.remaining);
  EXPECT_EQ(b.totalSlack, -4800);
  ASSERT_EQ(b.links.size(), 2u);
  EXPECT_EQ(b.links[1].lag, -4800);
  EXPECT_EQ(b.links[1].type, kvmsp::kFF);
  EXPECT_EQ(back.assignments[0].units, 1.25);
  EXPECT_EQ(written(back), xml);
}

// Hostile or broken files are refused with a reason, whatever their size.
TEST(MspdiModel, HostileAndBrokenFilesAreRefusedWithAReason) {
  const std::string open = "<Project xmlns=\"http://schemas.microsoft.com/project\">";
  std::string deep = open;
  for (int i = 0; i < 200; ++i) deep += "<Tasks>";
  struct {
    std::string xml;
    const char* reason;
  } const cases[] = {
      {"<?xml version=\"1.0\"?><!DOCTYPE Project [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>" +
           open + "<Title>&b;</Title></Project>",
       "DOCTYPE"},
      {deep, "nested deeper than 32"},
      {open + "<Title>" + std::string(6 << 20, 'x') + "</Title></Project>",
       "MB in one piece of XML"},
      {open + "<Title>" + std::string(6 << 20, ' '), "MB in one piece of XML"},
      {"<Workbook/>", "not a Project file"},
      {open + "<Tasks><Task><UID>1</UID></Tasks></Project>", "damaged"},
      {open + "<Tasks><Task><UID>1</UID>", "ends early"},
      {open + "<Title>&undeclared;</Title></Project>", "damaged"},
      {"", "ends early"},
      {"\xFF\xFE<\0P\0", "UTF-16"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Project/>", "only UTF-8"},
      {open + "<Title>a\x01b</Title></Project>", "control character"},
      {open + "<Title>&#0;</Title></Project>", "does not allow"},
      {open + "<Title>a & b</Title></Project>", "ends no reference"},
      {open + "</Project><Project/>", "second root"},
      {open + "</Project>tail", "text outside"},
  };
  for (const auto& c : cases) {
    Project p;
    std::string error;
    EXPECT_FALSE(kvmsp::readBuffer(c.xml.data(), c.xml.size(), p, error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // What XML allows beside plain elements reads as it means.
  const std::string rich =
      "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\n<!-- made elsewhere -->\n"
      "<ms:Project xmlns:ms=\"http://schemas.microsoft.com/project\" a='x>y'>"
      "<ms:Title><![CDATA[<&>]]> &#xAC00;&#54616; &lt;&amp;&gt;</ms:Title>"
      "<ms:Tasks><ms:Task><ms:UID>7</ms:UID><ms:Name/></ms:Task></ms:Tasks></ms:Project>\n";
  Project p;
  std::string error;
  ASSERT_TRUE(kvmsp::readBuffer(rich.data(), rich.size(), p, error)) << error;
  EXPECT_EQ(p.title, "<&> 가하 <&>");
  ASSERT_EQ(p.tasks.size(), 1u);
  EXPECT_EQ(p.tasks[0].uid, 7);

  // The limits on the whole: size, records, and elements in one record.
  Limits small;
  small.fileBytes = 1 << 16;
  small.records = 3;
  small.recordElements = 10;
  std::string many = open + "<Tasks>";
  for (int i = 0; i < 4; ++i) many += "<Task><UID>1</UID></Task>";
  std::string wide = open + "<Tasks><Task>";
  for (int i = 0; i < 11; ++i) wide += "<PredecessorLink/>";
  std::string big = open + "<Title>";
  while (big.size() < (1 << 17)) big += "<!-- -->";
  for (const auto& [xml, reason] :
       {std::pair{many, "too many records"}, std::pair{wide, "elements in one record"},
        std::pair{big, "too large"}}) {
    Project p;
    std::string error;
    EXPECT_FALSE(kvmsp::readBuffer(xml.data(), xml.size(), p, error, small)) << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
