// Whole projects out to dBASE file sets and back, through the registry and
// loader the main program uses.
#include <cstdlib>

#include "dbase_fixture.h"
#include "kvdbf.h"

namespace {

const char* const kTags[] = {"", "Str", "Wbs", "Obs", "Res", "Crw", "Act", "Spa", "Rel", "Opr"};

std::string Member(const std::string& path, const char* tag) {
  const size_t dot = path.find_last_of('.');
  return path.substr(0, dot) + tag + path.substr(dot);
}

// Rewrites one file of a set with the given change to its records.
template <typename Change>
void Rewrite(const std::string& path, Change change, std::vector<kvdbf::Column> extra = {},
             size_t dropColumns = 0) {
  kvdbf::Reader r;
  ASSERT_TRUE(r.open(path));
  std::vector<kvdbf::Column> cols = r.columns();
  cols.resize(cols.size() - dropColumns);
  for (auto& c : extra) cols.push_back(c);
  kvdbf::Writer w;
  ASSERT_TRUE(w.create(path, cols, 0));
  for (uint32_t i = 0; r.seek(i); ++i) {
    for (size_t c = 0; c + extra.size() < cols.size(); ++c) w.setText(c, r.text(c));
    if (change(w, i)) {
      ASSERT_TRUE(w.append());
    }
  }
  ASSERT_TRUE(w.close());
}

TEST_F(DbaseTest, ExportImportExportGivesTheSameFiles) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string first = Path("one/Plan.dbf"), second = Path("two/Plan.dbf");
  fs::create_directories(root_ / "one");
  fs::create_directories(root_ / "two");
  ASSERT_EQ(Export(a, first).message, 0);
  for (const char* tag : kTags) EXPECT_TRUE(fs::exists(Member(first, tag))) << tag;
  EXPECT_TRUE(fs::exists(Path("one/PlanEtc.opt")));

  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  const kvconv::Outcome in = Import(first, &b, &scheme, info);
  ASSERT_EQ(in.message, 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(memcmp(&scheme, &scheme_, sizeof scheme), 0);
  EXPECT_STREQ(info + 11, info_ + 11);
  EXPECT_EQ(b->act.tb.liveCount, 4u);
  EXPECT_EQ(b->spa.count, 1u);

  ASSERT_EQ(Export(b, second).message, 0);
  for (const char* tag : kTags)
    EXPECT_EQ(readFile(Member(first, tag)), readFile(Member(second, tag))) << tag;
}

TEST_F(DbaseTest, ExportedFilesOpenInAnIndependentReader) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.dbf");
  ASSERT_EQ(Export(a, path).message, 0);
  for (const char* tag : kTags) {
    const std::string cmd =
        "/usr/bin/python3 -c \"import dbfread,sys\n"
        "t=dbfread.DBF(sys.argv[1],encoding='cp949')\n"
        "print(len(list(t)))\" " +
        Member(path, tag) + " > " + Path("count.txt");
    ASSERT_EQ(std::system(cmd.c_str()), 0) << tag;
    kvdbf::Reader r;
    ASSERT_TRUE(r.open(Member(path, tag)));
    EXPECT_EQ(readFile(Path("count.txt")), std::to_string(r.recordCount()) + "\n") << tag;
  }
  // Values as the project holds them: the first activity row.
  const std::string cmd =
      "/usr/bin/python3 -c \"import dbfread,sys\n"
      "r=list(dbfread.DBF(sys.argv[1],encoding='cp949'))[0]\n"
      "print(r['CODE'],r['W_CODE'],r['O_CODE'],r['DU'],r['QTY'],r['START'])\" " +
      Member(path, "Act") + " > " + Path("act.txt");
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(readFile(Path("act.txt")), "ACT-1 A1001 101 5 100.125 2024-03-04\n");
}

TEST_F(DbaseTest, ImportEdgeCases) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.dbf");
  ASSERT_EQ(Export(a, path).message, 0);

  // A deleted record in the resource file is skipped.
  {
    kvdbf::Reader r;
    ASSERT_TRUE(r.open(Member(path, "Res")));
    std::string bytes = readFile(Member(path, "Res"));
    const uint32_t header = 32 * static_cast<uint32_t>(r.columnCount()) + 33;
    bytes[header] = '*';
    std::ofstream(Member(path, "Res"), std::ios::binary) << bytes;
  }
  // An extra N 12.0 column on the activities becomes a double field.
  Rewrite(Member(path, "Act"),
          [](kvdbf::Writer& w, uint32_t) {
            w.setInt(w.columns().size() - 1, 123456789012);
            return true;
          },
          {{"EXTRA", 'N', 12, 0}});

  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  ASSERT_EQ(Import(path, &b, &scheme, info).message, 0);
  EXPECT_EQ(b->res.tb.liveCount, 1u);
  ASSERT_EQ(b->act.tb.fieldCount, a->act.tb.fieldCount + 1);
  const FieldDesc& extra = b->act.tb.fields[b->act.tb.fieldCount - 1];
  EXPECT_STREQ(extra.name, "EXTRA");
  EXPECT_EQ(extra.type, XF_DOUBLE);
  b->act.tb.current = -1;
  ASSERT_EQ(xMoveNext(&b->act.tb), 1);
  std::vector<char> rec(b->act.tb.recordSize);
  ASSERT_EQ(xGetRec(&b->act.tb, rec.data()), 1);
  double v;
  memcpy(&v, rec.data() + extra.offset, sizeof v);
  EXPECT_EQ(v, 123456789012.0);
}

