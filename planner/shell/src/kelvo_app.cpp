#include "kelvo/kelvo_app.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrinter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "child_frame.h"
#include "class_system_dialog.h"
#include "environment_dialog.h"
#include "kelvo/format_store.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/strings.h"
#include "kelvo/view_kind.h"
#include "main_frame.h"
#include "option_bar.h"
#include "password_dialogs.h"
#include "progress_guide_dialog.h"
#include "project_info_dialog.h"
#include "project_open_dialog.h"
#include "schedule_dialog.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

const QString kRecentSection = QStringLiteral("Recent File List");
constexpr int kRecentMax = 4;
const char* const kTechUrl = "http://www.jorsoft.co.kr/support";
const char* const kWebUrl = "http://www.jorsoft.co.kr";
const char* const kMailUrl = "mailto:support@jorsoft.co.kr";

// The message for the engine's error word, or `fallback` when it is clear.
int engineMessage(int fallback) {
  const int code = xGetDbError();
  return code >= 21000 && code <= 21025 ? code : fallback;
}

int firstWindow(int iniView) {
  // While the window "IniView" names has no view yet, the project opens on
  // the data sheet or the first window that has one, not on an empty frame.
  if (hasDocumentWindow(iniView)) return iniView;
  if (hasDocumentWindow(8)) return 8;
  for (int n = 0; n < kDocumentWindows; ++n)
    if (hasDocumentWindow(n)) return n;
  return iniView;
}

// Qt's own dialogs and buttons (print, preview, file and folder dialogs,
// Yes/No/Cancel) in Korean, as the rest of the program. Once per process.
void installKoreanQtTexts() {
  static const bool installed = [] {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete translator;
      return false;
    }
    return QCoreApplication::installTranslator(translator);
  }();
  (void)installed;
}

}  // namespace

CKelvoApp::CKelvoApp(AppOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), router_(new CommandRouter(this)) {
  if (options_.programFolder.isEmpty()) options_.programFolder = programFolder();
  if (!options_.programFolder.endsWith('/')) options_.programFolder += '/';
  profile_ = options_.profilePath.isEmpty() ? std::make_unique<CProfile>()
                                            : std::make_unique<CProfile>(options_.profilePath);
  router_->setChain([this] { return std::vector<CommandTarget*>{frame_.get(), this}; });
}

CKelvoApp::~CKelvoApp() {
  if (options_.singleInstance) xSetRunningProcessHandler(nullptr, nullptr);
  // The views go before the project they show: the frame's content closer
  // still reaches the document through them.
  frame_.reset();
  doc_.reset();
  if (refHandle_ >= 0) xCloseFile(&refHandle_);
}

