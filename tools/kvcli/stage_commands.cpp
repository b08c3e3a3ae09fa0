// kvcli's processing commands: baseline, next-stage, derive, actuals,
// rewrite-codes and register-summary.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "kelvo/summary_registry.h"
#include "project_session.h"
#include "xjor/text.h"

namespace kvcli {

namespace {

// Values of every `name` option from argv[from] on.
std::vector<std::string> values(int argc, char** argv, int from, const char* name) {
  std::vector<std::string> found;
  for (int i = from; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) found.push_back(argv[++i]);
  }
  return found;
}

bool has(int argc, char** argv, int from, const char* name) {
  for (int i = from; i < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return true;
  }
  return false;
}

// A whole decimal number in [low, high], or nothing.
bool wholeNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && value >= low && value <= high;
}

int refuse(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  return 1;
}

// kvcli register-summary FILE N --title T --compose E,E,... [--option NAME]...
//   [--period month|week|day] [--replace]
int registerSummary(int argc, char** argv) {
  if (argc < 4) return usage();
  long number;
  if (!wholeNumber(argv[3], 1, kelvo::kSummaryNumberMax, number)) {
    return refuse(kelvo::registrationMessage(kelvo::kRegistrationBadNumber));
  }
  const auto titles = values(argc, argv, 4, "--title");
  const auto composes = values(argc, argv, 4, "--compose");
  const auto periods = values(argc, argv, 4, "--period");
  if (titles.size() > 1 || composes.size() != 1 || periods.size() > 1) return usage();

  kelvo::SummaryRegistration r;
  r.number = static_cast<int16_t>(number);
  if (!titles.empty()) {
    std::string cp949(titles[0].size() + 1, '\0');
    if (xUtf8ToCp949(titles[0].c_str(), cp949.data(), static_cast<int32_t>(cp949.size())) < 0) {
      return refuse("CP949로 나타낼 수 없는 문자가 있습니다.");
    }
    r.title = cp949.c_str();
    if (r.title.size() > kelvo::kSummaryTitleSize) {
      return refuse(kelvo::registrationMessage(kelvo::kRegistrationTitleLong));
    }
  }
  const std::string& compose = composes[0];
  for (size_t at = 0; at <= compose.size();) {
    const size_t comma = std::min(compose.find(',', at), compose.size());
    long entry;
    if (!wholeNumber(compose.substr(at, comma - at), 0, 29, entry)) {
      return refuse(kelvo::registrationMessage(kelvo::kCompositionInvalid));
    }
    r.composition.push_back(static_cast<int16_t>(entry));
    at = comma + 1;
  }
  for (const std::string& name : values(argc, argv, 4, "--option")) {
    const uint32_t flag = kelvo::summaryOptionFlag(name);
    if (flag == 0) {
      std::fprintf(stderr, "알 수 없는 집계 선택 사항입니다: %s\n", name.c_str());
      return 1;
    }
    r.flags |= flag;
  }
  if (!periods.empty()) {
    static const char* kUnits[] = {"month", "week", "day"};
    uint32_t unit = 3;
    for (uint32_t u = 0; u < 3; ++u) {
      if (periods[0] == kUnits[u]) unit = u;
    }
    if (unit == 3) return usage();
    r.flags = (r.flags & ~uint32_t{kelvo::kSummaryPeriodMask}) | unit | kelvo::kSummaryPeriods;
  }

  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  if (kelvo::readSummaryRegistration(&s.db, r.number) && !has(argc, argv, 4, "--replace")) {
    std::fprintf(stderr, "같은 등록 번호의 집계파일이 있습니다. 겹쳐 쓰겠습니까?\n(--replace)\n");
    return 3;
  }
  size_t refused = 0;
  const int result = kelvo::writeSummaryRegistration(&s.db, r, &refused);
  if (result != kelvo::kRegistrationWritten) {
    if (result > 0) std::fprintf(stderr, "%d: ", r.composition[refused]);
    return refuse(kelvo::registrationMessage(result));
  }
  if (int m = s.save(argv[2])) return fail(m);
  std::printf("집계 %d 등록: %zu개 구성 항목, 선택 0x%X\n", r.number, r.composition.size(),
              r.flags);
  return 0;
}

}  // namespace

int stageCommand(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "register-summary") return registerSummary(argc, argv);
  return -1;
}

}  // namespace kvcli
