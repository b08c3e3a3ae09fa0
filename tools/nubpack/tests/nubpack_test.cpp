// The nubpack command line: making, listing, unpacking and checking archives.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

struct Outcome {
  int status;
  std::string out;
};

// Runs nubpack with `args` (already quoted); stdout and stderr together.
Outcome nubpack(const std::string& args) {
  const std::string cmd = std::string(KELVO_BIN_DIR) + "/nubpack " + args + " 2>&1";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  Outcome r{-1, ""};
  if (!pipe) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

void write_file(const fs::path& p, const Bytes& data) {
  std::ofstream(p, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

Bytes read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes some_bytes(size_t n, unsigned seed, bool text) {
  std::mt19937 gen(seed);
  Bytes out(n);
  for (auto& c : out) c = text ? "abc de\n"[gen() % 7] : static_cast<char>(gen());
  return out;
}

class NubpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = "/tmp/nubpack_test_XXXXXX";
    root = ::mkdtemp(pattern.data());
    fs::create_directory(root / "in");
    fs::create_directory(root / "out");
    files = {{"notes.txt", some_bytes(30000, 1, true)},
             {"empty.dat", {}},
             {"blob.bin", some_bytes(5000, 2, false)}};
    for (const auto& [name, data] : files) write_file(root / "in" / name, data);
    archive = (root / "dist.nub").string();
  }
  void TearDown() override { fs::remove_all(root); }

  std::string packed_args() const {
    std::string args = "a '" + archive + "'";
    for (const auto& f : files) args += " '" + (root / "in" / f.first).string() + "'";
    return args;
  }

  // Flips one byte of the archive at `offset` from its end.
  void damage(size_t from_end) {
    Bytes a = read_file(archive);
    a[a.size() - from_end] ^= 0x40;
    write_file(archive, a);
  }

  fs::path root;
  std::string archive;
  std::vector<std::pair<std::string, Bytes>> files;
};

TEST_F(NubpackTest, PackListUnpackAndCheck) {
  ASSERT_EQ(nubpack(packed_args()).status, 0);

  const Outcome listing = nubpack("l '" + archive + "'");
  ASSERT_EQ(listing.status, 0) << listing.out;
  EXPECT_NE(listing.out.find("     30000 "), std::string::npos) << listing.out;
  EXPECT_NE(listing.out.find("         0          0 00000000 "), std::string::npos) << listing.out;
  for (const auto& f : files) EXPECT_NE(listing.out.find(" " + f.first + "\n"), std::string::npos);

  const Outcome check = nubpack("t '" + archive + "'");
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("3 members OK"), std::string::npos);

  ASSERT_EQ(nubpack("x '" + archive + "' '" + (root / "out").string() + "'").status, 0);
  for (const auto& [name, data] : files) {
    EXPECT_EQ(read_file(root / "out" / name), data) << name;
    // Stored times count 100-ns steps.
    const auto drift =
        fs::last_write_time(root / "in" / name) - fs::last_write_time(root / "out" / name);
    EXPECT_GE(drift.count(), 0) << name;
    EXPECT_LT(drift, std::chrono::nanoseconds(100)) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "out"), fs::directory_iterator()), 3);

  // Appending later keeps what is there.
  ASSERT_EQ(nubpack("a '" + archive + "' '" + (root / "in" / "blob.bin").string() + "'").status, 0);
  EXPECT_NE(nubpack("t '" + archive + "'").out.find("4 members OK"), std::string::npos);
}

TEST_F(NubpackTest, DamagedArchiveIsRefusedAndNothingIsUnpacked) {
  ASSERT_EQ(nubpack(packed_args()).status, 0);
  damage(100);  // inside the last member's compressed bytes
  const Outcome x = nubpack("x '" + archive + "' '" + (root / "out").string() + "'");
  EXPECT_EQ(x.status, 1);
  EXPECT_NE(x.out.find("checksum mismatch"), std::string::npos) << x.out;
  for (const char* cmd : {"l", "t"}) {
    const Outcome r = nubpack(std::string(cmd) + " '" + archive + "'");
    EXPECT_EQ(r.status, 1) << cmd;
    EXPECT_NE(r.out.find("damaged archive"), std::string::npos) << r.out;
  }
  EXPECT_TRUE(fs::is_empty(root / "out"));

  // Appending to it would hide the new members behind the damage.
  const auto size = fs::file_size(archive);
  const Outcome add = nubpack("a '" + archive + "' '" + (root / "in" / "notes.txt").string() + "'");
  EXPECT_EQ(add.status, 1);
  EXPECT_NE(add.out.find("nothing appended"), std::string::npos) << add.out;
  EXPECT_EQ(fs::file_size(archive), size);
}

TEST_F(NubpackTest, MissingInputsAndBadUsage) {
  EXPECT_EQ(nubpack("").status, 1);
  EXPECT_EQ(nubpack("q '" + archive + "'").status, 1);
  EXPECT_EQ(nubpack("a '" + archive + "'").status, 1);
  const Outcome missing = nubpack("l '" + (root / "none.nub").string() + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("No such file"), std::string::npos) << missing.out;
  const Outcome folder = nubpack("a '" + archive + "' '" + (root / "in").string() + "'");
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.out.find("not a regular file"), std::string::npos) << folder.out;
  const Outcome no_target = nubpack(packed_args());
  ASSERT_EQ(no_target.status, 0);
  const Outcome x = nubpack("x '" + archive + "' '" + (root / "nowhere").string() + "'");
  EXPECT_EQ(x.status, 1) << x.out;
}

}  // namespace
