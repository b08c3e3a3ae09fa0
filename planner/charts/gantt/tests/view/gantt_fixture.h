// A scheduled project in window 3: four activities on calendar 0 from
// Monday 2 March 2026 (A 5 days, then B 3 days and D 2 days side by side,
// then the milestone C), so that A, B and C are critical and D has a day of
// float; calendar 2 works on weekdays only.
#ifndef GANTT_TESTS_GANTT_FIXTURE_H_
#define GANTT_TESTS_GANTT_FIXTURE_H_

#include <QDir>
#include <QImage>
#include <QWidget>
#include <memory>

#include "grid_fixture.h"
#include "kelvo/gantt_view.h"
#include "kelvo/gantt_window.h"
#include "kelvo/project_schedule.h"
#include "kelvo/table_view.h"
#include "xjor/packed_date.h"

namespace kelvo_test {

class GanttTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    ASSERT_EQ(addActivity("A", "foundation", 5), 0);
    ASSERT_EQ(addActivity("B", "frame", 3), 0);
    ASSERT_EQ(addActivity("C", "handover", 0), 0);
    ASSERT_EQ(addActivity("D", "services", 2), 0);
    for (auto [p, s] : {std::pair{"A", "B"}, {"B", "C"}, {"A", "D"}, {"D", "C"}})
      ASSERT_EQ(addRelation(p, s), 0);
    const kelvo::ScheduleOutcome outcome =
        kelvo::scheduleProject(&db(), &doc_->info(), day(2026, 3, 2));
    (void)outcome;
    installWeekdayCalendar();
    kelvo::viewState() = kelvo::ViewState{};
  }
  void TearDown() override {
    window_.reset();
    xFreeWork(1);
    kelvo::viewState() = kelvo::ViewState{};
    GridTest::TearDown();
  }

  // Calendar 2: Monday to Friday of 2026 (the activities keep calendar 1,
  // which has no working days and so counts every day).
  static void installWeekdayCalendar() {
    std::vector<uint16_t> days;
    for (int32_t n = xjor::dayNumber(day(2026, 1, 1)); n <= xjor::dayNumber(day(2026, 12, 31));
         ++n) {
      const uint16_t d = xjor::dateFromDayNumber(n);
      const int dow = xGetDayOfWeek(d);
      if (dow != 0 && dow != 6) days.push_back(d);
    }
    uint16_t* slot = xSetWork(1, int32_t(days.size()));
    std::copy(days.begin(), days.end(), slot);
  }

  // Window 3 at w x h pixels with the chart at 60 units (6 mm) a day.
  void openWindow(kelvo::GanttWindowChoice choice = {}, int w = 1400, int h = 700) {
    window_.reset(kelvo::makeGanttWindow(doc_.get(), choice, nullptr));
    window_->resize(w, h);
    window_->show();
    chart()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chart()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    kelvo::TimeScaleSettings s = chart()->scale().settings();
    s.stepWidth = 60;
    s.flags |= kelvo::scaleflag::kDataDateLine;
    s.shadingCalendar = 2;
    chart()->setScaleSettings(s);
  }
  kelvo::CGanttView* chart() { return kelvo::ganttChartOf(window_.get()); }
  kelvo::CTableView* sheet() { return kelvo::ganttSheetOf(window_.get()); }

  QImage grabChart(const char* shot = nullptr) {
    QImage image = chart()->viewport()->grab().toImage();
    if (shot) {
      const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
      if (!folder.isEmpty() && QDir(folder).exists()) image.save(folder + '/' + shot);
    }
    return image;
  }
  // Device point of a logical point on the chart's screen.
  QPoint at(int32_t x, int32_t y) { return chart()->screenMapper().toDevice(x, y).toPoint(); }
  int32_t xOf(int m, int d) { return chart()->scale().x(day(2026, m, d)); }
  // y of the middle of row's current bar.
  int32_t barMiddle(int row) {
    return kelvo::currentBarTop(row, chart()->scale(), chart()->block()) -
           chart()->block().barHeight / 2;
  }
  int rowOf(const char* code) {
    std::vector<char> buf(db().act.tb.recordSize);
    for (uint32_t r = 0; r < sheet()->rows().count(); ++r) {
      sheet()->rows().read(r, buf.data());
      if (std::strcmp(reinterpret_cast<ActRecord*>(buf.data())->code, code) == 0) return int(r);
    }
    return -1;
  }
  ActRecord activity(const char* code) {
    std::vector<char> buf(db().act.tb.recordSize);
    sheet()->rows().read(uint32_t(rowOf(code)), buf.data());
    ActRecord a;
    std::memcpy(&a, buf.data(), sizeof a);
    return a;
  }

  std::unique_ptr<QWidget> window_;
};

}  // namespace kelvo_test

#endif  // GANTT_TESTS_GANTT_FIXTURE_H_
