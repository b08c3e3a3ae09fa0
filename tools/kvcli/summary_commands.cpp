// kvcli summary, series and dump FILE summary N: build registered summaries
// into a project file and look at their rows and period series.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "csv_rows.h"
#include "kelvo/message_text.h"
#include "kelvo/summary_build.h"
#include "kelvo/summary_registry.h"
#include "project_session.h"
#include "xjor/calendar.h"
#include "xjor/field.h"
#include "xjor/numfmt.h"
#include "xjor/option.h"

namespace kvcli {

namespace {

constexpr int32_t kOpenSummarySlot = 4;

int failText(const char* text) {
  std::fprintf(stderr, "%s\n", text);
  return 1;
}

// A summary number 1..48 from text, 0 when it is none.
int16_t summaryNumber(const char* text) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && n >= 1 && n <= XQD_SUMMARY_MAX ? static_cast<int16_t>(n)
                                                                       : 0;
}

// Opens summary file n of an open project; false (with the message
// printed) when it is not there.
bool openSummary(ProjectSession& s, int16_t n) {
  int16_t current = 0;
  if (xOpenSumFile(&s.db, &current, n) == 1) return true;
  std::fprintf(stderr, "%s\n", kelvo::messageText(21002));
  return false;
}

// True when the open summary has the resource summary's row layout: its
// name field lies at the resource row's place.
bool resourceSummary(const TableHandle& tb) {
  for (int16_t i = 0; i < tb.fieldCount; ++i) {
    const FieldDesc& f = tb.fields[i];
    if (f.type == XF_STRING && f.offset + f.width + 1 == tb.recordSize) {
      return f.offset == kelvo::kResRowNameAt;
    }
  }
  return false;
}

// Saves the project with summary n open and named in option slot 4.
int saveWith(ProjectSession& s, const std::string& file, int16_t n) {
  xOption(&s.db.opt, XOPT_WRITE, kOpenSummarySlot, &n, sizeof n);
  const int m = saveProject(s.db, s.info, file, n);
  return m == 0 ? 0 : fail(m);
}

bool showProgress(int32_t done, int32_t total) {
  std::fprintf(stderr, "\r%d/%d", done, total);
  if (done == total) std::fprintf(stderr, "\n");
  return true;
}

int buildOne(const std::string& file, int16_t n, bool quiet) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  std::optional<kelvo::SummaryRegistration> r = kelvo::readSummaryRegistration(&s.db, n);
  if (!r) return failText(kelvo::kNoneBuiltMessage);
  int16_t current = 0;
  const int result =
      kelvo::buildSummary(&s.db, s.info, *r, &current, quiet ? nullptr : showProgress);
  if (result != kelvo::kSummaryDone) return failText(kelvo::summaryMessage(result));
  const uint32_t rows = s.db.summary.table.tb.liveCount;
  if (int m = saveWith(s, file, n)) return m;
  std::printf("집계 %d: %u개 행\n", n, rows);
  return 0;
}

int buildAll(const std::string& file, bool quiet) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  std::vector<kelvo::SummaryRegistration> all;
  for (int16_t n : kelvo::registeredSummaries(&s.db)) {
    if (auto r = kelvo::readSummaryRegistration(&s.db, n)) all.push_back(*r);
  }
  int16_t open = 0;
  xOption(&s.db.opt, XOPT_READ, kOpenSummarySlot, &open, sizeof open);
  int16_t current = 0;
  if (open >= 1 && open <= XQD_SUMMARY_MAX && xOpenSumFile(&s.db, &current, open) != 1) open = 0;
  const int built =
      kelvo::buildSummaries(&s.db, s.info, all, &current, quiet ? nullptr : showProgress);
  if (built == 0) {
    std::fprintf(stderr, "%s\n", kelvo::kNoneBuiltMessage);
    return 3;
  }
  if (int m = saveWith(s, file, current)) return m;
  std::printf("집계 %zu개 중 %d개를 만들었습니다.\n", all.size(), built);
  return built == static_cast<int>(all.size()) ? 0 : 3;
}

int dumpSummary(const std::string& file, int16_t n) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  if (!openSummary(s, n)) return 1;
  TableHandle& tb = s.db.summary.table.tb;
  std::string line;
  for (int16_t i = 0; i < tb.fieldCount; ++i) {
    line += (i ? "," : "") + csvField(utf8(tb.fields[i].name));
  }
  std::printf("%s\n", line.c_str());
  printRecords(tb, s.db.space.refHandle);
  return 0;
}

int series(const std::string& file, int16_t n, long row) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  if (!openSummary(s, n)) return 1;
  TableHandle& tb = s.db.summary.table.tb;
  const bool resource = resourceSummary(tb);
  std::vector<uint8_t> record(tb.recordSize);
  long at = 0;
  tb.current = -1;
  while (at < row && xMoveNext(&tb)) ++at;
  if (row < 1 || at != row || xGetRec(&tb, record.data()) != 1) return fail(20038);
  uint32_t position;
  std::memcpy(&position, &record[resource ? kelvo::kResRowSeriesAt : kelvo::kActRowSeriesAt],
              sizeof position);
  kelvo::RowSeries rows;
  if (position == 0 || !kelvo::readRowSeries(&s.db, position, resource, rows)) {
    return fail(20038);
  }
  std::printf(resource ? "block,day,input\n"
                       : "block,day,quantity,contract,contract%%,execution,execution%%,last\n");
  const int values = resource ? 1 : 6;
  for (int b = 0; b < 3; ++b) {
    for (const kelvo::SeriesEntry& e : rows.block[b]) {
      char day[XJOR_DATE_TEXT_MAX];
      xTimeToStr(day, e.day);
      std::string line = std::to_string(b) + "," + day;
      for (int i = 0; i < values; ++i) {
        char number[64];
        xNumToStr(number, e.value[i], 0, 0, 0);
        line += std::string(",") + number;
      }
      std::printf("%s\n", line.c_str());
    }
  }
  return 0;
}

bool hasFlag(int argc, char** argv, const char* flag) {
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return true;
  }
  return false;
}

}  // namespace

int summaryCommand(int argc, char** argv) {
  if (argc < 3) return -1;
  const std::string command = argv[1], file = argv[2];
  if (command == "summary") {
    const bool quiet = hasFlag(argc, argv, "--quiet");
    if (hasFlag(argc, argv, "--all")) return buildAll(file, quiet);
    const int16_t n = argc >= 4 ? summaryNumber(argv[3]) : 0;
    return n ? buildOne(file, n, quiet) : usage();
  }
  if (command == "series") {
    if (argc < 5) return usage();
    const int16_t n = summaryNumber(argv[3]);
    char* end = nullptr;
    const long row = std::strtol(argv[4], &end, 10);
    return n && end != argv[4] && *end == '\0' ? series(file, n, row) : usage();
  }
  if (command == "dump" && argc >= 5 && std::strcmp(argv[3], "summary") == 0) {
    const int16_t n = summaryNumber(argv[4]);
    return n ? dumpSummary(file, n) : usage();
  }
  return -1;
}

}  // namespace kvcli
