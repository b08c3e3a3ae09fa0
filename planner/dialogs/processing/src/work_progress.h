// A modal progress dialog with Cancel for long processing work. Its
// listener is what the computations of planner/doc report to: it moves the
// bar, keeps the window responsive and answers false once Cancel has been
// pressed, so that the computation stops and puts back what it changed.
#ifndef KELVO_WORK_PROGRESS_H_
#define KELVO_WORK_PROGRESS_H_

#include <QApplication>
#include <QProgressDialog>
#include <cstdint>
#include <functional>

namespace kelvo {

// The wait cursor for the life of the object: short work that shows no
// progress of its own.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

class WorkProgress {
 public:
  // Shown at once over parent with `label` and a "취소" button.
  WorkProgress(QWidget* parent, const QString& label);

  // The listener: (done, total) -> keep going.
  std::function<bool(int32_t, int32_t)> listener();
  bool cancelled() const { return dialog_.wasCanceled(); }

 private:
  QProgressDialog dialog_;
};

}  // namespace kelvo

#endif  // KELVO_WORK_PROGRESS_H_
