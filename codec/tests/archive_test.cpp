// Archives: member headers on disk, listing, unpacking and damaged archives.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <numeric>

#include "../src/lzhuf.h"
#include "test_support.h"
#include "xNubPack.h"

namespace {

using codec_test::Bytes;
using codec_test::Fd;
using codec_test::ScratchDir;

// 2001-02-03 04:05:06.7 UTC as a platform file time.
constexpr uint64_t kStamp = 126256467067000000ull;
constexpr time_t kStampUnix = 981173106;

void put_le(Bytes& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t byte_sum(const Bytes& b) {
  return std::accumulate(b.begin(), b.end(), 0u);
}

// One stored member, laid out field by field.
Bytes raw_member(const std::string& stored_name, uint32_t original, const Bytes& packed,
                 uint64_t time = kStamp) {
  Bytes out;
  put_le(out, 23 + stored_name.size(), 2);
  put_le(out, original, 4);
  put_le(out, packed.size(), 4);
  put_le(out, byte_sum(packed), 4);
  put_le(out, time, 8);
  out.insert(out.end(), stored_name.begin(), stored_name.end());
  out.push_back(0);
  out.insert(out.end(), packed.begin(), packed.end());
  return out;
}

Bytes raw_member_of(const std::string& name, const Bytes& content) {
  return raw_member(name, static_cast<uint32_t>(content.size()), nub::lzhuf_compress(content));
}

void set_mtime(const std::string& path, time_t sec, long nsec) {
  const struct timespec t[2] = {{sec, nsec}, {sec, nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, 0), 0);
}

class ArchiveTest : public ::testing::Test {
 protected:
  void TearDown() override { xApFindClose(); }

  // Packs `content` as a source file into the open archive under `path`.
  int pack(int arc, const std::string& path, const Bytes& content) {
    const std::string src = dir.file("src.bin");
    codec_test::write_file(src, content);
    set_mtime(src, kStampUnix, 700000000);
    Fd fd(src, O_RDONLY);
    return xApEncode(path.c_str(), fd.get(), arc);
  }

  // Lists the archive at `path`; null and the error code when rejected.
  const XApHeader* open_listing(const std::string& path) {
    listing_fd = std::make_unique<Fd>(path, O_RDONLY);
    return xApFindFirst(listing_fd->get());
  }

  // Unpacks the current member into a new file.
  int unpack_to(const std::string& path) {
    Fd out(path, O_WRONLY | O_CREAT | O_TRUNC);
    return xApDecode(out.get());
  }

  ScratchDir dir;
  std::unique_ptr<Fd> listing_fd;
};

TEST_F(ArchiveTest, MemberHeaderBytes) {
  const std::string arc_path = dir.file("a.nub");
  const Bytes content = codec_test::sample_text(3000, 5);
  {
    Fd arc(arc_path, O_RDWR | O_CREAT | O_TRUNC);
    ASSERT_EQ(pack(arc.get(), "C:\\DIST\\ACT.DAT", content), 1);
    EXPECT_EQ(::lseek(arc.get(), 0, SEEK_CUR),
              static_cast<off_t>(codec_test::read_file(arc_path).size()));
  }
  const Bytes packed = nub::lzhuf_compress(content);
  Bytes expected = {0x1E, 0x00,               // h = 30
                    0xB8, 0x0B, 0x00, 0x00};  // 3000 bytes
  put_le(expected, packed.size(), 4);
  put_le(expected, byte_sum(packed), 4);
  const Bytes stamp = {0xC0, 0xD4, 0x1F, 0x7E, 0x96, 0x8D, 0xC0, 0x01};
  expected.insert(expected.end(), stamp.begin(), stamp.end());
  for (char c : std::string("ACT.DAT")) expected.push_back(static_cast<uint8_t>(c));
  expected.push_back(0);
  expected.insert(expected.end(), packed.begin(), packed.end());
  EXPECT_EQ(codec_test::read_file(arc_path), expected);

  const XApHeader* h = open_listing(arc_path);
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(h->name, "ACT.DAT");
  EXPECT_EQ(h->header_length, 30);
  EXPECT_EQ(h->original_size, 3000u);
  EXPECT_EQ(h->file_time, kStamp);
}

TEST_F(ArchiveTest, ThreeMembersListAndUnpack) {
  const std::string arc_path = dir.file("three.nub");
  const std::vector<std::pair<std::string, Bytes>> files = {
      {"/data/one.txt", codec_test::sample_text(20000, 1)},
      {"two.bin", codec_test::random_bytes(7000, 2)},
      {"dist\\three.dat", Bytes(10000, ' ')}};
  {
    Fd arc(arc_path, O_WRONLY | O_CREAT | O_TRUNC);
    for (const auto& [path, content] : files) ASSERT_EQ(pack(arc.get(), path, content), 1);
  }
  const char* names[] = {"one.txt", "two.bin", "three.dat"};
  const XApHeader* h = open_listing(arc_path);
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(h, nullptr) << "member " << i;
    EXPECT_STREQ(h->name, names[i]);
    EXPECT_EQ(h->original_size, files[i].second.size());
    const std::string out = dir.file(names[i]);
    ASSERT_EQ(unpack_to(out), 1);
    EXPECT_EQ(codec_test::read_file(out), files[i].second);
    struct stat st;
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, kStampUnix);
    EXPECT_EQ(st.st_mtim.tv_nsec, 700000000);
    h = xApFindNext();
  }
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(xApFindNext(), nullptr);
}

