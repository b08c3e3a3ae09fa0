// Kelvo: the planning program.
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "kelvo/converter_commands.h"
#include "kelvo/definition_commands.h"
#include "kelvo/gantt_window.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/map_window.h"
#include "kelvo/network_window.h"
#include "kelvo/period_windows.h"
#include "kelvo/processing_commands.h"
#include "kelvo/report_window.h"
#include "kelvo/sheet_windows.h"

int main(int argc, char** argv) {
  // A save past the file-size limit (ulimit -f) fails with a message and
  // keeps the previous file instead of killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Kelvo --print-pdf N OUT.pdf FILE.kvp prints document window N of the
  // project without showing a window, for scripts that publish schedules.
  const bool printPdf = argc > 1 && std::strcmp(argv[1], "--print-pdf") == 0;
  if (printPdf && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QStringList args = QApplication::arguments();
  args.removeFirst();
  kelvo::AppOptions options;
  if (printPdf) {
    options.singleInstance = false;
    options.splash = false;
  }
  kelvo::CKelvoApp app(options);
  kelvo::registerSheetWindows(app);
  kelvo::registerGanttWindow(app);
  kelvo::registerNetworkWindow(app);
  kelvo::registerMapWindow(app);
  kelvo::registerPeriodWindows(app);
  kelvo::registerReportWindow(app);
  kelvo::registerConverterCommands(app);
  kelvo::registerProcessingCommands(app);
  kelvo::registerDefinitionCommands(app);
  if (printPdf) {
    bool number = false;
    const int window = args.size() == 4 ? args[1].toInt(&number) : -1;
    if (!number || window < 0 || window > 10) {
      std::fprintf(stderr, "usage: Kelvo --print-pdf N OUT.pdf FILE.kvp (N = 0..10)\n");
      return 1;
    }
    return app.printToPdf(window, args[2], args[3]);
  }
  if (!app.startup(args)) return 0;
  const int result = QApplication::exec();
  app.shutdown();
  return result;
}
