// A small view for the tests: a grid of 10 mm squares over an extent of
// 500 x 400 mm, whose square (0, 0) is filled red.
#ifndef VIEWS_TESTS_TEST_VIEW_H_
#define VIEWS_TESTS_TEST_VIEW_H_

#include <QPainter>

#include "kelvo/base_view.h"

namespace kelvo_test {

class TestView : public kelvo::CBaseView {
 public:
  using CBaseView::CBaseView;

  int32_t width = 5000;
  int32_t height = 4000;
  int initialUpdates = 0;
  int stores = 0;
  int fitAcross = 0, fitDown = 0;
  int32_t fitWidth = 0, fitHeight = 0;
  bool fits = false;
  int formatSize = kelvo::kPrintFormatSize;

  void drawContent(QPainter& p, const kelvo::UnitMapper& m, const kelvo::LogicalRect&,
                   bool) override {
    p.fillRect(m.toDevice(0, 0, 100, -100), Qt::red);
    p.setPen(Qt::black);
    for (int32_t x = 0; x <= width; x += 100) p.drawLine(m.toDevice(x, 0), m.toDevice(x, -height));
    for (int32_t y = 0; y <= height; y += 100) p.drawLine(m.toDevice(0, -y), m.toDevice(width, -y));
  }
  int32_t extentWidth() const override { return width; }
  int32_t extentHeight() const override { return height; }
  void initialUpdate() override {
    ++initialUpdates;
    CBaseView::initialUpdate();
  }
  void storeSettings() override { ++stores; }
  // A separator along x = 1000 (10 units either side); data clicks counted.
  int32_t dragX = 0;
  int ended = 0, applied = 0, presses = 0, cancels = 0;
  bool hitSeparator(int32_t x, int32_t) override { return x > 990 && x < 1010; }
  void placeDataItem(int32_t x, int32_t) override { dragX = x; }
  void endSeparatorDrag(int32_t, int32_t, bool apply) override {
    ++ended;
    applied += apply ? 1 : 0;
  }
  void dataToolPress(int32_t, int32_t, Qt::KeyboardModifiers) override { ++presses; }
  void dataToolCancel() override { ++cancels; }

  int printFormatSize() const override { return formatSize; }
  bool canFitToPaper() const override { return fits; }
  void applyFitToPaper(int across, int down, int32_t w, int32_t h) override {
    fitAcross = across;
    fitDown = down;
    fitWidth = w;
    fitHeight = h;
  }
};

}  // namespace kelvo_test

#endif  // VIEWS_TESTS_TEST_VIEW_H_
