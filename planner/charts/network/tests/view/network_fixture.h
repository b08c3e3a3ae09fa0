// A scheduled project in window 4: four activities on calendar 0 from
// Monday 2 March 2026 (A 5 days, then B 3 days and D 2 days side by side,
// then C, a milestone), so that A, B and C are critical and D has a day of
// float. After path assignment A, B and C lie on path 1 and D on path 2.
#ifndef NETWORK_TESTS_NETWORK_FIXTURE_H_
#define NETWORK_TESTS_NETWORK_FIXTURE_H_

#include <QDir>
#include <QImage>
#include <memory>

#include "grid_fixture.h"
#include "kelvo/network_view.h"
#include "kelvo/network_window.h"
#include "kelvo/project_schedule.h"

namespace kelvo_test {

class NetworkTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    ASSERT_EQ(addActivity("A", "foundation", 5), 0);
    ASSERT_EQ(addActivity("B", "frame", 3), 0);
    ASSERT_EQ(addActivity("C", "handover", 0, 0, 1), 0);
    ASSERT_EQ(addActivity("D", "services", 2), 0);
    for (auto [p, s] : {std::pair{"A", "B"}, {"B", "C"}, {"A", "D"}, {"D", "C"}})
      ASSERT_EQ(addRelation(p, s), 0);
    kelvo::scheduleProject(&db(), &doc_->info(), day(2026, 3, 2));
    xRebuildIndexes(&db());
    kelvo::viewState() = kelvo::ViewState{};
  }
  void TearDown() override {
    chart_.reset();
    kelvo::viewState() = kelvo::ViewState{};
    GridTest::TearDown();
  }

  // Window 4 at w x h pixels, 60 units (6 mm) a day, paths assigned.
  void openWindow(int w = 1000, int h = 500) {
    chart_.reset(kelvo::makeNetworkWindow(doc_.get(), nullptr));
    chart_->resize(w, h);
    chart_->show();
    chart_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chart_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    kelvo::TimeScaleSettings s = chart_->scale().settings();
    s.stepWidth = 60;
    chart_->setScaleSettings(s);
    kelvo::PathOptions o;
    o.allActivities = true;
    ASSERT_EQ(chart_->assignPaths(o), 0);
  }

  QImage grab(const char* shot = nullptr) {
    QImage image = chart_->viewport()->grab().toImage();
    if (shot) {
      const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
      if (!folder.isEmpty() && QDir(folder).exists()) image.save(folder + '/' + shot);
    }
    return image;
  }
  QPoint at(int32_t x, int32_t y) { return chart_->screenMapper().toDevice(x, y).toPoint(); }
  int32_t xOf(int d) { return chart_->scale().x(day(2026, 3, d)); }
  int32_t centre(int path) { return kelvo::pathCentre(path, chart_->scale()); }

  ActRecord activity(const char* code) {
    std::vector<char> buf(db().act.tb.recordSize);
    for (int32_t slot = 0; slot < int32_t(db().act.tb.slotCount); ++slot) {
      db().act.tb.current = slot;
      if (!xGetRec(&db().act.tb, buf.data())) continue;
      if (std::strcmp(reinterpret_cast<ActRecord*>(buf.data())->code, code) == 0) {
        ActRecord a;
        std::memcpy(&a, buf.data(), sizeof a);
        return a;
      }
    }
    return ActRecord{};
  }
  int32_t slotOf(const char* code) {
    std::vector<char> buf(db().act.tb.recordSize);
    for (int32_t slot = 0; slot < int32_t(db().act.tb.slotCount); ++slot) {
      db().act.tb.current = slot;
      if (xGetRec(&db().act.tb, buf.data()) &&
          std::strcmp(reinterpret_cast<ActRecord*>(buf.data())->code, code) == 0)
        return slot;
    }
    return -1;
  }

  std::unique_ptr<kelvo::CNetView> chart_;
};

}  // namespace kelvo_test

#endif  // NETWORK_TESTS_NETWORK_FIXTURE_H_
