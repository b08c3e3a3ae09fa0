// What the converter benchmarks share: a generated project open in the
// store and a plug-in loaded to write it out and read it back.
#ifndef KELVO_BENCH_CONVERTER_FIXTURE_H_
#define KELVO_BENCH_CONVERTER_FIXTURE_H_

#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "kvconvert.h"
#include "xQdDb100.h"
#include "xjor/option.h"

// A project of 30,000 activities and 45,000 relations made by `kvcli gen`,
// open in the store, and a converter plug-in loaded to exchange it as a file
// of the given extension beside it.
struct ConverterFixture {
  std::filesystem::path bin, folder;
  std::string project, exchange;
  int32_t ref = -1;
  ProjectDb db;
  char info[XQD_INFO_SIZE] = {};
  XKvScheme scheme{};
  void* plugin = nullptr;
  const XKvProc* procs = nullptr;

  ConverterFixture(const char* pluginFile, const char* extension) {
    bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    char pattern[] = "/tmp/converter_bench_XXXXXX";
    folder = mkdtemp(pattern);
    project = (folder / "gen.kvp").string();
    exchange = (folder / (std::string("gen.") + extension)).string();
    const std::string gen = (bin / "kvcli").string() + " gen " + project +
                            " --activities 30000 --relations 45000 > /dev/null";
    if (std::system(gen.c_str()) != 0) abort();
    xOpenRef(&ref, (bin / "Kelvo.ref").c_str());
    xCreateDB(&db, nullptr, (folder.string() + "/").c_str(), nullptr);
    db.space.refHandle = ref;
    if (!xReadDB(&db, info, project.c_str())) abort();
    const auto* pi = reinterpret_cast<const PrjInfo*>(info);
    xSetPrjDateInfo(&db, pi->calendarFrom, pi->calendarTo);
    xOption(&db.opt, XOPT_READ, XQD_CLASSES_OPTION, &scheme, sizeof scheme);
    plugin = dlopen((bin / pluginFile).c_str(), RTLD_NOW);
    if (!plugin) abort();
    auto table = reinterpret_cast<XKvOrdinalTableFn>(dlsym(plugin, "xOrdinalTable"));
    procs = table();
  }
  ~ConverterFixture() {
    xCloseDB(&db);
    xCloseFile(&ref);
    dlclose(plugin);
    std::filesystem::remove_all(folder);
  }

  // The whole project written through xExpDB.
  bool exportFile() {
    XKvRequest r{};
    r.path = exchange.c_str();
    r.database = &db;
    r.scheme = &scheme;
    r.info = info;
    return procs[XKV_EXP_DB](&r) != 0;
  }

  // A new project built from the file (xGetInfo, xImpDB) with as many
  // activities as the original.
  bool importFile() {
    char in[XQD_INFO_SIZE] = {};
    in[198] = 12;
    XKvScheme s{};
    XKvRequest r{};
    r.path = exchange.c_str();
    r.scheme = &s;
    r.info = in;
    if (!procs[XKV_GET_INFO](&r)) return false;
    ProjectDb made;
    xCreateDB(&made, nullptr, (folder.string() + "/").c_str(), nullptr);
    made.space.refHandle = ref;
    xInitializeDB(&made, nullptr);
    r.database = &made;
    const bool ok = procs[XKV_IMP_DB](&r) != 0 && made.act.tb.liveCount == db.act.tb.liveCount;
    xCloseDB(&made);
    return ok;
  }
};

#endif  // KELVO_BENCH_CONVERTER_FIXTURE_H_
