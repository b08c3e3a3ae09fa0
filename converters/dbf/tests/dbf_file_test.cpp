// dBASE III files: the bytes written, what reads back, and damaged files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "kvdbf.h"
#include "xjor/packed_date.h"

namespace fs = std::filesystem;
using kvdbf::Column;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DbfFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kvdbf_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

constexpr uint16_t kDate20240315 = xjor::packDate(2024, 3, 15);

TEST_F(DbfFile, HeaderDescriptorsAndRecordsAreByteExact) {
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(path("a.dbf"), {{"CODE", 'C', 300}, {"QTY", 'N', 8, 2}, {"START", 'D', 8}},
                       kDate20240315));
  w.setText(0, "A1");
  w.setNumber(1, 12.345);
  w.setDate(2, kDate20240315);
  ASSERT_TRUE(w.append());
  ASSERT_TRUE(w.close());

  const std::string b = slurp(path("a.dbf"));
  const size_t header = 32 * 3 + 33, record = 1 + 300 + 8 + 8;
  ASSERT_EQ(b.size(), header + record + 1);
  EXPECT_EQ(b.substr(0, 12), std::string("\x03\x7C\x03\x0F\x01\x00\x00\x00\x81\x00\x3D\x01", 12));
  EXPECT_EQ(b.substr(12, 20), std::string(20, '\0'));
  // A long character column keeps its length in bytes 16-17.
  EXPECT_EQ(b.substr(32, 32),
            std::string("CODE\0\0\0\0\0\0\0C\0\0\0\0\x2C\x01", 18) + std::string(14, '\0'));
  EXPECT_EQ(b.substr(64, 32),
            std::string("QTY\0\0\0\0\0\0\0\0N\0\0\0\0\x08\x02", 18) + std::string(14, '\0'));
  EXPECT_EQ(b[header - 1], '\x0D');
  EXPECT_EQ(b.substr(header, 3), " A1");
  EXPECT_EQ(b.substr(header + 301, 16), "   12.3520240315");  // 12.345 rounds away from zero
  EXPECT_EQ(b.back(), '\x1A');
}

TEST_F(DbfFile, EmptyTableHasHeaderAndEndMarkOnly) {
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(path("e.dbf"), {{"A", 'N', 4}}, kDate20240315));
  ASSERT_TRUE(w.close());
  const std::string b = slurp(path("e.dbf"));
  EXPECT_EQ(b.size(), 65u + 1);
  kvdbf::Reader r;
  ASSERT_TRUE(r.open(path("e.dbf")));
  EXPECT_EQ(r.recordCount(), 0u);
  EXPECT_FALSE(r.seek(0));
}

TEST_F(DbfFile, FieldTextsReadBack) {
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(path("t.dbf"),
                       {{"NAME", 'C', 5}, {"N", 'N', 3}, {"F", 'N', 6, 2}, {"D", 'D', 8}},
                       kDate20240315));
  // "가나다" is six bytes in CP949: the cut keeps two whole characters.
  w.setText(0, "\xB0\xA1\xB3\xAA\xB4\xD9");
  w.setInt(1, 12345);  // wider than the column: the last digits stay
  w.setNumber(2, -1.005);
  w.setDate(3, 0);
  ASSERT_TRUE(w.append());
  w.setText(0, "ab");
  w.setInt(1, -7);
  w.setNumber(2, 2.5);
  w.setDate(3, kDate20240315);
  ASSERT_TRUE(w.append());
  ASSERT_TRUE(w.close());

  kvdbf::Reader r;
  ASSERT_TRUE(r.open(path("t.dbf")));
  ASSERT_EQ(r.columnCount(), 4u);
  EXPECT_EQ(r.columns()[2].decimals, 2);
  ASSERT_TRUE(r.seek(0));
  EXPECT_TRUE(r.live());
  EXPECT_EQ(r.raw(0), "\xB0\xA1\xB3\xAA ");
  EXPECT_EQ(r.text(0), "\xB0\xA1\xB3\xAA");
  EXPECT_EQ(r.raw(1), "345");
  EXPECT_EQ(r.integer(1), 345);
  EXPECT_EQ(r.raw(3), "        ");
  EXPECT_EQ(r.date(3), 0);
  ASSERT_TRUE(r.seek(1));
  EXPECT_EQ(r.text(0), "ab");
  EXPECT_EQ(r.integer(1), -7);
  EXPECT_EQ(r.raw(2), "  2.50");
  EXPECT_DOUBLE_EQ(r.number(2), 2.5);
  EXPECT_EQ(r.date(3), kDate20240315);
}

