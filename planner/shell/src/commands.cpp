#include "kelvo/commands.h"

#include <QAction>
#include <QRegularExpression>

#include "kelvo/strings.h"

namespace kelvo {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent) {}

QAction* CommandRouter::action(int id) {
  if (QAction* existing = actions_.value(id)) return existing;
  const QString text = loadString(id);
  auto* act = new QAction(text, this);
  act->setObjectName(QStringLiteral("cmd%1").arg(id));
  act->setData(id);
  act->setToolTip(plainCommandText(text));
  act->setEnabled(false);
  connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
  actions_.insert(id, act);
  return act;
}

CommandState CommandRouter::state(int id) const {
  CommandState st;
  if (!chain_) return st;
  for (CommandTarget* target : chain_())
    if (target && target->updateCommand(id, st)) return st;
  return CommandState{};
}

bool CommandRouter::dispatch(int id) {
  if (!chain_) return false;
  for (CommandTarget* target : chain_()) {
    if (!target) continue;
    CommandState st;
    if (!target->updateCommand(id, st)) continue;
    const bool done = st.enabled && target->onCommand(id);
    refresh();
    return done;
  }
  return false;
}

void CommandRouter::refresh() {
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