TEST_F(DbaseTest, FewerColumnsThanFieldsFailTheImport) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.dbf");
  ASSERT_EQ(Export(a, path).message, 0);
  Rewrite(
      Member(path, "Rel"), [](kvdbf::Writer&, uint32_t) { return true; }, {}, 1);
  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  const kvconv::Outcome o = Import(path, &b, &scheme, info);
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.message, XKV_MSG_FAILED);
}

TEST_F(DbaseTest, DamagedOrMissingMembersFailTheImport) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.dbf");
  ASSERT_EQ(Export(a, path).message, 0);
  const fs::path saved = root_ / "saved";
  fs::create_directory(saved);
  for (const auto& e : fs::directory_iterator(root_))
    if (e.is_regular_file()) fs::copy_file(e.path(), saved / e.path().filename());
  auto restore = [&] {
    for (const auto& e : fs::directory_iterator(saved))
      fs::copy_file(e.path(), root_ / e.path().filename(), fs::copy_options::overwrite_existing);
  };
  // Each failure names the member and the reason.
  auto fails = [&](const std::string& member, const char* why) {
    ProjectDb* b = nullptr;
    XKvScheme scheme{};
    char info[XQD_INFO_SIZE];
    testing::internal::CaptureStderr();
    const kvconv::Outcome o = Import(path, &b, &scheme, info);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(o.result, 0) << why;
    EXPECT_EQ(o.message, XKV_MSG_FAILED) << why;
    EXPECT_NE(said.find(member + ": "), std::string::npos) << said;
    EXPECT_NE(said.find(why), std::string::npos) << said;
    restore();
  };
  fs::remove(Member(path, "Obs"));
  fails(Member(path, "Obs"), "No such file");
  fs::resize_file(Member(path, "Act"), 20);
  fails(Member(path, "Act"), "short header");
  // The optional members may be missing, but not damaged.
  fs::resize_file(Member(path, "Spa"), 20);
  fails(Member(path, "Spa"), "short header");
  fs::resize_file(Path("PlanEtc.opt"), 100);
  fails(Path("PlanEtc.opt"), "settings");
  {
    std::string b = readFile(Member(path, "Str"));
    b.resize(b.size() - 30);  // the last level record cut short
    std::ofstream(Member(path, "Str"), std::ios::binary) << b;
  }
  fails(Member(path, "Str"), "records beyond the file");
  {
    std::string b = readFile(path);
    b.replace(32 * 13 + 33 + 1, 4, "  99");  // the first record's "VERSION"
    std::ofstream(path, std::ios::binary) << b;
  }
  fails(path, "VERSION 99");
  {
    std::string b = readFile(Member(path, "Wbs"));
    b[10] = '\xFF';
    b[11] = '\x7F';  // record length beyond the file
    std::ofstream(Member(path, "Wbs"), std::ios::binary) << b;
  }
  fails(Member(path, "Wbs"), "records beyond the file");
  {
    std::string b = readFile(Member(path, "Res"));
    b[32] = 0x0D;  // no columns
    std::ofstream(Member(path, "Res"), std::ios::binary) << b;
  }
  fails(Member(path, "Res"), "no columns");
  // The plain set still imports after all that, and so does one without
  // its time-shared entries and settings.
  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  EXPECT_EQ(Import(path, &b, &scheme, info).message, 0);
  EXPECT_EQ(b->spa.count, 1u);
  fs::remove(Member(path, "Spa"));
  fs::remove(Path("PlanEtc.opt"));
  EXPECT_EQ(Import(path, &b, &scheme, info).message, 0);
  EXPECT_EQ(b->spa.count, 0u);
}

TEST_F(DbaseTest, NoExternalEditor) {
  kvconv::writeRegistrations(*settings_, {{{"dbf", "dBASE", "xKvDbf.so"}}, "dbf"});
  XKvRequest r{};
  r.path = "";
  EXPECT_EQ(kvconv::editorCall(*settings_, KELVO_BIN_DIR, XKV_EXP_TB, r).message, XKV_MSG_FAILED);
  EXPECT_EQ(kvconv::editorCall(*settings_, KELVO_BIN_DIR, XKV_IMP_TB, r).message, XKV_MSG_FAILED);
}

}  // namespace
