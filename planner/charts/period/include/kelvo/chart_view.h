// The period chart (view kind 20, document window 6 "기간별 도표"): on the
// time scale, a panel of up to six line series drawn as S-curves and up to
// six bar series side by side per period, a row of values per series under
// the panel, and the axis labels and series titles in the table at the
// left. Without series of its own it shows the planned and the actual
// S-curve of the open summary's total row, in percent of the plan.
#ifndef KELVO_CHART_VIEW_H_
#define KELVO_CHART_VIEW_H_

#include <memory>

#include "kelvo/period_band.h"
#include "kelvo/term_view.h"

namespace kelvo {

struct BandScene;

class CChartView : public CTermView {
  Q_OBJECT
 public:
  explicit CChartView(CPlanDoc* doc, QWidget* parent = nullptr);
  ~CChartView() override;

  const BandBlock& band() const { return band_; }
  const ChartBlock& chart() const { return chart_; }
  // Replaces the blocks (option pages, tests), reloads the series and lays
  // the view out again.
  void setBlocks(const BandBlock& band, const ChartBlock& chart);
  // What the view draws now (series loaded, axes, layout).
  const BandScene& scene() const { return *scene_; }

  void initialUpdate() override;
  void storeSettings() override;
  void onUpdate(int hint, qintptr extra) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  // 40098: the sheet "기간 표시", "S-Curve", "Histogram" over a copy of the
  // settings and both blocks; OK takes the copy.
  void optionsCommand();

 protected:
  void drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                int32_t firstRow, int32_t lastRow, bool printing) override;
  int32_t bodyRowCount() const override;
  TimeScaleSettings defaultSettings() const override;

 private:
  void readBlocks();
  void loadSeries();

  BandBlock band_;
  ChartBlock chart_;
  bool blocksRead_ = false;
  std::unique_ptr<BandScene> scene_;
};

}  // namespace kelvo

#endif  // KELVO_CHART_VIEW_H_
