#include "main_frame.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "accelerators.h"
#include "child_frame.h"
#include "kelvo/shell_settings.h"
#include "kelvo/status_panes.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

constexpr int kSep = 0;

// The one main window, for the views' status texts.
CMainFrame* theFrame = nullptr;

// The local files among dropped URLs.
QStringList localFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

}  // namespace

CMainFrame::CMainFrame(CommandRouter* router, QWidget* parent)
    : QMainWindow(parent), router_(router) {
  setObjectName(QStringLiteral("KelvoWnd"));
  setWindowTitle(loadString(kStrAppTitle));
  commandBar_ = makeToolBar(
      QStringLiteral("toolbar59392"), kStrCommandBar,
      {57600, 57601, 57603, kSep,  57609, 57607, kSep,  40024, kSep, 40098, 40099, 40117, kSep,
       40096, 40097, 40103, kSep,  40102, kSep,  40087, 40088, kSep, 40080, 40083, 40082, kSep,
       40081, 40049, kSep,  40084, 40085, 40086, kSep,  40053, kSep, 40112, 57669, 57664});
  editBar_ = makeToolBar(
      QStringLiteral("toolbar40048"), kStrEditBar,
      {40000, 40001, kSep,  40002, 40003, 40004, 40005, 40006, 40007, 40008, 40009, kSep,
       40018, 40019, kSep,  40010, 40011, kSep,  40012, 40013, kSep,  40014, 40015, 40016,
       40017, kSep,  57643, 57635, 57634, 57637, kSep,  57636, 40113, kSep,  40021, 40022});
  // Each bar docked on a row of its own, as the old frame docked them.
  insertToolBarBreak(editBar_);

  projectPane_ = new QLabel(this);
  projectPane_->setObjectName(QStringLiteral("pane1"));
  projectPane_->setFixedWidth(350);
  pointPane_ = new QLabel(this);
  pointPane_->setObjectName(QStringLiteral("pane2"));
  pointPane_->setFixedWidth(180);
  statusBar()->setObjectName(QStringLiteral("statusbar59393"));
  statusBar()->addPermanentWidget(projectPane_);
  statusBar()->addPermanentWidget(pointPane_);

  auto* empty = new QWidget(this);
  empty->setAutoFillBackground(true);
  empty->setBackgroundRole(QPalette::Dark);
  setCentralWidget(empty);
  buildMenus(false, {});
  setAcceptDrops(true);
  optionState_.reopenWindow = [this] {
    if (!child_) return;
    child_->reloadWindow();
    activateFirstPane();
  };
  (new CAccelerators(this, router_))->labelActions();
  theFrame = this;
}

CMainFrame::~CMainFrame() {
  if (theFrame == this) theFrame = nullptr;
}

void setPointStatus(const QString& text) {
  if (theFrame) theFrame->pointPane()->setText(text);
}

QString pointStatus() {
  return theFrame ? theFrame->pointPane()->text() : QString();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QStringList files = localFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  emit filesDropped(files);
}

QToolBar* CMainFrame::makeToolBar(const QString& name, int captionId,
                                  std::initializer_list<int> buttons) {
  QToolBar* bar = addToolBar(loadString(captionId));
  bar->setObjectName(name);
  bar->setIconSize(QSize(16, 16));  // the icons are drawn on a square grid
  for (int id : buttons) {
    if (id == kSep) {
      bar->addSeparator();
      continue;
    }
    bar->addAction(router_->action(id));
  }
  return bar;
}

void CMainFrame::buildMenus(bool projectOpen, const QStringList& recent) {
  QMenuBar* bar = menuBar();
  bar->clear();
  auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
      if (id == kSep)
        menu->addSeparator();
      else
        menu->addAction(router_->action(id));
    }
  };
  auto top = [&](int captionId) {
    QMenu* menu = bar->addMenu(loadString(captionId));
    menu->setObjectName(QStringLiteral("menu%1").arg(captionId));
    connect(menu, &QMenu::aboutToShow, router_, &CommandRouter::refresh);
    return menu;
  };

  QMenu* file = top(kStrMenuFile);
  add(file, {57600, 57601});
  if (projectOpen) add(file, {57602, 57603, 57604});
  QMenu* external = file->addMenu(loadString(707));
  add(external, {40114});
  if (projectOpen) add(external, {40115});
  add(external, {kSep, 40116});
  if (projectOpen) add(file, {kSep, 40117, kSep, 57607, 57609, 40023});
  file->addSeparator();
  for (int i = 0; i < recent.size() && i < 4; ++i) {
    QAction* act = router_->action(cmd::kRecentFirst + i);
    act->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recent[i]).fileName()));
    act->setToolTip(recent[i]);
    file->addAction(act);
  }
  if (!recent.isEmpty()) file->addSeparator();
  add(file, {57665});

  if (projectOpen) {
    QMenu* edit = top(701);
    add(edit, {57643, kSep,  57635, 57634, 57637, 57632, kSep,  40025, 40021, 40022,
               kSep,  57636, 40113, kSep,  40024, 40086, 40087, 40088, kSep,  40019});
  }
  QMenu* view = top(702);
  add(view, {59392, 40048, 59393});
  if (projectOpen) {
    add(view, {kSep, 40053, kSep});
    QMenu* windows = view->addMenu(loadString(708));
    for (int id = cmd::kWindowFirst; id <= cmd::kWindowLast; ++id)
      windows->addAction(router_->action(id));
    QMenu* define = top(703);
    add(define, {40103, 40096, 40097, 40105, 40100, 40106, 40101, kSep, 40104});
    QMenu* process = top(704);
    add(process, {40080, kSep, 40081, 40049, kSep, 40082, 40083, 40084, 40085, kSep, 40089});
  }
  QMenu* tools = top(705);
  add(tools, {40102, 40112});
  QMenu* help = top(706);
  add(help, {57670, 40118, kSep, 57664});
  router_->refresh();
}

