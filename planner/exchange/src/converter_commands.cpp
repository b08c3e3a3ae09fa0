// The converter commands, offered to the program's command chain after the
// targets already in it.
#include "kelvo/converter_commands.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "converter_dialog.h"
#include "editor_problem.h"
#include "editor_read_dialog.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kvconverters.h"
#include "kvsheet.h"

namespace kelvo {

static_assert(sizeof(XKvScheme) == 2 * sizeof(ClassDef), "the scheme is both definitions");

namespace {

constexpr int kSendToEditor = 40087;
constexpr int kReadFromEditor = 40088;

// Shows the wait cursor for the life of the object.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

class CConverterCommands : public QObject, public CommandTarget {
 public:
  explicit CConverterCommands(CKelvoApp& app) : QObject(&app), app_(app) {}

  bool updateCommand(int id, CommandState& state) override {
    CPlanDoc* doc = app_.document();
    const bool open = doc && doc->isOpen();
    switch (id) {
      case cmd::kConverters:
        state.enabled = true;
        return true;
      case kSendToEditor:
      case kReadFromEditor: {
        CTableView* view = activeSheet();
        state.enabled = open && view &&
                        (id == kSendToEditor ? editorSendsKind(view->viewKind())
                                             : editorReadsKind(view->viewKind())) &&
                        !kvconv::readRegistrations(app_.profile().settings()).editor.empty();
        return true;
      }
      default:
        return false;
    }
  }

  bool onCommand(int id) override {
    switch (id) {
      case cmd::kConverters:
        return registerConverters();
      case kSendToEditor:
        return activeSheet() && sendToEditor(*activeSheet());
      case kReadFromEditor:
        return activeSheet() && readFromEditor(*activeSheet());
      default:
        return false;
    }
  }

 private:
  QWidget* window() const { return app_.mainWindow(); }
  QSettings& settings() { return app_.profile().settings(); }

  // The data sheet the user works in, if the active view is one.
  CTableView* activeSheet() const {
    CommandRouter* router = app_.router();
    auto* view = router ? dynamic_cast<CTableView*>(router->activeView()) : nullptr;
    return view && view->document() == app_.document() ? view : nullptr;
  }

  void showStatus(const QString& text) { app_.showStatusText(text); }

  XKvScheme scheme() const {
    XKvScheme s{};
    std::memcpy(&s.block[0], &app_.document()->classDef(0), sizeof s.block[0]);
    std::memcpy(&s.block[1], &app_.document()->classDef(1), sizeof s.block[1]);
    return s;
  }

  bool registerConverters() {
    const QString folder = QString::fromStdString(kvconv::programFolder());
    CConverterDlg dialog(kvconv::readRegistrations(settings()), folder, window());
    if (dialog.exec() != QDialog::Accepted) return false;
    kvconv::writeRegistrations(settings(), dialog.registrations());
    settings().sync();
    return true;
  }

  // The sheet's columns as the converter takes them.
  static std::vector<XKvEditorColumn> editorColumns(const CTableView& view) {
    std::vector<XKvEditorColumn> columns;
    for (const ColumnRecord& c : view.columns()) {
      XKvEditorColumn col{};
      col.field = c.field;
      std::memcpy(col.title, c.title, std::min(sizeof col.title - 1, sizeof c.title));
      columns.push_back(col);
    }
    return columns;
  }

  XKvRequest editorRequest(CTableView& view, XKvEditorData* data, XKvEditorColumns* columns,
                           XKvScheme* defs) {
    XKvRequest r{};
    r.path = data;
    r.viewKind = static_cast<int16_t>(kindNumber(view.viewKind()));
    r.database = &app_.document()->db();
    r.scheme = defs;
    r.columns = columns;
    r.info = view.table();
    return r;
  }