bool CKelvoApp::startup(const QStringList& arguments) {
  installKoreanQtTexts();
  // Files named on the command line are taken from the folder Kelvo was
  // started in, before the folder settings change the current directory.
  QStringList args;
  for (const QString& arg : arguments) args << QFileInfo(arg).absoluteFilePath();
  if (options_.singleInstance) {
    if (xIsRunningProcess("KelvoWnd")) return false;
    // A later start hands its command line over: open the file it names.
    xSetRunningProcessHandler(
        [](const char* commandLine, void* context) {
          const QString first = QString::fromUtf8(commandLine).section('\n', 0, 0);
          if (!first.isEmpty()) static_cast<CKelvoApp*>(context)->openFile(first);
        },
        this);
  }

  frame_ = std::make_unique<CMainFrame>(router_);
  frame_->canClose = [this] { return closeProject(); };
  frame_->storePlacement = [this](const QString& text) {
    profile_->writeString(QStringLiteral("Settings"), QStringLiteral("WindowPos"), text);
  };
  connect(frame_.get(), &CMainFrame::filesDropped, this, [this](const QStringList& files) {
    // One project at a time: the first file dropped is the one opened.
    if (!files.isEmpty()) openFile(files.first());
  });
  connect(frame_.get(), &CMainFrame::windowRequested, this, [this](int n) {
    if (!requestWindow(n) && frame_->childFrame()) frame_->childFrame()->restoreTab();
  });

  // First start: the Form folder gets the Default format files shipped
  // beside the program.
  const bool firstStart =
      profile_->getString(QStringLiteral("Folders"), QStringLiteral("Form")).isEmpty();
  settings_ = loadShellSettings(*profile_);
  if (firstStart)
    seedFormFolder(QFile::encodeName(options_.programFolder + "Form").toStdString(),
                   QFile::encodeName(settings_.folders[kFolderForm]).toStdString());

  const QByteArray ref = QFile::encodeName(options_.programFolder + "Kelvo.ref");
  if (!xOpenRef(&refHandle_, ref.constData())) {
    refHandle_ = -1;
    xHideSplashScreen();
    showMessage(frame_.get(), kStrMsgNoRefFile);
    return false;
  }

  defaultFont_ = LOGFONT{};
  defaultFont_.lfHeight = -32;
  defaultFont_.lfCharSet = 1;
  const QByteArray face = xjor::toCp949(QStringLiteral("굴림체"));
  std::memcpy(defaultFont_.lfFaceName, face.constData(),
              std::min<size_t>(face.size(), LF_FACESIZE - 1));

  for (int i = 1; i <= kRecentMax; ++i) {
    const QString file = profile_->getString(kRecentSection, QStringLiteral("File%1").arg(i));
    if (!file.isEmpty()) recent_ << file;
  }
  doc_ = std::make_unique<CPlanDoc>(settings_.folders[kFolderTemp], refHandle_);
  doc_->setMessagePresenter(
      [](int message) { showMessage(QApplication::activeWindow(), message); });
  frame_->optionState().flags = &settings_.flags;
  frame_->optionState().summarySchedulesAllowed = [this] { return doc_->openSummary() != 0; };
  connect(doc_.get(), &CPlanDoc::stateChanged, this, &CKelvoApp::refreshStatus);
  frame_->buildMenus(false, recent_);

  applyPlacement(*frame_,
                 profile_->getString(QStringLiteral("Settings"), QStringLiteral("WindowPos")));
  frame_->show();
  if (options_.splash) {
    // After the main window is up, so that the splash shows above it.
    const QByteArray picture = QFile::encodeName(options_.programFolder + "Dizire.zur");
    xShowSplashScreen(frame_.get(), picture.constData(), &splashFlag_);
  }

  if (args.isEmpty()) {
    if (!recent_.isEmpty())
      openFile(recent_.first());
    else
      newProject();
  } else {
    openFile(args.first());
  }
  return true;
}

void CKelvoApp::shutdown() {
  storeFlags(*profile_, settings_.flags);
  if (doc_) doc_->closeProject();
  const QByteArray temp = QFile::encodeName(settings_.folders[kFolderTemp]);
  if (!temp.isEmpty()) xDeleteAllTemp(temp.constData(), nullptr);
}

bool CKelvoApp::openFile(const QString& path) {
  PrjInfo info;
  const QByteArray file = QFile::encodeName(path);
  if (!xGetPrjInfo(file.constData(), &info)) {
    showMessage(frame_.get(), kStrMsgBadFile);
    return false;
  }
  if (!hasNoPassword(info)) {
    CPasswordCheckDlg check(info, frame_.get());
    if (check.exec() != QDialog::Accepted) return false;
  }
  if (doc_->isOpen() && !offerSave()) return false;
  xSetDbError(0);
  // A large project takes seconds to read; the dialog shows itself only
  // when the reading lasts long enough to be noticed.
  QProgressDialog reading(QStringLiteral("프로젝트 파일을 읽는 중입니다..."), QString(), 0, 1000,
                          frame_.get());
  reading.setWindowModality(Qt::WindowModal);
  reading.setMinimumDuration(400);
  reading.setAutoReset(false);
  const bool opened = doc_->openProject(QFileInfo(path).absoluteFilePath(), [&](double fraction) {
    reading.setValue(int(fraction * 1000));
  });
  reading.close();
  if (!opened) {
    showMessage(frame_.get(), engineMessage(kStrMsgBadFile));
    return false;
  }
  addRecent(doc_->path());
  projectOpened();
  return true;
}

