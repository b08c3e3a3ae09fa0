#include "kelvo/definition_commands.h"

#include "calendar_dialog.h"
#include "kelvo/commands.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "main_frame.h"

namespace kelvo {
namespace {

class CDefinitionCommands : public CommandTarget {
 public:
  explicit CDefinitionCommands(CKelvoApp& app) : app_(app) {}

  bool updateCommand(int id, CommandState& state) override {
    if (id != cmd::kCalendar) return false;
    state.enabled = app_.document() && app_.document()->isOpen();
    return true;
  }

  bool onCommand(int id) override {
    CPlanDoc* doc = app_.document();
    if (id != cmd::kCalendar || !doc || !doc->isOpen()) return false;
    CCalendarDlg dialog(*doc, app_.mainFrame());
    const bool done = dialog.exec() == QDialog::Accepted;
    if (done) app_.router()->refresh();
    return done;
  }

 private:
  CKelvoApp& app_;
};

}  // namespace

void registerDefinitionCommands(CKelvoApp& app) {
  CommandRouter* router = app.router();
  auto* commands = new CDefinitionCommands(app);
  router->setChain([chain = router->chain(), commands] {
    std::vector<CommandTarget*> targets = chain ? chain() : std::vector<CommandTarget*>{};
    targets.push_back(commands);
    return targets;
  });
}

}  // namespace kelvo
