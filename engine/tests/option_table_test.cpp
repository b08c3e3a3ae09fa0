// Memory tables stored in option items: bytes, in-place rewrites and counts
// that do not fit their block.
#include <string.h>

#include "db_fixture.h"

namespace {

class OptionTable : public DbFixture {
 protected:
  void SetUp() override {
    DbFixture::SetUp();
    ASSERT_EQ(xOpenOpt(&db_, &opt_, "opt", 20), 1);
  }
  void TearDown() override {
    xCloseTemp(&db_, &opt_.handle, "opt");
    DbFixture::TearDown();
  }
  OptionFileRef opt_{};
};

TEST_F(OptionTable, WrittenAndReadBack) {
  MemTable m{};
  xmOpenTb(&m, 6, nullptr, 10);
  for (const char* r : {"alpha", "bravo", "charl"}) xmAdd(&m, r);
  EXPECT_EQ(xOption(&opt_, XOPT_WRITE_TABLE, 4, &m, 0), 4);
  std::vector<unsigned char> bytes = FileBytes(opt_.handle);
  ASSERT_EQ(bytes.size(), 200u + 4 + 18);
  EXPECT_EQ(memcmp(&bytes[200], "\x03\0\0\0alpha\0bravo\0charl\0", 22), 0);
  EXPECT_EQ(xOption(&opt_, XOPT_SIZE, 4, nullptr, 0), 22);

  MemTable back{};
  xmOpenTb(&back, 6, nullptr, 10);
  EXPECT_EQ(xOption(&opt_, XOPT_READ_TABLE, 4, &back, 0), 4);
  EXPECT_EQ(back.count, 3u);
  EXPECT_EQ(back.capacity, 3u);
  EXPECT_STREQ(reinterpret_cast<char*>(back.data) + 12, "charl");

  // Fewer records fit the old block: written in place, block size shrinks.
  m.current = 0;
  xmDel(&m);
  EXPECT_EQ(xOption(&opt_, XOPT_WRITE_TABLE, 4, &m, 0), 4);
  EXPECT_EQ(FileSize(opt_.handle), 222);
  EXPECT_EQ(xOption(&opt_, XOPT_SIZE, 4, nullptr, 0), 16);
  xmCloseTb(&m);
  xmCloseTb(&back);
}

TEST_F(OptionTable, CountsThatDoNotFitAreRefused) {
  MemTable m{};
  xmOpenTb(&m, 4, nullptr, 10);
  EXPECT_EQ(xOption(&opt_, XOPT_READ_TABLE, 1, &m, 0), 0);  // never written
  xmAdd(&m, "abc");
  xOption(&opt_, XOPT_WRITE_TABLE, 1, &m, 0);
  const uint32_t huge = 0x40000000;
  WriteAt(opt_.handle, 200, &huge, 4);
  MemTable back{};
  xmOpenTb(&back, 4, nullptr, 10);
  EXPECT_EQ(xOption(&opt_, XOPT_READ_TABLE, 1, &back, 0), 0);
  EXPECT_EQ(back.data, nullptr);
  const uint32_t zero = 0;
  WriteAt(opt_.handle, 200, &zero, 4);
  EXPECT_EQ(xOption(&opt_, XOPT_READ_TABLE, 1, &back, 0), 0);
  xmCloseTb(&m);
  xmCloseTb(&back);
}

}  // namespace
