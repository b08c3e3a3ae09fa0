// "숫자 항목 자릿수": integer and decimal digits of the five classes of
// numeric items. OK clamps the values, refuses (beep, the row's integer
// digits set to the narrowest width that keeps every stored value) a width
// that would cut a stored value, and otherwise applies the digits to every
// project table.
#ifndef KELVO_DIGITS_DIALOG_H_
#define KELVO_DIGITS_DIALOG_H_

#include <QDialog>
#include <array>

#include "kelvo/digit_settings.h"

class QSpinBox;

namespace kelvo {

class CPlanDoc;

class CDigitsDlg : public QDialog {
  Q_OBJECT
 public:
  CDigitsDlg(CPlanDoc& doc, QWidget* parent = nullptr);

  void accept() override;

 private:
  CPlanDoc& doc_;
  DigitSettings current_;
  std::array<QSpinBox*, kDigitRows> width_{};
  std::array<QSpinBox*, kDigitRows> decimals_{};
};

}  // namespace kelvo

#endif  // KELVO_DIGITS_DIALOG_H_
