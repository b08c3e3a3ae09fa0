// The period band under a time-scaled view (Gantt chart, network chart,
// period sheet): up to six S-curves of value sheets with a row of values
// per series, on the view's own time scale and horizontal scroll position.
// It shows while the view's scale flag bit 8 is set.
#ifndef KELVO_PERIOD_BAND_WIDGET_H_
#define KELVO_PERIOD_BAND_WIDGET_H_

#include <QWidget>
#include <memory>

#include "kelvo/period_band.h"

namespace kelvo {

class CTermView;
struct BandScene;

class CPeriodBand : public QWidget {
  Q_OBJECT
 public:
  // Reads the band block of view's kind and loads its series.
  explicit CPeriodBand(CTermView* view, QWidget* parent = nullptr);
  ~CPeriodBand() override;

  CTermView* view() const { return view_; }
  const BandBlock& block() const { return block_; }
  // Replaces the block (option pages, tests) and reloads the series.
  void setBlock(const BandBlock& block);
  // Reads the block and the series again (refresh, hint 11).
  void reload();
  // Stores the block (hint 2).
  void store() const;
  // The height the band needs, in logical units.
  int32_t bandHeight() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void loadSeries();
  void followView();

  CTermView* view_;
  BandBlock block_;
  std::unique_ptr<BandScene> scene_;
};

// Puts a period band under view, in view's place in its parent (a splitter
// or a layout), and returns it. The band follows the view's scrolling and
// its scale flag.
CPeriodBand* attachPeriodBand(CTermView* view);
// The band attached under view, or null.
CPeriodBand* periodBandOf(CTermView* view);

}  // namespace kelvo

#endif  // KELVO_PERIOD_BAND_WIDGET_H_
