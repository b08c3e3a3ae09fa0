// Project files: round trip, byte layout, refusal of damaged files and
// saves that fail half-way.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "store_fixture.h"

namespace {

class ProjectFileTest : public StoreTest {
 protected:
  std::string Save(ProjectDb* db, const char* name, int16_t openSummary = 0) {
    const std::string path = (root_ / name).string();
    EXPECT_EQ(xSaveDB(db, info_, path.c_str(), openSummary), 1);
    return path;
  }
  void SetInfo() {
    strcpy(reinterpret_cast<char*>(info_), "P-001");
    strcpy(reinterpret_cast<char*>(info_) + 11, "시험 프로젝트");
    info_[198] = 12;
  }
};

TEST_F(ProjectFileTest, InitializeTakesFieldLayoutsFromTheReferenceFile) {
  ASSERT_EQ(db_.act.tb.fieldCount, 40);
  EXPECT_EQ(db_.act.tb.fields[0].offset, 216);  // the activity code comes first
  EXPECT_EQ(db_.act.tb.fields[31].offset, 46);  // the quantity is the 32nd field
  EXPECT_EQ(db_.wbs.tb.fieldCount, 10);
  EXPECT_EQ(db_.rel.tb.fields[2].type, 13);
  for (TableBinding* t : {&db_.obs, &db_.res, &db_.crw, &db_.opr}) EXPECT_GT(t->tb.fieldCount, 0);
}

TEST_F(ProjectFileTest, SaveReadSaveGivesTheSameBytes) {
  SetInfo();
  FillProject(&db_);
  const std::string first = Save(&db_, "first.kvp");

  ProjectDb& copy = *NewDb();
  uint8_t info[XQD_INFO_SIZE] = {};
  ASSERT_EQ(xReadDB(&copy, info, first.c_str()), 1);
  EXPECT_EQ(memcmp(info, info_, sizeof info), 0);
  EXPECT_EQ(copy.act.tb.liveCount, 3u);  // the deleted slot is kept
  EXPECT_EQ(copy.act.tb.slotCount, 4u);
  EXPECT_EQ(copy.act.tb.fieldCount, 40);
  EXPECT_EQ(copy.actCodes.count, 4u);
  EXPECT_EQ(copy.objects.count, 2u);
  EXPECT_EQ(ReadBytes(Member(&copy, "3")), ReadBytes(Member(&db_, "3")));
  EXPECT_EQ(ReadBytes(Member(&copy, "0000001A.bmp")).size(), 16u);
  EXPECT_EQ(ReadBytes(Member(&copy, "a20")).size(), 14u);
  EXPECT_TRUE(fs::exists(Member(&copy, "a25")));

  copy.act.tb.current = 3;
  ActRecord a;
  ASSERT_EQ(xGetRec(&copy.act.tb, &a), 1);
  EXPECT_STREQ(a.code, "ACT03");

  const std::string second = Save(&copy, "second.kvp");
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));
}

