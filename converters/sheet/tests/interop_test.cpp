// Workbooks against an independent reader and writer (python3-openpyxl), and
// whole projects through kvcli export, import and dump.
#include <fstream>
#include <sstream>

#include "sheet_fixture.h"
#include "xjor/option.h"

namespace {

const char* const kTables[] = {"wbs", "obs", "res", "crw", "act", "rel", "opr"};

class SheetCli : public SheetTest {
 protected:
  // Runs a command with the test's own settings folder; output of both
  // streams in *out.
  int Run(const std::string& command, std::string* out = nullptr) {
    const CliRun run = runCommand("XDG_CONFIG_HOME=" + Path("cfg") + " " + command);
    if (out) *out = run.out;
    return run.status;
  }
  int Kvcli(const std::string& args, std::string* out = nullptr) {
    return Run(std::string(KELVO_BIN_DIR) + "/kvcli " + args, out);
  }
  int Python(const std::string& script, const std::string& args, std::string* out) {
    std::ofstream(Path("script.py")) << script;
    return Run("/usr/bin/python3 " + Path("script.py") + " " + args, out);
  }

  // The fixture's project saved as a project file, its scheme in the
  // option file where the document keeps it.
  std::string SaveProject() {
    ProjectDb* db = NewDb();
    FillProject(db);
    EXPECT_EQ(xOption(&db->opt, XOPT_WRITE, 1, &scheme_, sizeof scheme_), 1);
    const std::string path = Path("P.kvp");
    EXPECT_EQ(xSaveDB(db, info_, path.c_str(), 0), 1);
    EXPECT_EQ(Kvcli("register xlsx Excel xKvXls.so"), 0);
    return path;
  }

  // A field of the first dump row whose first field is key.
  static std::string DumpField(const std::string& dump, const std::string& key, size_t index) {
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
      if (line.compare(0, key.size() + 1, key + ",") != 0) continue;
      std::vector<std::string> fields;
      std::istringstream parts(line);
      for (std::string f; std::getline(parts, f, ',');) fields.push_back(f);
      return index < fields.size() ? fields[index] : "";
    }
    return "";
  }
};

TEST_F(SheetCli, RoundTripThroughKvcliKeepsEveryTable) {
  const std::string p = SaveProject();
  std::string out;
  ASSERT_EQ(Kvcli("export " + p + " " + Path("P.xlsx"), &out), 0) << out;
  ASSERT_EQ(Kvcli("import " + Path("P.xlsx") + " " + Path("Q.kvp"), &out), 0) << out;
  for (const char* t : kTables) {
    std::string before, after;
    ASSERT_EQ(Kvcli("dump " + p + " " + t, &before), 0) << before;
    ASSERT_EQ(Kvcli("dump " + Path("Q.kvp") + " " + t, &after), 0) << after;
    EXPECT_GT(std::count(before.begin(), before.end(), '\n'), 1) << t;
    EXPECT_EQ(before, after) << t;
  }
  ASSERT_EQ(Kvcli("check " + Path("Q.kvp"), &out), 0) << out;
}

TEST_F(SheetCli, ADamagedSheetLeavesNoProject) {
  const std::string p = SaveProject();
  std::string out;
  ASSERT_EQ(Kvcli("export " + p + " " + Path("P.xlsx"), &out), 0) << out;
  // The activities' sheet ends in the middle of a row.
  const std::string act = Member(Path("P.xlsx"), "xl/worksheets/sheet5.xml");
  ReplaceMember(Path("P.xlsx"), "xl/worksheets/sheet5.xml", act.substr(0, act.size() / 2));
  EXPECT_NE(Kvcli("import " + Path("P.xlsx") + " " + Path("Q.kvp"), &out), 0);
  EXPECT_NE(out.find("sheet5.xml: ends early"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(Path("Q.kvp")));
  // A workbook saved in the old binary format is no zip: refused too.
  std::ofstream(Path("old.xls")) << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  ASSERT_EQ(Kvcli("register xls Excel97 xKvXls.so"), 0);
  EXPECT_NE(Kvcli("import " + Path("old.xls") + " " + Path("Q.kvp"), &out), 0);
  EXPECT_NE(out.find("not a workbook"), std::string::npos) << out;
}

TEST_F(SheetCli, OpenpyxlReadsAnExportedWorkbook) {
  const std::string p = SaveProject();
  std::string out;
  ASSERT_EQ(Kvcli("export " + p + " " + Path("P.xlsx"), &out), 0) << out;
  const char* script = R"(
import sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print(len(wb.sheetnames), '|'.join(wb.sheetnames))
act = wb['작업']
heads = [c.value for c in act[2][1:]]
print(heads[0], heads[31], heads[4])
for row in act.iter_rows(min_row=3, min_col=2):
    if row[0].value == 'ACT-1':
        q, s = row[31], row[4]
        print(type(q.value).__name__, q.value, q.number_format)
        print(isinstance(s.value, datetime.datetime), s.value.strftime('%Y-%m-%d'),
              s.value.strftime('%y-%m-%d'), s.number_format)
wbs = wb['공종 분류']
print(wbs['B2'].value, wbs['C2'].value, wbs['D2'].value, wbs['B4'].value, wbs['C4'].value)
)";
  ASSERT_EQ(Python(script, Path("P.xlsx"), &out), 0) << out;
  std::istringstream lines(out);
  std::string names, heads, quantity, start, classes;
  std::getline(lines, names);
  std::getline(lines, heads);
  std::getline(lines, quantity);
  std::getline(lines, start);
  std::getline(lines, classes);
  EXPECT_EQ(names,
            "9 프로젝트 정보|공종 분류|시설 분류|자원|작업|시분할 작업|선후행 관계|작업조|세부 "
            "작업조");
  EXPECT_EQ(heads, "[작업코드] [수량] [시작일]");
  EXPECT_EQ(classes, "#1[Level 1]2 #2[Level 2]3 [공종명] A1 001");

  // Numbers and real dates equal to what kvcli dump shows.
  std::string dump;
  ASSERT_EQ(Kvcli("dump " + p + " act", &dump), 0);
  EXPECT_EQ(quantity, "float " + DumpField(dump, "ACT-1", 31) + " #,##0.000_ ");
  const std::string day = DumpField(dump, "ACT-1", 4);
  ASSERT_FALSE(day.empty());
  EXPECT_EQ(start.compare(0, 5, "True "), 0) << start;
  EXPECT_NE(start.find(" " + day + " "), std::string::npos) << start << " vs " << day;
}

