#include "kelvo/definition_commands.h"

#include "batch_change_dialog.h"
#include "calendar_dialog.h"
#include "date_format_dialog.h"
#include "digits_dialog.h"
#include "field_index_remap.h"
#include "file_fields_dialog.h"
#include "kelvo/commands.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/map_model.h"
#include "kelvo/plan_doc.h"
#include "kelvo/table_view.h"
#include "kelvo/wbs_tree.h"
#include "user_items_dialog.h"

namespace kelvo {
namespace {

constexpr int kBatchChange = 40086;
constexpr int kMapItemCombo = 10502, kMapModeCombo = 10503;

class CDefinitionCommands : public CommandTarget {
 public:
  explicit CDefinitionCommands(CKelvoApp& app) : app_(app) {}

  bool updateCommand(int id, CommandState& state) override {
    const bool open = app_.document() && app_.document()->isOpen();
    switch (id) {
      case cmd::kCalendar:
      case cmd::kFileFields:
      case cmd::kDigits:
      case cmd::kDateFormat:
      case cmd::kUserSummaryItems:
        state.enabled = open;
        return true;
      case kBatchChange:
        state.enabled = open && activeSheet();
        return true;
      default:
        return false;
    }
  }

  bool onCommand(int id) override {
    CPlanDoc* doc = app_.document();
    if (!doc || !doc->isOpen()) return false;
    switch (id) {
      case cmd::kCalendar:
        return settle<CCalendarDlg>(*doc);
      case cmd::kDateFormat:
        return settle<CDateFormatDlg>(*doc);
      case cmd::kDigits:
        return settle<CDigitsDlg>(*doc);
      case cmd::kUserSummaryItems:
        return settle<CUserItemsDlg>(*doc);
      case cmd::kFileFields: {
        CFileFieldsDlg dialog(*doc, app_.mainWindow());
        if (dialog.exec() != QDialog::Accepted) return false;
        // The map's remembered displayed item names an activity field in
        // the activity mode.
        if (app_.optionBarChoice(kMapModeCombo) == int(MapMode::Activities) &&
            app_.hasOptionBarChoice(kMapItemCombo))
          app_.setOptionBarChoice(
              kMapItemCombo,
              remappedFieldChoice(dialog.fieldMap(), app_.optionBarChoice(kMapItemCombo)));
        app_.router()->refresh();
        return true;
      }
      case kBatchChange: {
        CTableView* sheet = activeSheet();
        if (!sheet) return false;
        CBatchChangeDlg dialog(*doc, *sheet, app_.mainWindow());
        dialog.exec();
        app_.router()->refresh();
        return true;
      }
      default:
        return false;
    }
  }

 private:
  // Runs a definition dialog on the open project; menus and toolbars follow
  // what its OK changed.
  template <class Dialog>
  bool settle(CPlanDoc& doc) {
    Dialog dialog(doc, app_.mainWindow());
    const bool done = dialog.exec() == QDialog::Accepted;
    if (done) app_.router()->refresh();
    return done;
  }

  // The active view when it is a sheet of this project's records; with the
  // classification tree active, the sheet beside it, which lists the
  // records the tree's node holds.
  CTableView* activeSheet() const {
    CommandTarget* view = app_.router()->activeView();
    auto* sheet = dynamic_cast<CTableView*>(view);
    if (auto* tree = dynamic_cast<CWbsTree*>(view)) sheet = tree->sheet();
    return sheet && sheet->document() == app_.document() && sheet->table() ? sheet : nullptr;
  }

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