TEST_F(ArchiveTest, FlippedByteInAnyMemberRejectsTheWholeArchive) {
  const Bytes one = raw_member_of("one", codec_test::sample_text(500, 1));
  const Bytes two = raw_member_of("two", codec_test::sample_text(500, 2));
  const Bytes three = raw_member_of("three", codec_test::sample_text(500, 3));
  Bytes archive = one;
  archive.insert(archive.end(), two.begin(), two.end());
  archive.insert(archive.end(), three.begin(), three.end());
  const std::string path = dir.file("flip.nub");
  codec_test::write_file(path, archive);
  ASSERT_NE(open_listing(path), nullptr);

  // A compressed byte of the second member, then one of the third.
  for (size_t at : {one.size() + 26 + 10, archive.size() - 1}) {
    Bytes bad = archive;
    bad[at] ^= 0x01;
    codec_test::write_file(path, bad);
    EXPECT_EQ(open_listing(path), nullptr) << "flipped at " << at;
    EXPECT_EQ(xApLastError(), XAP_ERR_CHECKSUM);
    EXPECT_EQ(xApFindNext(), nullptr);
  }
}

TEST_F(ArchiveTest, EmptySourceMakesAnEmptyMember) {
  const std::string arc_path = dir.file("empty.nub");
  {
    Fd arc(arc_path, O_WRONLY | O_CREAT | O_TRUNC);
    ASSERT_EQ(pack(arc.get(), "nothing.txt", Bytes{}), 1);
  }
  EXPECT_EQ(codec_test::read_file(arc_path).size(), 34u);
  const XApHeader* h = open_listing(arc_path);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->packed_size, 0u);
  EXPECT_EQ(h->checksum, 0u);
  const std::string out = dir.file("nothing.txt");
  codec_test::write_file(out, Bytes{'x'});
  {
    Fd fd(out, O_WRONLY | O_TRUNC);
    EXPECT_EQ(xApDecode(fd.get()), 1);
  }
  EXPECT_TRUE(codec_test::read_file(out).empty());
  struct stat st;
  ASSERT_EQ(::stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, kStampUnix);
}

TEST_F(ArchiveTest, ListingWithoutAnArchive) {
  EXPECT_EQ(xApFindNext(), nullptr);
  EXPECT_EQ(xApLastError(), XAP_ERR_NO_MEMBER);
  const std::string out = dir.file("out");
  EXPECT_EQ(unpack_to(out), 0);
  EXPECT_EQ(xApLastError(), XAP_ERR_NO_MEMBER);

  const std::string empty = dir.file("empty.nub");
  codec_test::write_file(empty, Bytes{});
  EXPECT_EQ(open_listing(empty), nullptr);
  EXPECT_EQ(xApLastError(), XAP_ERR_EMPTY);
}

TEST_F(ArchiveTest, StoredNamesAreReducedToPlainNames) {
  const Bytes content = codec_test::sample_text(100, 9);
  const std::pair<std::string, std::string> cases[] = {{"../../etc/evil", "evil"},
                                                       {"/etc/passwd", "passwd"},
                                                       {"C:\\WIN\\SYS.INI", "SYS.INI"},
                                                       {"dir/..\\x", "x"},
                                                       {"\xB0\xA1.txt", "\xB0\xA1.txt"}};
  for (const auto& [stored, plain] : cases) {
    const std::string path = dir.file("n.nub");
    codec_test::write_file(path, raw_member_of(stored, content));
    const XApHeader* h = open_listing(path);
    ASSERT_NE(h, nullptr) << stored;
    EXPECT_EQ(std::string(h->name), plain);
  }
}

TEST_F(ArchiveTest, UnsafeNamesAreRefused) {
  const Bytes content = codec_test::sample_text(100, 9);
  const std::string names[] = {"",     ".",         "..",       "dir/",   "a/..",
                               "x\\.", "tab\tname", "bell\x07", "del\x7F"};
  for (const std::string& stored : names) {
    const std::string path = dir.file("n.nub");
    Bytes archive = raw_member_of("fine", content);
    const Bytes bad = raw_member_of(stored, content);
    archive.insert(archive.end(), bad.begin(), bad.end());
    codec_test::write_file(path, archive);
    EXPECT_EQ(open_listing(path), nullptr) << '"' << stored << '"';
    // An empty stored name leaves a header too short to be one.
    EXPECT_EQ(xApLastError(), stored.empty() ? XAP_ERR_HEADER : XAP_ERR_NAME);

    Fd arc(dir.file("w.nub"), O_WRONLY | O_CREAT | O_TRUNC);
    EXPECT_EQ(pack(arc.get(), stored, content), 0) << '"' << stored << '"';
    EXPECT_EQ(xApLastError(), XAP_ERR_NAME);
  }
}

