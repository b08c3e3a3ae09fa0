#include "work_progress.h"

#include <QApplication>

#include "kelvo/strings.h"

namespace kelvo {

WorkProgress::WorkProgress(QWidget* parent, const QString& label) : dialog_(parent) {
  dialog_.setObjectName(QStringLiteral("workProgress"));
  dialog_.setWindowTitle(loadString(kStrAppTitle));
  dialog_.setLabelText(label);
  dialog_.setCancelButtonText(loadString(725));
  dialog_.setWindowModality(Qt::ApplicationModal);
  dialog_.setMinimumDuration(0);
  dialog_.setAutoClose(false);
  dialog_.setAutoReset(false);
  dialog_.setRange(0, 1);
  dialog_.setValue(0);
  dialog_.show();
}

std::function<bool(int32_t, int32_t)> WorkProgress::listener() {
  return [this](int32_t done, int32_t total) {
    if (dialog_.maximum() != total) dialog_.setMaximum(total > 0 ? total : 1);
    dialog_.setValue(done < 0 ? 0 : done);
    // A modal progress dialog handles the events itself on setValue; this
    // keeps the window painted between the values too.
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  };
}

}  // namespace kelvo
