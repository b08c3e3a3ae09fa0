// The document frame: the tab strip of the eleven document windows over the
// current window's content.
#ifndef KELVO_CHILD_FRAME_H_
#define KELVO_CHILD_FRAME_H_

#include <QWidget>
#include <functional>

class QPrinter;
class QTabBar;
class QVBoxLayout;

namespace kelvo {

inline constexpr int kDocumentWindows = 11;

// Makes the content of document window n (a view or a splitter of views).
using WindowFactory = std::function<QWidget*(QWidget* parent)>;
// Views register here as they are built; a window without a factory has its
// tab and its menu entry disabled. An empty factory takes the registration
// back.
void registerDocumentWindow(int number, WindowFactory factory);
bool hasDocumentWindow(int number);
// Makes the content of window n with its registered factory (null when it
// has none).
QWidget* makeDocumentWindow(int number, QWidget* parent);

// Called with the content of a document window just before the frame
// deletes it (window switch, project close, exit), so that the views in it
// can store their settings while the project is still open. The views
// register it; null removes it.
using ContentCloser = std::function<void(QWidget* content)>;
void setContentCloser(ContentCloser closer);

// Prints the content of a document window onto printer through the view
// that prints for it: 1 printed, 0 failed (its message shown), -1 the
// content has no view that prints. The views register it; null removes it.
using ContentPrinter = std::function<int(QWidget* content, QPrinter* printer)>;
void setContentPrinter(ContentPrinter printer);
int printContent(QWidget* content, QPrinter* printer);

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
