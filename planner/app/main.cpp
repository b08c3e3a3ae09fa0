// Kelvo: the planning program.
#include <QApplication>
#include <csignal>

#include "kelvo/converter_commands.h"
#include "kelvo/gantt_window.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/processing_commands.h"
#include "kelvo/sheet_windows.h"

int main(int argc, char** argv) {
  // A save past the file-size limit (ulimit -f) fails with a message and
  // keeps the previous file instead of killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  QStringList args = QApplication::arguments();
  args.removeFirst();
  kelvo::CKelvoApp app;
  kelvo::registerSheetWindows(app);
  kelvo::registerGanttWindow(app);
  kelvo::registerConverterCommands(app);
  kelvo::registerProcessingCommands(app);
  if (!app.startup(args)) return 0;
  const int result = QApplication::exec();
  app.shutdown();
  return result;
}