int CKelvoApp::printToPdf(int window, const QString& outArg, const QString& fileArg) {
  // Paths as typed are relative to the caller's folder; loading the settings
  // below moves the working folder to the user's folders.
  const QString out = QFileInfo(outArg).absoluteFilePath();
  const QString file = QFileInfo(fileArg).absoluteFilePath();
  // Every message the run would show goes to standard error instead; a
  // question is answered No.
  setMessageHook([](int, const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return int(QMessageBox::No);
  });
  const auto fail = [](int message) {
    showMessage(nullptr, message);
    return 1;
  };
  settings_ = loadShellSettings(*profile_);
  const QByteArray ref = QFile::encodeName(options_.programFolder + "Kelvo.ref");
  if (!xOpenRef(&refHandle_, ref.constData())) {
    refHandle_ = -1;
    return fail(kStrMsgNoRefFile);
  }
  doc_ = std::make_unique<CPlanDoc>(settings_.folders[kFolderTemp], refHandle_);
  doc_->setMessagePresenter([](int message) { showMessage(nullptr, message); });
  PrjInfo info;
  if (!xGetPrjInfo(QFile::encodeName(file).constData(), &info)) return fail(kStrMsgBadFile);
  // Nobody is there to type a password.
  if (!hasNoPassword(info)) return fail(kStrMsgWrongPassword);
  xSetDbError(0);
  if (!doc_->openProject(file)) return fail(engineMessage(kStrMsgBadFile));
  applyDefaultLayouts();
  std::unique_ptr<QWidget> content(
      window >= 0 && window < kDocumentWindows ? makeDocumentWindow(window, nullptr) : nullptr);
  content->resize(1200, 800);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(out);
  const int printed = content ? printContent(content.get(), &printer) : -1;
  if (printed < 0) {
    std::fprintf(stderr, "Kelvo: window %d does not print\n", window);
    return 1;
  }
  content.reset();
  doc_->closeProject();
  if (printed == 1 && !QFileInfo(out).exists()) {
    std::fprintf(stderr, "Kelvo: %s cannot be written\n", out.toLocal8Bit().constData());
    return 1;
  }
  return printed == 1 ? 0 : 1;
}

bool CKelvoApp::openChosenProject() {
  CProjectOpenDlg dialog(settings_.folders[kFolderProject], doc_->path(), frame_.get());
  const int result = dialog.exec();
  if (result == QDialog::Accepted) return openFile(dialog.selectedPath());
  if (result != CProjectOpenDlg::kChooseFile) return false;
  const QString path = QFileDialog::getOpenFileName(frame_.get(), loadString(1002),
                                                    settings_.folders[kFolderProject],
                                                    QStringLiteral("Kelvo 파일 (*.kvp)"));
  return !path.isEmpty() && openFile(path);
}

bool CKelvoApp::newProject() {
  CProjectInfoDlg dialog(newProjectInfo(), frame_.get());
  if (dialog.exec() != QDialog::Accepted) return false;
  if (!closeProject()) return false;
  if (!doc_->newProject(dialog.info())) {
    showMessage(frame_.get(), engineMessage(21000));
    projectClosed();
    return false;
  }
  projectOpened();
  return true;
}

bool CKelvoApp::offerSave() {
  if (!doc_->isModified()) return true;
  const QString text = loadString(726).arg(doc_->title());
  const int answer = askQuestionText(frame_.get(), text, false, true);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) return saveAs(doc_->path());
  return true;
}

bool CKelvoApp::closeProject() {
  if (!doc_ || !doc_->isOpen()) return true;
  if (!offerSave()) return false;
  // The views go before the project they show.
  frame_->closeDocumentFrame();
  doc_->closeProject();
  projectClosed();
  return true;
}

