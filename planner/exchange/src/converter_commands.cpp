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
#include "kelvo/base_view.h"
#include "kelvo/editor_source.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/strings.h"
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
        CEditorSource* source = activeSource();
        state.enabled = open && source && source->editorEnabled(id == kReadFromEditor) &&
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
        return activeSource() && sendToEditor(*activeSource());
      case kReadFromEditor:
        return activeSource() && readFromEditor(*activeSource());
      default:
        return false;
    }
  }

 private:
  QWidget* window() const { return app_.mainWindow(); }
  QSettings& settings() { return app_.profile().settings(); }

  // What serves the external editor for the active view, if anything does.
  CEditorSource* activeSource() const {
    CommandRouter* router = app_.router();
    CommandTarget* target = router ? router->activeView() : nullptr;
    if (auto* view = dynamic_cast<CBaseView*>(target); view && view->document() != app_.document())
      return nullptr;
    auto* source = dynamic_cast<CEditorSource*>(target);
    return source ? source->editorSource() : nullptr;
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

  // One call of the external editor for source: the request as the view
  // fills it, with the document's database and classification scheme.
  struct EditorCall {
    EditorRequest view;
    XKvEditorColumns columns{};
    XKvEditorData data{};
    XKvScheme scheme{};
    XKvRequest request{};
  };

  std::unique_ptr<EditorCall> editorCall(CEditorSource& source, bool read) {
    auto call = std::make_unique<EditorCall>();
    if (!source.editorRequest(read, &call->view)) return nullptr;
    EditorRequest& v = call->view;
    // An empty list sends nothing (a null list would mean every record).
    static const int32_t kNone = 0;
    if (!v.allRecords) {
      call->data.records = v.records.empty() ? &kNone : v.records.data();
      call->data.recordCount = int32_t(v.records.size());
    }
    call->columns = {int32_t(v.columns.size()), v.columns.data()};
    call->scheme = scheme();
    XKvRequest& r = call->request;
    r.path = &call->data;
    r.viewKind = v.kind;
    r.startDay = v.subKind;
    r.viewValue = reinterpret_cast<intptr_t>(v.viewValue);
    r.database = &app_.document()->db();
    r.scheme = &call->scheme;
    r.columns = v.hasColumns ? &call->columns : nullptr;
    r.info = v.table;
    return call;
  }

  kvconv::Outcome callEditor(int ordinal, XKvRequest& request) {
    WaitCursor wait;
    return kvconv::editorCall(settings(), kvconv::programFolder(), ordinal, request);
  }

  bool sendToEditor(CEditorSource& source) {
    const QByteArray folder = QFile::encodeName(editorFolder());
    std::unique_ptr<EditorCall> call = editorCall(source, false);
    if (!call) return false;
    call->data.folder = folder.constData();
    const kvconv::Outcome outcome = callEditor(XKV_EXP_TB, call->request);
    if (outcome.message) showMessage(window(), outcome.message);
    if (outcome.message || outcome.result <= 0) return false;
    const QString sent = QFile::decodeName(call->data.sent);
    if (sent.isEmpty()) return true;
    // A cell whose text could be written only in part is named after the path.
    QString status = QDir::toNativeSeparators(sent);
    if (call->data.problem[0])
      status += QStringLiteral("  ") + editorProblemText(call->data.problem, 0);
    showStatus(status);
    if (!qEnvironmentVariableIsSet("KELVO_NO_DESKTOP_OPEN"))
      QDesktopServices::openUrl(QUrl::fromLocalFile(sent));
    return true;
  }

  bool readFromEditor(CEditorSource& source) {
    if (kvconv::readRegistrations(settings()).editor.empty()) {
      showMessage(window(), XKV_MSG_NONE_REGISTERED);
      return false;
    }
    std::unique_ptr<EditorCall> call = editorCall(source, true);
    if (!call) return false;
    const QString folder = editorFolder();
    QStringList recent;
    for (const std::string& p : kvsheet::recentWorkbooks(QFile::encodeName(folder).toStdString()))
      recent << QFile::decodeName(QByteArray::fromStdString(p));
    CEditorReadDlg dialog(recent, QString::fromStdString(kvsheet::sheetNameOf(call->view.kind)),
                          folder, window());
    // A cancelled choice is the converter's -1: no message, no refresh.
    if (dialog.exec() != QDialog::Accepted || dialog.workbook().isEmpty()) return false;
    const QByteArray workbook = QFile::encodeName(dialog.workbook());
    call->data.workbook = workbook.constData();
    call->data.rebuild = dialog.rebuild() ? 1 : 0;
    call->data.projectStart = app_.document()->info().start;
    const kvconv::Outcome outcome = callEditor(XKV_IMP_TB, call->request);
    if (outcome.message) {
      showMessage(window(), outcome.message);
      // Why the workbook did not fit, for the user to mend it.
      if (call->data.problem[0]) showStatus(editorProblemText(call->data.problem, outcome.message));
    }
    if (outcome.message || outcome.result <= 0) return false;
    source.editorDataRead();
    CPlanDoc* doc = app_.document();
    doc->setModified();
    // Records were added, changed or (rebuilt) removed through the store:
    // every view shows its data anew.
    doc->updateAllViews(kAllViews, hint::kRefresh);
    showStatus(
        loadString(102405).arg(call->data.added).arg(call->data.updated).arg(call->data.refused));
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
