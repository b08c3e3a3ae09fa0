// "날짜 표현 형식": the date form (0..7), the delimiter, ordinal display
// with its base day, and the start days of month and week. Every change
// rewrites the example at once under the chosen settings without touching
// the engine's; OK sets them in the engine, rewrites the date constants of
// the project's stored expressions so that they name the same days, marks
// the document modified and repaints the views.
#ifndef KELVO_DATE_FORMAT_DIALOG_H_
#define KELVO_DATE_FORMAT_DIALOG_H_

#include <QDialog>
#include <cstdint>

#include "xjor/calendar.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kelvo {

class CPlanDoc;

class CDateFormatDlg : public QDialog {
  Q_OBJECT
 public:
  CDateFormatDlg(CPlanDoc& doc, QWidget* parent = nullptr);

  void accept() override;

 private:
  char delimiter() const;
  // Switches the engine to the chosen form and delimiter (ordinal mode off);
  // the caller holds a DateSettingsScope.
  void useChosenForm() const;
  void showExample();
  void takeDelimiter();
  // The base day typed, read under the chosen form (0 when not a date).
  void readBase();
  // The base day written again in the chosen form.
  void showBase();
  // Filters, named formulas and report formulas written under `before`
  // are rewritten for `after`.
  void keepDateConstants(const DateInfo& before, const DateInfo& after);

  CPlanDoc& doc_;
  char shownDelimiter_;
  uint16_t baseDay_ = 0;
  QComboBox* form_;
  QLineEdit* delimiter_;
  QLabel* example_;
  QCheckBox* ordinal_;
  QLineEdit* base_;
  QSpinBox* monthStart_;
  QComboBox* weekStart_;
};

}  // namespace kelvo

#endif  // KELVO_DATE_FORMAT_DIALOG_H_
