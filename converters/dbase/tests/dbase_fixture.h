// A small project entered through the store, the dBASE plug-in registered in
// a settings file of the test's own, and helpers to run the converter.
#ifndef KVDBASE_TESTS_FIXTURE_H_
#define KVDBASE_TESTS_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QSettings>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>

#include "kvcli_runner.h"
#include "kvconverters.h"
#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace fs = std::filesystem;

inline constexpr auto Day = xjor::packDate;

class DbaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dbase_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directory(root_ / "work");
    settings_ = std::make_unique<QSettings>(QString::fromStdString((root_ / "k.conf").string()),
                                            QSettings::IniFormat);
    kvconv::writeRegistrations(*settings_, {{{"dbf", "dBASE", "xKvDbf.so"}}, ""});
    ASSERT_EQ(xOpenRef(&ref_, (std::string(KELVO_BIN_DIR) + "/Kelvo.ref").c_str()), 1);
  }
  void TearDown() override {
    for (ProjectDb& db : dbs_) xCloseDB(&db);
    xCloseFile(&ref_);
    fs::remove_all(root_);
  }

  // A new empty project, closed by the fixture.
  ProjectDb* NewDb() {
    ProjectDb* db = &dbs_.emplace_back();
    EXPECT_EQ(xCreateDB(db, nullptr, (root_.string() + "/work/").c_str(), nullptr), 1);
    db->space.refHandle = ref_;
    EXPECT_EQ(xInitializeDB(db, nullptr), 1);
    return db;
  }

  // Fills db with codes of every kind, activities, relations, crew details
  // and a time-shared entry; sets scheme_ and info_.
  void FillProject(ProjectDb* db);

  kvconv::Outcome Export(ProjectDb* db, const std::string& path) {
    XKvRequest r{};
    r.path = path.c_str();
    r.database = db;
    r.scheme = &scheme_;
    r.info = info_;
    return kvconv::exportProject(*settings_, KELVO_BIN_DIR, format_, r);
  }

  // Imports into a new project; the outcome, and the project in *out (null
  // when none was made).
  kvconv::Outcome Import(const std::string& path, ProjectDb** out, XKvScheme* scheme, char* info) {
    XKvRequest r{};
    r.path = path.c_str();
    r.scheme = scheme;
    r.info = info;
    *out = nullptr;
    return kvconv::importProject(*settings_, KELVO_BIN_DIR, format_, r, [&] {
      *out = NewDb();
      r.database = *out;
      return true;
    });
  }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  fs::path root_;
  std::unique_ptr<QSettings> settings_;
  std::string format_ = "dbf";  // the registered extension Export and Import use
  int32_t ref_ = -1;
  std::deque<ProjectDb> dbs_;
  XKvScheme scheme_{};
  char info_[XQD_INFO_SIZE] = {};
};

#endif  // KVDBASE_TESTS_FIXTURE_H_