TEST(DbfText, CutsNeverSplitADoubleByteCharacter) {
  const std::string t =
      "a\xB0\xA1"
      "b";
  EXPECT_EQ(kvdbf::cutCp949(t, 0), 0u);
  EXPECT_EQ(kvdbf::cutCp949(t, 1), 1u);
  EXPECT_EQ(kvdbf::cutCp949(t, 2), 1u);
  EXPECT_EQ(kvdbf::cutCp949(t, 3), 3u);
  EXPECT_EQ(kvdbf::cutCp949(t, 10), 4u);
  // A lead byte at the very end has no trail byte and counts alone.
  EXPECT_EQ(kvdbf::cutCp949("a\xB0", 2), 2u);
}

TEST(DbfText, DatesOutsideTheirRangeOrImpossibleAreNoDate) {
  EXPECT_EQ(kvdbf::dateText(kDate20240315), "20240315");
  EXPECT_EQ(kvdbf::dateText(0), "        ");
  EXPECT_EQ(kvdbf::dateText(xjor::packDate(2080, 1, 1)), "        ");
  EXPECT_EQ(kvdbf::dateText(44 * 512 + 13 * 32 + 1), "        ");  // month 13
  EXPECT_EQ(kvdbf::dateText(43 * 512 + 2 * 32 + 29), "        ");  // 2023-02-29
  EXPECT_EQ(kvdbf::parseDate("20240315"), kDate20240315);
  EXPECT_EQ(kvdbf::parseDate("00000000"), 0);
  EXPECT_EQ(kvdbf::parseDate("19791231"), 0);
  EXPECT_EQ(kvdbf::parseDate("20241301"), 0);
  EXPECT_EQ(kvdbf::parseDate("2024"), 0);
  EXPECT_EQ(kvdbf::parseDate("        "), 0);
}

