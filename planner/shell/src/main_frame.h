// The main window: menus (one set without a project, one with), the
// command and edit toolbars, the status bar with its three panes, the window
// option bar and the document frame.
#ifndef KELVO_MAIN_FRAME_H_
#define KELVO_MAIN_FRAME_H_

#include <QMainWindow>
#include <functional>

#include "kelvo/commands.h"
#include "option_bar.h"

class QAbstractScrollArea;
class QLabel;
class QToolBar;

namespace kelvo {

class CChildFrame;

class CMainFrame : public QMainWindow, public CommandTarget {
  Q_OBJECT
 public:
  explicit CMainFrame(CommandRouter* router, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Menu 129 when a project is open, else 128; recent lists the recent files.
  void buildMenus(bool projectOpen, const QStringList& recent);

  // Pane 1: project code and name; pane 2: what the view reports at the mouse
  // (views set it through setPointStatus, kelvo/status_panes.h).
  void setProjectStatus(const QString& text);
  QLabel* projectPane() const { return projectPane_; }
  QLabel* pointPane() const { return pointPane_; }

  // Shows document window n in the document frame (made if there is none),
  // with its option bar.
  void showDocumentWindow(int number);
  // Removes the document frame and the option bar (no project open).
  void closeDocumentFrame();
  CChildFrame* childFrame() const { return child_; }
  int currentWindow() const;
  QToolBar* optionBar() const { return optionBar_; }
  QToolBar* commandBar() const { return commandBar_; }
  QToolBar* editBar() const { return editBar_; }
  OptionBarState& optionState() { return optionState_; }

  // Asked when the window is about to close; false keeps it open.
  std::function<bool()> canClose;
  // Told the placement text ("WindowPos") just before the window closes.
  std::function<void(const QString&)> storePlacement;

  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

 signals:
  void windowRequested(int number);
  // Local files were dropped on the window.
  void filesDropped(const QStringList& files);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QList<QAbstractScrollArea*> panes() const;
  // Gives the first pane of the current window the focus and makes it the
  // active view.
  void activateFirstPane();
  // Moves the focus to the next (step 1) or previous (-1) pane.
  void focusPane(int step);
  QToolBar* makeToolBar(const QString& name, int captionId, std::initializer_list<int> buttons);

  CommandRouter* router_;
  QToolBar* commandBar_ = nullptr;
  QToolBar* editBar_ = nullptr;
  QToolBar* optionBar_ = nullptr;
  QLabel* projectPane_ = nullptr;
  QLabel* pointPane_ = nullptr;
  CChildFrame* child_ = nullptr;
  OptionBarState optionState_;
};

// The main window's placement as "WindowPos" stores it.
QString placementText(const QMainWindow& window);
// Applies a stored "WindowPos" text (nothing stored or unreadable: maximised).
// A show command given at start other than normal wins over the stored one.
void applyPlacement(QMainWindow& window, const QString& text);

}  // namespace kelvo

#endif  // KELVO_MAIN_FRAME_H_
