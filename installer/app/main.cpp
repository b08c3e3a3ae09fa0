// xDeploy: installs the product from the media it lies on.
//
//   xDeploy                       the windowed installer
//   xDeploy --batch [--target DIR] [--system N] [--overwrite]
//                                 the same without windows or questions
//   xDeploy --remove DIR          removes what an installation into DIR made
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "batch_run.h"
#include "interactive_run.h"

namespace {

int usage() {
  std::fputs(
      "usage: xDeploy [--batch [--target DIR] [--system N] [--overwrite]]\n"
      "       xDeploy --remove DIR\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool batch = false;
  QString remove;
  deploy::BatchOptions options;
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    const bool hasValue = i + 1 < argc;
    if (a == QLatin1String("--batch")) {
      batch = true;
    } else if (a == QLatin1String("--overwrite")) {
      options.overwrite = true;
    } else if (a == QLatin1String("--target") && hasValue) {
      options.target = QString::fromLocal8Bit(argv[++i]);
    } else if (a == QLatin1String("--system") && hasValue) {
      options.system = QString::fromLocal8Bit(argv[++i]).toInt();
    } else if (a == QLatin1String("--remove") && hasValue) {
      remove = QString::fromLocal8Bit(argv[++i]);
    } else {
      return usage();
    }
  }
  // Without windows no display is needed.
  std::unique_ptr<QCoreApplication> app;
  if (batch || !remove.isEmpty()) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    app = std::make_unique<QApplication>(argc, argv);
  }
  deploy::Places places = deploy::placesFromEnvironment();
  places.installerDir = deploy::asFolder(QCoreApplication::applicationDirPath());
  places.mediaDir = places.installerDir;
  if (!remove.isEmpty()) return deploy::runRemove(places, remove);
  if (batch) return deploy::runBatch(places, options);
  return deploy::runInteractive(places);
}