bool CKelvoApp::saveAs(const QString& path) {
  QString target = path;
  if (target.isEmpty()) {
    const QString folder = settings_.folders[kFolderProject];
    target = QFileDialog::getSaveFileName(frame_.get(), loadString(57604).remove("(&A)..."), folder,
                                          QStringLiteral("Kelvo 파일 (*.kvp)"));
    if (target.isEmpty()) return false;
    if (!target.endsWith(QStringLiteral(".kvp"), Qt::CaseInsensitive)) target += ".kvp";
  }
  xSetDbError(0);
  if (!doc_->saveProject(QFileInfo(target).absoluteFilePath())) {
    showMessage(frame_.get(), engineMessage(21000));
    return false;
  }
  addRecent(doc_->path());
  frame_->buildMenus(true, recent_);
  return true;
}

QWidget* CKelvoApp::mainWindow() const {
  return frame_.get();
}

void CKelvoApp::showStatusText(const QString& text) {
  if (frame_) frame_->statusBar()->showMessage(text);
}

int CKelvoApp::optionBarChoice(int id, int fallback) const {
  return frame_ ? frame_->optionState().comboChoice.value(id, fallback) : fallback;
}

bool CKelvoApp::hasOptionBarChoice(int id) const {
  return frame_ && frame_->optionState().comboChoice.contains(id);
}

void CKelvoApp::setOptionBarChoice(int id, int choice) {
  if (frame_) showComboChoice(&frame_->optionState(), frame_->optionBar(), id, choice);
}

void CKelvoApp::setGanttChoiceChanged(std::function<void()> changed) {
  if (frame_) frame_->optionState().ganttChoiceChanged = std::move(changed);
}

bool CKelvoApp::requestWindow(int number) {
  if (!doc_ || !doc_->isOpen() || number < 0 || number >= kDocumentWindows) return false;
  if (!hasDocumentWindow(number)) return false;
  if (frame_->currentWindow() == number) return true;
  // The period sheet, the summary sheet and the user report show summary
  // data: without an open summary the chooser is offered first.
  if (showsSummaryData(number) && doc_->openSummary() == 0) {
    router_->dispatch(cmd::kOtherSummary);
    if (doc_->openSummary() == 0) return false;
  }
  frame_->showDocumentWindow(number);
  return true;
}

void CKelvoApp::applyDefaultLayouts() {
  if (!doc_ || !doc_->isOpen()) return;
  applyDefaultFormats(&doc_->db().opt,
                      QFile::encodeName(settings_.folders[kFolderForm]).toStdString(), nullptr,
                      &doc_->db().objects);
}

void CKelvoApp::projectOpened() {
  applyDefaultLayouts();
  frame_->buildMenus(true, recent_);
  frame_->showDocumentWindow(firstWindow(settings_.iniView));
  refreshStatus();
}

void CKelvoApp::projectClosed() {
  frame_->closeDocumentFrame();
  frame_->buildMenus(false, recent_);
  refreshStatus();
}

void CKelvoApp::refreshStatus() {
  if (!frame_) return;
  frame_->setProjectStatus(doc_ ? doc_->statusText() : QString());
  QString title = loadString(kStrAppTitle);
  if (doc_ && doc_->isOpen()) title += QStringLiteral(" - ") + doc_->title();
  if (doc_ && doc_->isModified()) title += '*';
  frame_->setWindowTitle(title);
  router_->refresh();
}

void CKelvoApp::addRecent(const QString& path) {
  recent_.removeAll(path);
  recent_.prepend(path);
  while (recent_.size() > kRecentMax) recent_.removeLast();
  for (int i = 0; i < kRecentMax; ++i)
    profile_->writeString(kRecentSection, QStringLiteral("File%1").arg(i + 1), recent_.value(i));
}

bool CKelvoApp::updateCommand(int id, CommandState& state) {
  const bool open = doc_ && doc_->isOpen();
  switch (id) {
    case cmd::kNew:
    case cmd::kOpen:
    case cmd::kUserEnvironment:
    case cmd::kProgressGuide:
    case cmd::kOpenExternal:
    case cmd::kExit:
    case cmd::kAbout:
    case cmd::kTechSupport:
      state.enabled = true;
      return true;
    case cmd::kClose:
    case cmd::kSave:
    case cmd::kSaveAs:
    case cmd::kProjectInfo:
    case cmd::kPassword:
    case cmd::kClassSystem:
    case cmd::kOptionBarClassSystem:
    case cmd::kScheduleAnalysis:
    case cmd::kSaveExternal:
      state.enabled = open;
      return true;
    case cmd::kShapesInFront:
    case cmd::kLongCrosshair:
      state.enabled = state.checkable = true;
      state.checked = settings_.flags &
                      (id == cmd::kShapesInFront ? flags::kShapesInFront : flags::kLongCrosshair);
      return true;
    default:
      break;
  }
  if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast) {
    state.enabled = id - cmd::kRecentFirst < recent_.size();
    return true;
  }
  if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast) {
    const int n = id - cmd::kWindowFirst;
    state.enabled = open && hasDocumentWindow(n);
    state.checkable = true;
    state.checked = open && frame_->currentWindow() == n;
    return true;
  }
  return false;
}

