// The document frame: the tab strip of the eleven document windows over the
// current window's content.
#ifndef KELVO_CHILD_FRAME_H_
#define KELVO_CHILD_FRAME_H_

#include <QWidget>

#include "kelvo/document_windows.h"

class QTabBar;
class QVBoxLayout;

namespace kelvo {

class CChildFrame : public QWidget {
  Q_OBJECT
 public:
  explicit CChildFrame(QWidget* parent = nullptr);
  ~CChildFrame() override;

  int currentWindow() const { return current_; }
  // Shows window n: its tab selected and its content made (empty when the
  // window has no view yet).
  void showWindow(int number);
  // Makes the current window's content again (an option-bar choice changed
  // what it shows).
  void reloadWindow();
  QTabBar* tabBar() const { return tabs_; }
  QWidget* content() const { return content_; }
  // Tells the content closer (once) that the current content is going.
  void closeContent();

 signals:
  // The user picked another tab; the owner decides and calls showWindow,
  // or restoreTab to refuse.
  void windowRequested(int number);

 public slots:
  void restoreTab();

 private:
  QTabBar* tabs_;
  QVBoxLayout* layout_;
  QWidget* content_ = nullptr;
  int current_ = -1;
  bool contentClosed_ = false;
};

}  // namespace kelvo

#endif  // KELVO_CHILD_FRAME_H_
