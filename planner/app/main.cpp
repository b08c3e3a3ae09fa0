// Kelvo: the planning program.
#include <QApplication>

#include "kelvo/converter_commands.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/sheet_windows.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QStringList args = QApplication::arguments();
  args.removeFirst();
  kelvo::CKelvoApp app;
  kelvo::registerSheetWindows(app);
  kelvo::registerConverterCommands(app);
  if (!app.startup(args)) return 0;
  const int result = QApplication::exec();
  app.shutdown();
  return result;
}