TEST_F(DbfFile, BadColumnListsCreateNothing) {
  kvdbf::Writer w;
  EXPECT_FALSE(w.create(path("x.dbf"), {}, 0));
  EXPECT_FALSE(w.create(path("x.dbf"), {{"ELEVENCHARS", 'C', 4}}, 0));
  EXPECT_FALSE(w.create(path("x.dbf"), {{"N", 'N', 300}}, 0));
  EXPECT_FALSE(w.create(path("x.dbf"), {{"Z", 'C', 0}}, 0));
  EXPECT_FALSE(w.create(path("x.dbf"), {{"A", 'C', 40000}, {"B", 'C', 40000}}, 0));
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(DbfFile, FailedWriteKeepsTheOlderFile) {
  { std::ofstream(path("k.dbf")) << "old"; }
  {
    kvdbf::Writer w;
    ASSERT_TRUE(w.create(path("k.dbf"), {{"A", 'C', 4}}, 0));
    w.setText(0, "new");
    w.append();
  }  // destroyed without close()
  EXPECT_EQ(slurp(path("k.dbf")), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

// A valid two-record file image to damage.
std::string sampleImage() {
  std::string b(32, '\0');
  b[0] = 3;
  b[4] = 2;
  b[8] = 32 * 2 + 33;
  b[10] = 1 + 4 + 3;
  b += std::string("NAME\0\0\0\0\0\0\0C\0\0\0\0\x04", 17) + std::string(15, '\0');
  b += std::string("NUM\0\0\0\0\0\0\0\0N\0\0\0\0\x03", 17) + std::string(15, '\0');
  b += '\x0D';
  b += " abcd 42";
  b += "*dead  9";
  b += '\x1A';
  return b;
}

TEST(DbfReader, DeletedRecordsAreMarkedNotLive) {
  kvdbf::Reader r;
  ASSERT_TRUE(r.openBytes(sampleImage()));
  ASSERT_EQ(r.recordCount(), 2u);
  ASSERT_TRUE(r.seek(0));
  EXPECT_TRUE(r.live());
  EXPECT_EQ(r.integer(1), 42);
  ASSERT_TRUE(r.seek(1));
  EXPECT_FALSE(r.live());
}

TEST(DbfReader, DamagedHeadersAreRefused) {
  kvdbf::Reader r;
  EXPECT_FALSE(r.openBytes(sampleImage().substr(0, 20)));  // short header
  std::string b = sampleImage();
  b[0] = 0x30;
  EXPECT_FALSE(r.openBytes(b));  // not version 3
  b = sampleImage();
  b[10] = 100;  // record length beyond the file
  EXPECT_FALSE(r.openBytes(b));
  b = sampleImage();
  b[4] = 3;  // one record more than the file holds
  EXPECT_FALSE(r.openBytes(b));
  b = sampleImage();
  b[10] = 5;  // columns longer than the record
  EXPECT_FALSE(r.openBytes(b));
  b = sampleImage();
  b[32] = 0x0D;  // no columns
  EXPECT_FALSE(r.openBytes(b));
  b = sampleImage();
  b[8] = 0x10;  // header length (10,000 columns) beyond the file
  b[9] = 0x27;
  EXPECT_FALSE(r.openBytes(b));
  b = sampleImage();
  b[8] = 32 + 33;  // the stored length ends inside the column list
  EXPECT_FALSE(r.openBytes(b));
  {
    // 10,000 columns: the 16-bit header length wraps and falls short of
    // the list, which is still all there.
    std::string many(32, '\0');
    many[0] = 3;
    const uint32_t header = (32 * 10000 + 33) & 0xFFFF, record = 1 + 10000;
    many[8] = static_cast<char>(header & 0xFF);
    many[9] = static_cast<char>(header >> 8);
    many[10] = static_cast<char>(record & 0xFF);
    many[11] = static_cast<char>(record >> 8);
    for (int i = 0; i < 10000; ++i)
      many += std::string("F\0\0\0\0\0\0\0\0\0\0N\0\0\0\0\x01", 17) + std::string(15, '\0');
    many += "\x0D\x1A";
    EXPECT_FALSE(r.openBytes(many));
  }
  b = sampleImage();
  b[4] = b[5] = b[6] = b[7] = '\xFF';  // a count that would overflow 32 bits
  EXPECT_FALSE(r.openBytes(b));
  EXPECT_EQ(r.columnCount(), 0u);
  EXPECT_FALSE(r.seek(0));
}

TEST(DbfReader, StoredHeaderLengthIsUsed) {
  // Another writer's extra byte between the terminator and the records.
  std::string b = sampleImage();
  b[8] = 32 * 2 + 34;
  b.insert(32 * 2 + 33, 1, '\0');
  kvdbf::Reader r;
  ASSERT_TRUE(r.openBytes(b));
  ASSERT_TRUE(r.seek(0));
  EXPECT_EQ(r.text(0), "abcd");
  EXPECT_EQ(r.integer(1), 42);
}

TEST(DbfReader, NumbersReadLikeTheStandardConversions) {
  std::string b = sampleImage();
  memcpy(b.data() + 32 * 2 + 33 + 5, "-3x", 3);
  kvdbf::Reader r;
  ASSERT_TRUE(r.openBytes(b));
  ASSERT_TRUE(r.seek(0));
  EXPECT_EQ(r.integer(1), -3);
  EXPECT_DOUBLE_EQ(r.number(1), -3);
  memcpy(b.data() + 32 * 2 + 33 + 5, "abc", 3);
  ASSERT_TRUE(r.openBytes(b));
  ASSERT_TRUE(r.seek(0));
  EXPECT_EQ(r.integer(1), 0);
}

// An independent reader sees the same columns and values.
TEST_F(DbfFile, PythonDbfreadReadsWhatWeWrite) {
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(path("p.dbf"),
                       {{"CODE", 'C', 10}, {"DU", 'N', 4}, {"QTY", 'N', 12, 3}, {"START", 'D', 8}},
                       kDate20240315));
  w.setText(0,
            "\xB0\xA1\xB3\xAA"
            "1");
  w.setInt(1, -12);
  w.setNumber(2, 1234.5);
  w.setDate(3, kDate20240315);
  ASSERT_TRUE(w.append());
  w.setText(0, "B");
  ASSERT_TRUE(w.append());
  ASSERT_TRUE(w.close());
  const std::string out = path("p.txt");
  const std::string cmd =
      "/usr/bin/python3 -c \"import dbfread,sys\n"
      "t=dbfread.DBF(sys.argv[1],encoding='cp949')\n"
      "o=open(sys.argv[2],'w',encoding='utf-8')\n"
      "o.write(','.join(f.name+f.type+str(f.length) for f in t.fields)+'\\n')\n"
      "[o.write(repr(list(r.values()))+'\\n') for r in t]\" " +
      path("p.dbf") + " " + out;
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(slurp(out),
            "CODEC10,DUN4,QTYN12,STARTD8\n"
            "['가나1', -12, 1234.5, datetime.date(2024, 3, 15)]\n"
            "['B', None, None, None]\n");
}

}  // namespace