void CMainFrame::setProjectStatus(const QString& text) {
  projectPane_->setText(text);
}

void CMainFrame::showDocumentWindow(int number) {
  if (!child_) {
    child_ = new CChildFrame(this);
    setCentralWidget(child_);
    connect(child_, &CChildFrame::windowRequested, this, &CMainFrame::windowRequested);
  }
  if (child_->currentWindow() == number && optionBar_) return;
  if (optionBar_) {
    removeToolBar(optionBar_);
    delete optionBar_;
  }
  optionBar_ = makeOptionBar(number, &optionState_, router_, this);
  addToolBar(Qt::TopToolBarArea, optionBar_);
  insertToolBarBreak(optionBar_);
  child_->showWindow(number);
  activateFirstPane();
  router_->refresh();
}

void CMainFrame::activateFirstPane() {
  const QList<QAbstractScrollArea*> list = panes();
  if (list.isEmpty()) return;
  // The focus reaches the view when the window is active (now, or when a
  // dialog that is open closes); the view is the commands' first target at
  // once, so that printing and finding need no click.
  list.first()->setFocus(Qt::OtherFocusReason);
  if (auto* view = dynamic_cast<CommandTarget*>(list.first())) router_->setActiveView(view);
}

void CMainFrame::closeDocumentFrame() {
  pointPane_->clear();  // nothing is under the mouse without a view
  // The views are going: none of them answers for commands any more.
  router_->setActiveView(nullptr);
  if (optionBar_) {
    removeToolBar(optionBar_);
    delete optionBar_;
    optionBar_ = nullptr;
  }
  if (child_) {
    // The views hear of it now, while the project is still open; the frame
    // itself is deleted once control is back in the event loop, as the
    // command may have come from one of its views.
    child_->closeContent();
    auto* empty = new QWidget(this);
    empty->setAutoFillBackground(true);
    empty->setBackgroundRole(QPalette::Dark);
    setCentralWidget(empty);
    child_ = nullptr;
  }
}

int CMainFrame::currentWindow() const {
  return child_ ? child_->currentWindow() : -1;
}

// The panes of the current document window (its views), in creation order.
QList<QAbstractScrollArea*> CMainFrame::panes() const {
  QList<QAbstractScrollArea*> list;
  if (child_ && child_->content()) {
    if (auto* single = qobject_cast<QAbstractScrollArea*>(child_->content())) list << single;
    list << child_->content()->findChildren<QAbstractScrollArea*>();
  }
  return list;
}

void CMainFrame::focusPane(int step) {
  const QList<QAbstractScrollArea*> list = panes();
  if (list.isEmpty()) return;
  int at = -1;
  for (int i = 0; i < list.size(); ++i)
    if (list[i]->isAncestorOf(focusWidget()) || list[i] == focusWidget()) at = i;
  const int next = at < 0 ? 0 : int((at + step + list.size()) % list.size());
  list[next]->setFocus(Qt::OtherFocusReason);
}

bool CMainFrame::updateCommand(int id, CommandState& state) {
  if (id == cmd::kNextPane || id == cmd::kPreviousPane) {
    state.enabled = panes().size() > 1;
    return true;
  }
  QWidget* target = nullptr;
  if (id == cmd::kCommandBar) target = commandBar_;
  if (id == cmd::kEditBar) target = editBar_;
  if (id == cmd::kStatusBar) target = statusBar();
  if (!target) return false;
  state.enabled = state.checkable = true;
  state.checked = !target->isHidden();
  return true;
}

bool CMainFrame::onCommand(int id) {
  if (id == cmd::kNextPane || id == cmd::kPreviousPane) {
    focusPane(id == cmd::kNextPane ? 1 : -1);
    return true;
  }
  QWidget* target = id == cmd::kCommandBar ? static_cast<QWidget*>(commandBar_)
                    : id == cmd::kEditBar  ? static_cast<QWidget*>(editBar_)
                                           : statusBar();
  target->setHidden(!target->isHidden());
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (canClose && !canClose()) {
    event->ignore();
    return;
  }
  if (storePlacement) storePlacement(placementText(*this));
  event->accept();
}

QString placementText(const QMainWindow& window) {
  WindowPlacement p;
  const bool maximised = window.isMaximized();
  p.flags = maximised ? kPlacementRestoreToMaximized : 0;
  p.showCmd = window.isMinimized() ? kShowMinimized : maximised ? kShowMaximized : kShowNormal;
  p.normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  return formatWindowPos(p);
}

void applyPlacement(QMainWindow& window, const QString& text) {
  const auto p = parseWindowPos(text);
  if (!p) {
    // Maximised, over a normal rectangle of three quarters of the screen to
    // restore to (and to store at close).
    const QRect screen = window.screen() ? window.screen()->availableGeometry() : QRect();
    if (screen.isValid()) {
      const QSize size = screen.size() * 3 / 4;
      window.setGeometry(QRect(screen.center() - QPoint(size.width(), size.height()) / 2, size));
    }
    window.setWindowState(Qt::WindowMaximized);
    return;
  }
  window.setGeometry(p->normal);
  if (p->showCmd == kShowMaximized ||
      (p->showCmd == kShowMinimized && p->flags & kPlacementRestoreToMaximized))
    window.setWindowState(Qt::WindowMaximized);
  else
    window.setWindowState(Qt::WindowNoState);
}

}  // namespace kelvo