TEST_F(ProjectFileTest, HeaderOffsetsCountsAndInformationBlock) {
  SetInfo();
  FillProject(&db_);
  const std::vector<uint8_t> b = ReadBytes(Save(&db_, "p.kvp"));
  ASSERT_GT(b.size(), 328u);
  // Engine header: "Qz", kind 100, 130, 0; project magic.
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 12),
            (std::vector<uint8_t>{'Q', 'z', 100, 0, 130, 0, 0, 0, 0x65, 0x50, 0x64, 0x00}));
  EXPECT_EQ(memcmp(&b[128], info_, 200), 0);
  auto head = [&](int at) { return U32At(b, 8 + at); };
  EXPECT_EQ(head(4), 328u);  // option file right after the information block
  EXPECT_EQ(head(8), 328u + 4 + U32At(b, 328));
  EXPECT_EQ(U32At(b, head(8)), 2u);  // drawing objects
  // Classification section starts with the wbs table image: 2 live of 3
  // slots, free head 1, record length 146, 10 fields.
  const uint32_t wbs = head(12);
  EXPECT_EQ(wbs, head(8) + 4 + 2 * 28);
  EXPECT_EQ(U32At(b, wbs), 2u);
  EXPECT_EQ(U32At(b, wbs + 4), 1u);
  EXPECT_EQ(U32At(b, wbs + 8), 3u);
  EXPECT_EQ(b[wbs + 12] | b[wbs + 13] << 8, 146);
  EXPECT_EQ(b[wbs + 14] | b[wbs + 15] << 8, 10);
  for (int at = 12; at < 32; at += 4) EXPECT_LT(head(at), head(at + 4)) << at;
  // The activity section begins with the act table (3 live of 4 slots).
  EXPECT_EQ(U32At(b, head(24)), 3u);
  EXPECT_EQ(U32At(b, head(24) + 8), 4u);
  EXPECT_EQ(head(36), 0u);
  for (int at = 48; at < 80; at += 4) EXPECT_EQ(head(at), 0u) << at;
  // Summary section: one file named "3".
  const uint32_t sums = head(40);
  EXPECT_EQ(U32At(b, sums), 1u);
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + sums + 4, b.begin() + sums + 8),
            (std::vector<uint8_t>{'3', 0, 0, 0}));
  EXPECT_EQ(U32At(b, sums + 8), ReadBytes(Member(&db_, "3")).size());
  // Picture section: one 26-byte zero-padded name.
  const uint32_t pics = head(44);
  EXPECT_EQ(U32At(b, pics), 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[pics + 4])), "0000001A.bmp");
  EXPECT_EQ(b[pics + 4 + 25], 0);
  EXPECT_EQ(U32At(b, pics + 30), 16u);
  // Working files: a20 and a25 exist, the others do not.
  for (int i = 0; i < 10; ++i) {
    const uint32_t at = head(80 + 4 * i);
    EXPECT_EQ(at != 0, i == 0 || i == 5) << i;
  }
  EXPECT_EQ(U32At(b, head(80)), 14u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[head(80) + 4]), 14), "gantt settings");
  EXPECT_EQ(U32At(b, head(100)), 0u);
  EXPECT_EQ(head(100) + 4, b.size());
}

TEST_F(ProjectFileTest, EmptyProjectHasZeroCountsWhereItsOffsetsPoint) {
  const std::vector<uint8_t> b = ReadBytes(Save(&db_, "empty.kvp"));
  const uint32_t sums = U32At(b, 8 + 40), pics = U32At(b, 8 + 44);
  EXPECT_EQ(U32At(b, sums), 0u);
  EXPECT_EQ(pics, sums + 4);
  EXPECT_EQ(U32At(b, pics), 0u);
  EXPECT_EQ(b.size(), pics + 4u);
}

TEST_F(ProjectFileTest, GetPrjInfoAcceptsOnlyProjectFiles) {
  SetInfo();
  const std::string project = Save(&db_, "p.kvp");
  uint8_t info[XQD_INFO_SIZE] = {};
  ASSERT_EQ(xGetPrjInfo(project.c_str(), info), 1);
  EXPECT_EQ(memcmp(info, info_, sizeof info), 0);

  const std::string settings = (root_ / "p.opt").string();
  ASSERT_EQ(xSaveMiscFormat(&db_, info_, settings.c_str()), 1);
  std::vector<uint8_t> wrongKind = ReadBytes(project);
  wrongKind[2] = 99;
  WriteBytes(root_ / "kind.kvp", wrongKind);
  std::vector<uint8_t> short_file = ReadBytes(project);
  short_file.resize(300);
  WriteBytes(root_ / "short.kvp", short_file);
  std::ofstream(root_ / "text.kvp") << "not a project at all, just some text that is long enough";
  for (const char* name : {"p.opt", "kind.kvp", "short.kvp", "text.kvp"}) {
    xSetDbError(0);
    EXPECT_EQ(xGetPrjInfo((root_ / name).c_str(), info), 0) << name;
    EXPECT_EQ(xGetDbError(), 21006) << name;
  }
  EXPECT_EQ(xGetPrjInfo((root_ / "missing.kvp").c_str(), info), 0);
}