  bool sendToEditor(CTableView& view) {
    view.moveToRow(kCommitSilently);
    const QString folder = editorFolder();
    const QByteArray folderName = QFile::encodeName(folder);
    // The rows in the sheet's order; an empty sheet sends an empty sheet
    // (a null list would mean every record of the table).
    static const int32_t kNone = 0;
    std::vector<int32_t> records;
    for (uint32_t row = 0; row < view.rows().count(); ++row)
      records.push_back(static_cast<int32_t>(view.rows().record(row)));
    const std::vector<XKvEditorColumn> cols = editorColumns(view);
    XKvEditorColumns columns{static_cast<int32_t>(cols.size()), cols.data()};
    auto data = std::make_unique<XKvEditorData>();
    data->folder = folderName.constData();
    data->records = records.empty() ? &kNone : records.data();
    data->recordCount = static_cast<int32_t>(records.size());
    XKvScheme defs = scheme();
    XKvRequest request = editorRequest(view, data.get(), &columns, &defs);
    kvconv::Outcome outcome;
    {
      WaitCursor wait;
      outcome = kvconv::editorCall(settings(), kvconv::programFolder(), XKV_EXP_TB, request);
    }
    if (outcome.message) showMessage(window(), outcome.message);
    if (outcome.message || outcome.result <= 0) return false;
    const QString sent = QFile::decodeName(data->sent);
    // A cell whose text could be written only in part is named after the path.
    QString status = QDir::toNativeSeparators(sent);
    if (data->problem[0]) status += QStringLiteral("  ") + editorProblemText(data->problem, 0);
    showStatus(status);
    if (!qEnvironmentVariableIsSet("KELVO_NO_DESKTOP_OPEN"))
      QDesktopServices::openUrl(QUrl::fromLocalFile(sent));
    return true;
  }

  bool readFromEditor(CTableView& view) {
    view.moveToRow(kCommitSilently);
    if (kvconv::readRegistrations(settings()).editor.empty()) {
      showMessage(window(), XKV_MSG_NONE_REGISTERED);
      return false;
    }
    const QString folder = editorFolder();
    QStringList recent;
    for (const std::string& p : kvsheet::recentWorkbooks(QFile::encodeName(folder).toStdString()))
      recent << QFile::decodeName(QByteArray::fromStdString(p));
    CEditorReadDlg dialog(recent,
                          QString::fromStdString(kvsheet::sheetNameOf(kindNumber(view.viewKind()))),
                          folder, window());
    // A cancelled choice is the converter's -1: no message, no refresh.
    if (dialog.exec() != QDialog::Accepted || dialog.workbook().isEmpty()) return false;
    const QByteArray workbook = QFile::encodeName(dialog.workbook());

    const std::vector<XKvEditorColumn> cols = editorColumns(view);
    XKvEditorColumns columns{static_cast<int32_t>(cols.size()), cols.data()};
    auto data = std::make_unique<XKvEditorData>();
    data->workbook = workbook.constData();
    data->rebuild = dialog.rebuild() ? 1 : 0;
    data->projectStart = app_.document()->info().start;
    XKvScheme defs = scheme();
    XKvRequest request = editorRequest(view, data.get(), &columns, &defs);
    kvconv::Outcome outcome;
    {
      WaitCursor wait;
      outcome = kvconv::editorCall(settings(), kvconv::programFolder(), XKV_IMP_TB, request);
    }
    if (outcome.message) {
      showMessage(window(), outcome.message);
      // Why the workbook did not fit, for the user to mend it.
      if (data->problem[0]) showStatus(editorProblemText(data->problem, outcome.message));
    }
    if (outcome.message || outcome.result <= 0) return false;
    CPlanDoc* doc = app_.document();
    doc->setModified();
    // Records were added, changed or (rebuilt) removed through the store:
    // every view shows its data anew.
    doc->updateAllViews(kAllViews, hint::kRefresh);
    showStatus(loadString(102405).arg(data->added).arg(data->updated).arg(data->refused));
    return true;
  }

  CKelvoApp& app_;
};

}  // namespace

QString editorFolder() {
  QString folder = qEnvironmentVariable("KELVO_EDITOR_FOLDER");
  if (folder.isEmpty()) {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    folder = documents + QStringLiteral("/Kelvo 외부 편집");
  }
  QDir().mkpath(folder);
  return folder;
}

bool editorSendsKind(ViewKind kind) {
  const int k = kindNumber(kind);
  return (k >= kindNumber(ViewKind::WorkTypeSheet) && k <= kindNumber(ViewKind::ResourceSummary)) ||
         isGanttTableKind(kind);
}

bool editorReadsKind(ViewKind kind) {
  const int k = kindNumber(kind);
  return (k >= kindNumber(ViewKind::WorkTypeSheet) && k <= kindNumber(ViewKind::CrewDetails)) ||
         kind == ViewKind::GanttTable;
}

void registerConverterCommands(CKelvoApp& app) {
  CommandRouter* router = app.router();
  auto* commands = new CConverterCommands(app);
  router->setChain([chain = router->chain(), commands] {
    std::vector<CommandTarget*> targets = chain ? chain() : std::vector<CommandTarget*>{};
    targets.push_back(commands);
    return targets;
  });
}

}  // namespace kelvo
