// Parts the "S-Curve" and "Histogram" pages share: the value-axis fields
// and the editor of six series (value sheet, line, fill).
#ifndef KELVO_BAND_PAGE_PARTS_H_
#define KELVO_BAND_PAGE_PARTS_H_

#include <QWidget>
#include <functional>

#include "kelvo/period_band.h"

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kelvo {

// Chooses a value sheet for a series: the sheet number 0..49, or -1 when
// the user cancelled. current is the series' sheet (-1 for none).
using ValueSheetChooser = std::function<int(QWidget* parent, int current)>;
// The chooser over the project's option file: a list of the value sheets
// with data, by number and title.
ValueSheetChooser valueSheetChooser(OptionFileRef* opt);

// "최소값 :" .. "단위 :" over the axis fields of a band or chart block.
class AxisFields : public QObject {
  Q_OBJECT
 public:
  struct Target {
    double* minimum;
    double* maximum;
    double* major;
    double* minor;
    int16_t* decimals;
    char* unit;  // 16 bytes
  };
  // Adds the rows to grid from row on.
  AxisFields(QWidget* page, QGridLayout* grid, int row, Target target);
  void load();
  // A number that does not parse beeps and takes the focus.
  bool validate();
  void apply();
  QLineEdit* field(int i) const { return values_[i]; }  // 0 min, 1 max, 2 major, 3 minor
  QLineEdit* unitEdit() const { return unit_; }

 private:
  Target t_;
  QLineEdit* values_[4];
  QSpinBox* decimals_;
  QLineEdit* unit_;
};

// The series buttons "1".."6" and the controls of the series chosen.
class SeriesEditor : public QObject {
  Q_OBJECT
 public:
  // bars adds the fill controls and names the width "선 굵기 :".
  SeriesEditor(QWidget* page, QGridLayout* grid, int row, BandSeries* series, int16_t* count,
               bool bars, ValueSheetChooser chooser);
  void load();
  // Writes the chosen series' controls back and sets the count to the last
  // series with a sheet.
  void apply();
  void choose(int index);
  int chosen() const { return chosen_; }
  QLabel* sheetLabel() const { return sheet_; }
  QComboBox* lineStyleCombo() const { return lineStyle_; }
  QSpinBox* widthSpin() const { return width_; }
  QComboBox* fillTypeCombo() const { return fillType_; }
  QComboBox* fillPatternCombo() const { return fillPattern_; }

 private:
  void showSheet();
  void store();

  BandSeries* series_;
  int16_t* count_;
  ValueSheetChooser chooser_;
  int chosen_ = 0;
  QButtonGroup* buttons_;
  QLabel* sheet_;
  QComboBox* lineStyle_ = nullptr;
  QSpinBox* width_;
  QComboBox* fillType_ = nullptr;
  QComboBox* fillPattern_ = nullptr;
};

}  // namespace kelvo

#endif  // KELVO_BAND_PAGE_PARTS_H_
