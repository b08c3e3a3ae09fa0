// A database context in a fresh temporary directory, removed afterwards.
#ifndef ENGINE_TESTS_DB_FIXTURE_H_
#define ENGINE_TESTS_DB_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "xJorDbm2.h"

class DbFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xjor-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
    ASSERT_EQ(xOpenDb(&db_, dir_.c_str(), nullptr), 1);
  }
  void TearDown() override {
    xCloseFile(&db_.mainHandle);
    std::filesystem::remove_all(dir_);
  }

  // Size of the file behind handle.
  static int64_t FileSize(int32_t handle) { return lseek(handle, 0, SEEK_END); }

  // The whole content of the file behind handle.
  static std::vector<unsigned char> FileBytes(int32_t handle) {
    std::vector<unsigned char> bytes(static_cast<size_t>(FileSize(handle)));
    if (!bytes.empty()) {
      EXPECT_EQ(pread(handle, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    }
    return bytes;
  }

  static void WriteAt(int32_t handle, int64_t pos, const void* data, size_t n) {
    ASSERT_EQ(pwrite(handle, data, n, pos), static_cast<ssize_t>(n));
  }

  DbSpace db_{};
  std::string dir_;
};

#endif  // ENGINE_TESTS_DB_FIXTURE_H_
