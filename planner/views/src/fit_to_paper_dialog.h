// The page-count dialog of fit to paper: pages across and down, 1..9 each.
#ifndef KELVO_VIEWS_FIT_TO_PAPER_DIALOG_H_
#define KELVO_VIEWS_FIT_TO_PAPER_DIALOG_H_

#include <QDialog>

class QSpinBox;

namespace kelvo {

inline constexpr int kStrPagesAcross = 22100;  // "가로 페이지 수 :"
inline constexpr int kStrPagesDown = 22101;    // "세로 페이지 수 :"

class CFitToPaperDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CFitToPaperDialog(QWidget* parent = nullptr);
  // The chosen counts, never below 1.
  int pagesAcross() const;
  int pagesDown() const;

 private:
  QSpinBox* across_;
  QSpinBox* down_;
};

}  // namespace kelvo

#endif  // KELVO_VIEWS_FIT_TO_PAPER_DIALOG_H_