bool CKelvoApp::onCommand(int id) {
  if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast)
    return openFile(recent_.value(id - cmd::kRecentFirst));
  if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast)
    return requestWindow(id - cmd::kWindowFirst);
  switch (id) {
    case cmd::kNew:
      return newProject();
    case cmd::kOpen:
      return openChosenProject();
    case cmd::kOpenExternal:
      return openExternal();
    case cmd::kSaveExternal:
      return saveExternal();
    case cmd::kUserEnvironment: {
      CEnvironmentDlg dialog(settings_, frame_.get());
      if (dialog.exec() != QDialog::Accepted) return false;
      settings_ = dialog.settings();
      storeEnvironment(*profile_, settings_);
      return true;
    }
    case cmd::kProgressGuide: {
      CProgressGuideDlg dialog(
          doc_->isOpen() ? doc_->info().stage : -1,
          [this](int command) { return router_->state(command).enabled; }, frame_.get());
      if (dialog.exec() != QDialog::Accepted || dialog.command() == 0) return false;
      return router_->dispatch(dialog.command());
    }
    case cmd::kClose:
      return closeProject();
    case cmd::kSave:
      return saveAs(doc_->path());
    case cmd::kSaveAs:
      return saveAs(QString());
    case cmd::kExit:
      return frame_->close();
    case cmd::kAbout: {
      const QByteArray picture = QFile::encodeName(options_.programFolder + "Dizire.zur");
      xShowAboutBox(frame_.get(), picture.constData(), kWebUrl, kMailUrl);
      return true;
    }
    case cmd::kTechSupport: {
      const QByteArray url =
          profile_->getString(QStringLiteral("Settings"), QStringLiteral("TechURL"), kTechUrl)
              .toUtf8();
      return xGotoURL(url.constData()) != 0;
    }
    case cmd::kShapesInFront:
      settings_.flags ^= flags::kShapesInFront;
      return true;
    case cmd::kLongCrosshair:
      settings_.flags ^= flags::kLongCrosshair;
      return true;
    default:
      return runDocumentCommand(id);
  }
}

bool CKelvoApp::runDocumentCommand(int id) {
  if (!doc_->isOpen()) return false;
  switch (id) {
    case cmd::kProjectInfo: {
      CProjectInfoDlg dialog(doc_->info(), frame_.get());
      if (dialog.exec() != QDialog::Accepted) return false;
      doc_->setProjectInfo(dialog.info());
      return true;
    }
    case cmd::kPassword: {
      CPasswordDlg dialog(doc_->info(), frame_.get());
      if (dialog.exec() != QDialog::Accepted) return false;
      doc_->setProjectInfo(dialog.info());
      return true;
    }
    case cmd::kScheduleAnalysis: {
      CScheduleDlg dialog(doc_.get(), frame_.get());
      if (dialog.exec() != QDialog::Accepted) return false;
      doc_->setModified();
      doc_->updateAllViews(kAllViews, hint::kDatesChanged);
      refreshStatus();
      return true;
    }
    case cmd::kClassSystem:
    case cmd::kOptionBarClassSystem: {
      const ClassDef defs[2] = {doc_->classDef(0), doc_->classDef(1)};
      CClassSystemDlg dialog(defs, doc_->currentClass(), frame_.get());
      if (dialog.exec() != QDialog::Accepted) return false;
      doc_->changeClassDefs(dialog.defs());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kelvo
