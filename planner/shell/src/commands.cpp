#include "kelvo/commands.h"

#include <QAction>
#include <QRegularExpression>

#include "kelvo/strings.h"
#include "xjorlib/command_icons.h"

namespace kelvo {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent) {}

QAction* CommandRouter::action(int id) {
  if (QAction* existing = actions_.value(id)) return existing;
  const QString text = loadString(id);
  auto* act = new QAction(text, this);
  act->setObjectName(QStringLiteral("cmd%1").arg(id));
  act->setData(id);
  act->setIcon(xjor::commandIcon(id));  // toolbars and menus alike
  act->setToolTip(plainCommandText(text));
  act->setStatusTip(plainCommandText(text));  // fly-by help in the message pane
  act->setEnabled(false);
  connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
  actions_.insert(id, act);
  return act;
}

std::vector<CommandTarget*> CommandRouter::targets() const {
  std::vector<CommandTarget*> list;
  if (activeView_) list.push_back(activeView_);
  if (chain_)
    for (CommandTarget* target : chain_()) list.push_back(target);
  return list;
}

CommandState CommandRouter::state(int id) const {
  CommandState st;
  for (CommandTarget* target : targets())
    if (target && target->updateCommand(id, st)) return st;
  return CommandState{};
}

bool CommandRouter::dispatch(int id) {
  for (CommandTarget* target : targets()) {
    if (!target) continue;
    CommandState st;
    if (!target->updateCommand(id, st)) continue;
    const bool done = st.enabled && target->onCommand(id);
    refresh();
    return done;
  }
  return false;
}

void CommandRouter::setActiveView(CommandTarget* view) {
  if (activeView_ == view) return;
  activeView_ = view;
  refreshSoon();
}

void CommandRouter::refreshSoon() {
  if (refreshQueued_) return;
  refreshQueued_ = true;
  QMetaObject::invokeMethod(this, &CommandRouter::refresh, Qt::QueuedConnection);
}

void CommandRouter::refresh() {
  refreshQueued_ = false;
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    const CommandState st = state(it.key());
    QAction* act = it.value();
    act->setEnabled(st.enabled);
    act->setCheckable(st.checkable);
    if (st.checkable) act->setChecked(st.checked);
  }
}

QString plainCommandText(const QString& menuText) {
  QString text = menuText;
  text.remove(QRegularExpression(QStringLiteral("\\(&?[A-Za-z]\\)")));
  text.remove('&');
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  return text.trimmed();
}

}  // namespace kelvo
