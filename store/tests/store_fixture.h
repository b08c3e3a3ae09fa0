// A project database in a private working folder, with the generated
// Kelvo.ref open, and helpers that put raw records and index entries in.
#ifndef STORE_TESTS_STORE_FIXTURE_H_
#define STORE_TESTS_STORE_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "xQdDb100.h"

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

inline void PutU32At(std::vector<uint8_t>* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline std::set<std::string> FilesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/store_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    work_ = root_ / "work";
    fs::create_directory(work_);
    ASSERT_EQ(xOpenRef(&ref_, (std::string(KELVO_BIN_DIR) + "/Kelvo.ref").c_str()), 1);
    Create(&db_);
    ASSERT_EQ(xInitializeDB(&db_, info_), 1);
    memset(info_, 0, sizeof info_);
  }
  void TearDown() override {
    for (ProjectDb* db : open_) xCloseDB(db);
    xCloseFile(&ref_);
    fs::remove_all(root_);
  }

  // A further empty working set, closed by the fixture.
  ProjectDb* NewDb() {
    ProjectDb* db = &extra_.emplace_back();
    Create(db);
    return db;
  }
  // Makes an empty working set in the working folder.
  void Create(ProjectDb* db) {
    ASSERT_EQ(xCreateDB(db, nullptr, (work_.string() + "/").c_str(), nullptr), 1);
    db->space.refHandle = ref_;
    open_.push_back(db);
  }
  void Close(ProjectDb* db) {
    xCloseDB(db);
    std::erase(open_, db);
  }

  static void Add(TableBinding* t, const void* record) { ASSERT_EQ(xAddRec(&t->tb, record), 1); }
  static void AddMem(MemTable* m, const void* record) { ASSERT_EQ(xmAdd(m, record), 1); }
  static void AddIndex(IndexTable* t, const void* record) { ASSERT_EQ(xiAdd(t, record), 1); }
  // Deletes slot `slot` of the table.
  static void Delete(TableBinding* t, int32_t slot) {
    t->tb.current = slot;
    ASSERT_EQ(xDelRec(&t->tb), 1);
  }
  void PutOption(ProjectDb* db, int item, const void* data, uint32_t len) {
    xOption(&db->opt, XOPT_WRITE, item, const_cast<void*>(data), len);
  }
  void WriteMember(ProjectDb* db, const std::string& name, const std::string& content) {
    std::ofstream(std::string(db->space.path, db->space.stemLength) + name) << content;
  }
  std::string Member(ProjectDb* db, const std::string& name) {
    return std::string(db->space.path, db->space.stemLength) + name;
  }

  // Fills every table and index, deletes a slot in each record table,
  // registers and builds summary file 3, adds a picture object with its
  // file, working files a20 and a25 and a calendar.
  void FillProject(ProjectDb* db);

  fs::path root_, work_;
  int32_t ref_ = -1;
  ProjectDb db_;
  uint8_t info_[XQD_INFO_SIZE];
  std::vector<ProjectDb*> open_;
  std::deque<ProjectDb> extra_;
};

#endif  // STORE_TESTS_STORE_FIXTURE_H_
