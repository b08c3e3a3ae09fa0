// What the planner's benchmarks share: the offscreen application they run
// in and a new project document in a temporary folder.
#ifndef KELVO_BENCH_PLANNER_PROJECT_H_
#define KELVO_BENCH_PLANNER_PROJECT_H_

#include <QApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstring>
#include <memory>

#include "kelvo/plan_doc.h"
#include "xQdDb100.h"

namespace bench {

// The offscreen application, made on the first call.
inline QApplication& OffscreenApp() {
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kelvo_bench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

// A new project "BENCH" in a temporary folder, starting on start (also its
// data date) and finishing on finish (0 keeps the default), with the
// reference file beside the program. The document closes with it.
struct NewProject {
  QTemporaryDir dir;
  int32_t ref = -1;
  std::unique_ptr<kelvo::CPlanDoc> doc;
  PrjInfo info;

  NewProject(uint16_t start, uint16_t finish) {
    const QString refPath = QCoreApplication::applicationDirPath() + "/Kelvo.ref";
    xOpenRef(&ref, refPath.toUtf8().constData());
    doc = std::make_unique<kelvo::CPlanDoc>(dir.path() + '/', ref);
    info = kelvo::newProjectInfo();
    std::strcpy(info.code, "BENCH");
    info.start = info.dataDate = start;
    if (finish != 0) info.finish = finish;
    doc->newProject(info);
  }
  ~NewProject() {
    doc.reset();
    xCloseFile(&ref);
  }
  NewProject(const NewProject&) = delete;
  NewProject& operator=(const NewProject&) = delete;
};

}  // namespace bench

#endif  // KELVO_BENCH_PLANNER_PROJECT_H_