TEST_F(ProjectFileTest, DamagedFilesAreRefusedWithoutLeavingFiles) {
  FillProject(&db_);
  const std::vector<uint8_t> good = ReadBytes(Save(&db_, "good.kvp"));
  std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
  for (size_t len = 0; len < good.size(); len += good.size() / 61 + 1) {
    cases.push_back(
        {"cut at " + std::to_string(len), std::vector<uint8_t>(good.begin(), good.begin() + len)});
  }
  cases.push_back({"last byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1)});
  auto patched = [&](const char* what, size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    PutU32At(&b, at, value);
    cases.push_back({what, b});
  };
  const uint32_t objects = U32At(good, 16), wbs = U32At(good, 20), act = U32At(good, 32);
  const uint32_t sums = U32At(good, 48), pics = U32At(good, 52);
  patched("option offset past the end", 12, static_cast<uint32_t>(good.size() + 100));
  patched("option length past the end", 328, 0x7FFFFFF0);
  patched("a20 offset past the end", 88, static_cast<uint32_t>(good.size()));
  patched("gigabytes of objects", objects, 0x7FFFFFFF);
  patched("gigabytes of slots", wbs + 8, 0x10000000);
  patched("live count above slots", act, 9);
  patched("free list leaves the table", act + 4, 77);
  patched("summary count above 48", sums, 49);
  std::vector<uint8_t> escape = good;
  memcpy(&escape[pics + 4], "../../x.bmp\0", 12);
  cases.push_back({"picture name with a path", escape});
  std::vector<uint8_t> field = good;
  field[wbs + 16 + 40] = 200;  // first wbs descriptor's offset beyond the record
  cases.push_back({"field outside its record", field});

  for (const auto& [what, bytes] : cases) {
    WriteBytes(root_ / "bad.kvp", bytes);
    ProjectDb db;
    Create(&db);
    const std::set<std::string> before = FilesIn(work_);
    uint8_t info[XQD_INFO_SIZE];
    EXPECT_EQ(xReadDB(&db, info, (root_ / "bad.kvp").c_str()), 0) << what;
    EXPECT_EQ(FilesIn(work_), before) << what;
    EXPECT_EQ(db.act.tb.liveCount, 0u) << what;
    Close(&db);
  }
}

TEST_F(ProjectFileTest, ReadReportsRisingFractionsEndingAtOneOnlyOnSuccess) {
  FillProject(&db_);
  const std::string good = Save(&db_, "good.kvp");
  const auto read = [&](const std::string& path, std::vector<double>* seen) {
    uint8_t info[XQD_INFO_SIZE];
    return xReadDBProgress(
        NewDb(), info, path.c_str(),
        seen ? [](void* c, double f) { static_cast<std::vector<double>*>(c)->push_back(f); }
             : xReadProgressFn{},
        seen);
  };
  std::vector<double> seen;
  ASSERT_EQ(read(good, &seen), 1);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_GT(seen.front(), 0.0);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]) << i;
  EXPECT_EQ(seen.back(), 1.0);
  EXPECT_EQ(read(good, nullptr), 1);  // no listener: a plain read

  std::vector<uint8_t> bytes = ReadBytes(good);
  bytes.resize(bytes.size() - 10);  // the last section cut short
  WriteBytes(root_ / "cut.kvp", bytes);
  seen.clear();
  EXPECT_EQ(read((root_ / "cut.kvp").string(), &seen), 0);
  EXPECT_TRUE(std::find(seen.begin(), seen.end(), 1.0) == seen.end());
}

TEST_F(ProjectFileTest, FailedSaveLeavesThePreviousFileIntact) {
  FillProject(&db_);
  const std::string path = Save(&db_, "keep.kvp");
  const std::vector<uint8_t> before = ReadBytes(path);
  ActRecord a = {};
  for (int i = 0; i < 200; ++i) {
    snprintf(a.code, sizeof a.code, "MORE%03d", i);
    Add(&db_.act, &a);
  }
  // Let the disk "fill up" half-way through the new file.
  signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = before.size() / 2;
  setrlimit(RLIMIT_FSIZE, &small);
  const int32_t saved = xSaveDB(&db_, info_, path.c_str(), 0);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(FilesIn(root_), (std::set<std::string>{"keep.kvp", "work"}));
  // A folder that does not exist fails cleanly too.
  EXPECT_EQ(xSaveDB(&db_, info_, (root_ / "no/such/dir.kvp").c_str(), 0), 0);
}