TEST_F(ArchiveTest, MalformedHeadersAreDamage) {
  const Bytes good = raw_member_of("good", codec_test::sample_text(300, 4));
  std::vector<std::pair<std::string, Bytes>> cases;

  Bytes past_end = good;
  past_end[6] += 1;  // compressed size one byte longer than the archive
  cases.emplace_back("compressed bytes past the end", past_end);

  Bytes trailing = good;
  trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
  cases.emplace_back("partial header at the end", trailing);

  Bytes short_header = good;
  short_header.insert(short_header.end(), good.begin(), good.begin() + 30);
  cases.emplace_back("header cut by the end", short_header);

  Bytes no_nul = good;
  no_nul[22 + 4] = 'X';  // the name's NUL
  cases.emplace_back("name without NUL", no_nul);

  Bytes tiny = good;
  tiny[0] = 23;
  cases.emplace_back("header length below 24", tiny);

  cases.emplace_back("content without compressed bytes", raw_member("big", 5000, Bytes{}));

  for (const auto& [what, archive] : cases) {
    const std::string path = dir.file("bad.nub");
    codec_test::write_file(path, archive);
    EXPECT_EQ(open_listing(path), nullptr) << what;
    EXPECT_EQ(xApLastError(), XAP_ERR_HEADER) << what;
  }
}

TEST_F(ArchiveTest, StreamEndingLongBeforeItsSizeStopsUnpacking) {
  // A sound 2,000-byte stream whose header claims 3 GB.
  const Bytes content = codec_test::sample_text(2000, 6);
  const std::string path = dir.file("short.nub");
  codec_test::write_file(path, raw_member("huge.dat", 3000000000u, nub::lzhuf_compress(content)));
  ASSERT_NE(open_listing(path), nullptr);

  const std::string out = dir.file("huge.dat");
  EXPECT_EQ(unpack_to(out), 0);
  EXPECT_EQ(xApLastError(), XAP_ERR_STREAM);
  EXPECT_LT(codec_test::read_file(out).size(), 100000u);
  EXPECT_EQ(xApVerify(), 0);
  EXPECT_EQ(xApLastError(), XAP_ERR_STREAM);
}

TEST_F(ArchiveTest, FailedAppendLeavesTheArchiveAsItWas) {
  const std::string arc_path = dir.file("keep.nub");
  Fd arc(arc_path, O_RDWR | O_CREAT | O_TRUNC);
  ASSERT_EQ(pack(arc.get(), "first.txt", codec_test::sample_text(1000, 1)), 1);
  const Bytes before = codec_test::read_file(arc_path);

  // A folder opens for reading but cannot be read.
  Fd folder(dir.path(), O_RDONLY | O_DIRECTORY);
  EXPECT_EQ(xApEncode("folder", folder.get(), arc.get()), 0);
  EXPECT_EQ(xApLastError(), XAP_ERR_READ);
  EXPECT_EQ(codec_test::read_file(arc_path), before);
  EXPECT_EQ(::lseek(arc.get(), 0, SEEK_CUR), static_cast<off_t>(before.size()));

  ASSERT_EQ(pack(arc.get(), "second.txt", codec_test::sample_text(1000, 2)), 1);
  const XApHeader* h = open_listing(arc_path);
  ASSERT_NE(h, nullptr);
  h = xApFindNext();
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(h->name, "second.txt");
}

TEST_F(ArchiveTest, AppendingDescriptorStillGetsItsHeaderRewritten) {
  const std::string arc_path = dir.file("append.nub");
  const Bytes a = codec_test::sample_text(4000, 1), b = codec_test::random_bytes(500, 2);
  {
    Fd arc(arc_path, O_WRONLY | O_CREAT | O_APPEND);
    ASSERT_EQ(pack(arc.get(), "a", a), 1);
    ASSERT_EQ(pack(arc.get(), "b", b), 1);
  }
  const XApHeader* h = open_listing(arc_path);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->original_size, a.size());
  ASSERT_NE(h = xApFindNext(), nullptr);
  EXPECT_EQ(h->original_size, b.size());
  ASSERT_EQ(unpack_to(dir.file("b")), 1);
  EXPECT_EQ(codec_test::read_file(dir.file("b")), b);
}

TEST(OrdinalTable, EntriesAreTheNumberedExports) {
  void* lib = ::dlopen(KELVO_BIN_DIR "/libxNubPack.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << ::dlerror();
  using TableFn = const XApProc* (*)();
  auto table_fn = reinterpret_cast<TableFn>(::dlsym(lib, "xOrdinalTable"));
  ASSERT_NE(table_fn, nullptr);
  const XApProc* table = table_fn();
  EXPECT_EQ(table[0], nullptr);
  const char* names[] = {nullptr,        "xApEncode",   "xApDecode",
                         "xApFindFirst", "xApFindNext", "xApFindClose"};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(reinterpret_cast<void*>(table[i]), ::dlsym(lib, names[i])) << "ordinal " << i;
  }
  ::dlclose(lib);
}

}  // namespace
