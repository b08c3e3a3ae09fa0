// xCopyFile: its three count meanings and what happens at the edges.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>

#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

struct Files {
  TempFolder tmp;
  int32_t src = -1, dst = -1;
  explicit Files(const std::vector<uint8_t>& source) {
    writeBytes(tmp.file("src"), source);
    src = xOpenFile(tmp.file("src").c_str(), 0);
    dst = xCreateFile(tmp.file("dst").c_str(), 0);
  }
  ~Files() {
    xCloseFile(&src);
    xCloseFile(&dst);
  }
  std::vector<uint8_t> out() const { return fileBytes(tmp.file("dst")); }
};

std::vector<uint8_t> pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

TEST(CopyFile, CountZeroWritesLengthThenWholeSourceFromItsStart) {
  std::vector<uint8_t> data = pattern(120000);  // more than two chunks
  Files f(data);
  lseek(f.src, 500, SEEK_SET);  // ignored: the source is rewound
  xCopyFile(f.src, f.dst, 0);
  std::vector<uint8_t> out = f.out();
  ASSERT_EQ(out.size(), 4 + data.size());
  EXPECT_EQ(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24, 120000);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin() + 4));
}

TEST(CopyFile, CountZeroOnEmptySourceWritesZeroLength) {
  Files f({});
  xCopyFile(f.src, f.dst, 0);
  EXPECT_EQ(f.out(), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(CopyFile, CountMinusOneReadsLengthAndWritesFromTargetStart) {
  Files f({3, 0, 0, 0, 'a', 'b', 'c', 'z'});
  ASSERT_EQ(write(f.dst, "0123456789", 10), 10);
  xCopyFile(f.src, f.dst, -1);
  EXPECT_EQ(f.out(), (std::vector<uint8_t>{'a', 'b', 'c', '3', '4', '5', '6', '7', '8', '9'}));
  EXPECT_EQ(lseek(f.src, 0, SEEK_CUR), 7);  // in step for whatever follows
}

TEST(CopyFile, PositiveCountCopiesBetweenCurrentPositions) {
  Files f(pattern(100));
  lseek(f.src, 10, SEEK_SET);
  ASSERT_EQ(write(f.dst, "hd", 2), 2);
  xCopyFile(f.src, f.dst, 5);
  std::vector<uint8_t> want = {'h', 'd'};
  std::vector<uint8_t> p = pattern(100);
  want.insert(want.end(), p.begin() + 10, p.begin() + 15);
  EXPECT_EQ(f.out(), want);
  EXPECT_EQ(lseek(f.src, 0, SEEK_CUR), 15);
}

TEST(CopyFile, SourceEndingEarlyCopiesWhatThereIsAndSaysSo) {
  Files f({200, 0, 0, 0, 'a', 'b'});
  xSetDbError(0);
  xCopyFile(f.src, f.dst, -1);
  EXPECT_EQ(f.out(), (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_EQ(xGetDbError(), 21014);
}

}  // namespace