// A failed save says why, whichever write met the failure: the store's own
// (a limit inside the header) or the engine's (inside the tables), and an
// open that cannot be made.
TEST_F(ProjectFileTest, FailedSavesReportTheirCause) {
  FillProject(&db_);
  const std::string path = Save(&db_, "keep.kvp");
  const size_t size = ReadBytes(path).size();
  signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  for (size_t limit : {size_t{60}, size / 2}) {
    rlimit small = old;
    small.rlim_cur = limit;
    xSetDbError(0);
    setrlimit(RLIMIT_FSIZE, &small);
    const int32_t saved = xSaveDB(&db_, info_, path.c_str(), 0);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(saved, 0) << limit;
    EXPECT_EQ(xGetDbError(), 21009) << limit;  // EFBIG: the file may not grow
  }
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(xSaveDB(&db_, info_, (root_ / "no/such/dir.kvp").c_str(), 0), 0);
  EXPECT_EQ(xGetDbError(), 21002);
  EXPECT_EQ(xSaveMiscFormat(&db_, info_, (root_ / "no/such/dir.opt").c_str()), 0);
  EXPECT_EQ(xGetDbError(), 21002);
  EXPECT_EQ(xSaveDB(&db_, info_, work_.c_str(), 0), 0);  // a folder in the way
  EXPECT_EQ(xGetDbError(), 21005);
  if (geteuid() != 0) {  // root writes anywhere
    fs::create_directory(root_ / "locked");
    fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(xSaveDB(&db_, info_, (root_ / "locked/p.kvp").c_str(), 0), 0);
    EXPECT_EQ(xGetDbError(), 21005);
  }
}

// The replacement keeps the permissions of the file it replaces; a new file
// gets 0666 less the umask.
TEST_F(ProjectFileTest, SavingKeepsTheModeOfTheFileItReplaces) {
  const std::string path = (root_ / "private.kvp").string();
  auto modeOf = [](const std::string& p) {
    struct stat st;
    EXPECT_EQ(stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
  };
  const mode_t oldMask = umask(022);
  Save(&db_, "private.kvp");
  EXPECT_EQ(modeOf(path), 0644u);
  for (mode_t mode : {0600, 0640, 0444}) {
    chmod(path.c_str(), mode);
    Save(&db_, "private.kvp");
    EXPECT_EQ(modeOf(path), mode);
  }
  umask(077);
  Save(&db_, "new.kvp");
  EXPECT_EQ(modeOf((root_ / "new.kvp").string()), 0600u);
  umask(oldMask);
}

// A project reached through a link opens, and saving writes the file the
// link leads to and leaves the link in place.
TEST_F(ProjectFileTest, ProjectsThroughLinks) {
  SetInfo();
  FillProject(&db_);
  const std::string real = Save(&db_, "real.kvp");
  const fs::path link = root_ / "link.kvp";
  fs::create_symlink(real, link);
  uint8_t info[XQD_INFO_SIZE] = {};
  EXPECT_EQ(xGetPrjInfo(link.c_str(), info), 1);
  ProjectDb& copy = *NewDb();
  ASSERT_EQ(xReadDB(&copy, info, link.c_str()), 1);
  EXPECT_EQ(copy.act.tb.liveCount, 3u);
  ActRecord a = {};
  strcpy(a.code, "VIA-LINK");
  copy.act.tb.current = -1;
  Add(&copy.act, &a);
  ASSERT_EQ(xSaveDB(&copy, info, link.c_str(), 0), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), ReadBytes(link));
  EXPECT_NE(ReadBytes(real), ReadBytes(Save(&db_, "other.kvp")));
  EXPECT_EQ(FilesIn(root_), (std::set<std::string>{"real.kvp", "link.kvp", "other.kvp", "work"}));
}

// Only regular files are read: a FIFO is refused at once (never waited on),
// and so is a folder.
TEST_F(ProjectFileTest, OnlyRegularFilesAreRead) {
  const std::string fifo = (root_ / "pipe.kvp").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(20);  // a hang ends this test program, not the whole run
  uint8_t info[XQD_INFO_SIZE];
  for (const std::string& path : {fifo, work_.string()}) {
    xSetDbError(0);
    EXPECT_EQ(xGetPrjInfo(path.c_str(), info), 0) << path;
    EXPECT_EQ(xGetDbError(), 21006) << path;
    EXPECT_EQ(xReadDB(NewDb(), info, path.c_str()), 0) << path;
    EXPECT_EQ(xReadMiscFormat(&db_, info, path.c_str()), 0) << path;
  }
  alarm(0);
}

TEST_F(ProjectFileTest, SavingWithTheOpenSummaryKeepsItOpen) {
  FillProject(&db_);
  int16_t current = 0;
  ASSERT_EQ(xOpenSumFile(&db_, &current, 3), 1);
  const int32_t handle = db_.summary.table.tb.handle;
  const std::string path = Save(&db_, "open.kvp", 3);
  EXPECT_EQ(db_.summary.table.tb.handle, handle);
  EXPECT_EQ(db_.summary.number, 3);
  const std::vector<uint8_t> b = ReadBytes(path);
  EXPECT_EQ(U32At(b, U32At(b, 48)), 1u);
}

}  // namespace