TEST_F(SheetCli, AWorkbookWrittenByOpenpyxlImports) {
  ASSERT_EQ(Kvcli("register xlsx Excel xKvXls.so"), 0);
  // Texts, numbers, real dates, and a formula whose cached value is put in
  // by hand (openpyxl writes formulas without one).
  const char* script = R"(
import sys, re, zipfile, datetime, openpyxl
from openpyxl.utils.escape import escape
wb = openpyxl.Workbook()
info = wb.active
info.title = '프로젝트 정보'
values = ['OPX', '오픈 공사', '발주처', 'KRW', datetime.datetime(2025, 4, 1),
          datetime.datetime(2025, 12, 31), None, None, datetime.datetime(2025, 4, 1), 2,
          '비고', '홍길동']
for i, v in enumerate(values):
    info.cell(row=2 + i, column=2, value='label')
    info.cell(row=2 + i, column=3, value=v)
w = wb.create_sheet('공종 분류')
for c, h in enumerate(['#1[대]1', '#2[중]2', '[공종명]', '[규격]', '[단위]', '[공종수량]']):
    w.cell(row=2, column=2 + c, value=h)
w.append([None, 'A', None, '토공'])
w.append([None, 'A', '01', '터파기', None, 'm3', 125.5])
o = wb.create_sheet('시설 분류')
o.cell(row=2, column=2, value='#1[동]1')
o.cell(row=2, column=3, value='[시설명]')
o.append([None, '1', '1동'])
r = wb.create_sheet('자원')
r.append([])
r.append([None, '[자원코드]', '[자원명]'])
r.append([None, 'R1', escape('인\x0b부')])  # cells take control characters escaped
a = wb.create_sheet('작업')
a.append([])
a.append([None, '[작업코드]'])
a.append([None, 'T-1', '터파기 1동', '=2+3', None, datetime.datetime(2025, 4, 7)] + [None] * 21
         + ['A01', '1'] + [None] * 3 + [42.25])
for name in ['시분할 작업', '선후행 관계', '작업조', '세부 작업조']:
    wb.create_sheet(name)
wb.save(sys.argv[1])
src = zipfile.ZipFile(sys.argv[1])
parts = {n: src.read(n) for n in src.namelist()}
src.close()
sheet = 'xl/worksheets/sheet5.xml'
text = parts[sheet].decode()
text, n = re.subn(r'<f>2\+3</f>(<v\s*/>|<v></v>)?', '<f>2+3</f><v>5</v>', text)
assert n == 1, text
parts[sheet] = text.encode()
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as out:
    for n, b in parts.items():
        out.writestr(n, b)
)";
  std::string out;
  ASSERT_EQ(Python(script, Path("O.xlsx"), &out), 0) << out;
  ASSERT_EQ(Kvcli("import " + Path("O.xlsx") + " " + Path("O.kvp"), &out), 0) << out;
  ASSERT_EQ(Kvcli("info " + Path("O.kvp"), &out), 0) << out;
  EXPECT_NE(out.find("오픈 공사"), std::string::npos) << out;
  std::string wbs, act, res;
  ASSERT_EQ(Kvcli("dump " + Path("O.kvp") + " res", &res), 0);
  EXPECT_EQ(DumpField(res, "R1", 1), "인\x0b부");
  ASSERT_EQ(Kvcli("dump " + Path("O.kvp") + " wbs", &wbs), 0);
  EXPECT_EQ(DumpField(wbs, "A01", 1), "터파기");
  EXPECT_EQ(DumpField(wbs, "A01", 4), "125.500");
  ASSERT_EQ(Kvcli("dump " + Path("O.kvp") + " act", &act), 0);
  EXPECT_EQ(DumpField(act, "T-1", 1), "터파기 1동");
  EXPECT_EQ(DumpField(act, "T-1", 2), "5");  // the formula's cached value
  EXPECT_EQ(DumpField(act, "T-1", 31), "42.250");
  EXPECT_NE(DumpField(act, "T-1", 4).find("04-07"), std::string::npos) << act;
}

}  // namespace
