// kvcli's processing commands: baseline, next-stage, derive, actuals,
// rewrite-codes and register-summary.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "kelvo/message_text.h"
#include "kelvo/progress_stages.h"
#include "kelvo/project_actuals.h"
#include "kelvo/project_digits.h"
#include "kelvo/project_map_rewrite.h"
#include "kelvo/project_numeric.h"
#include "kelvo/project_stages.h"
#include "kelvo/summary_registry.h"
#include "project_session.h"
#include "xjor/calendar.h"
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

// kvcli register-summary FILE N --title T [--compose E,E,...] [--option NAME]...
//   [--period month|week|day] [--replace]
// Without --compose (or with an empty one) the summary has no composition,
// which the build takes as activity rows alone.
int registerSummary(int argc, char** argv) {
  if (argc < 4) return usage();
  long number;
  if (!wholeNumber(argv[3], 1, kelvo::kSummaryNumberMax, number)) {
    return refuse(kelvo::registrationMessage(kelvo::kRegistrationBadNumber));
  }
  const auto titles = values(argc, argv, 4, "--title");
  const auto composes = values(argc, argv, 4, "--compose");
  const auto periods = values(argc, argv, 4, "--period");
  if (titles.size() > 1 || composes.size() > 1 || periods.size() > 1) return usage();

  kelvo::SummaryRegistration r;
  r.number = static_cast<int16_t>(number);
  if (!titles.empty()) {
    if (!cp949(titles[0], r.title)) return refuse("CP949로 나타낼 수 없는 문자가 있습니다.");
    if (r.title.size() > kelvo::kSummaryTitleSize) {
      return refuse(kelvo::registrationMessage(kelvo::kRegistrationTitleLong));
    }
  }
  // Every comma-separated entry, an empty one included ("0," is refused).
  const std::string compose = composes.empty() ? std::string() : composes[0];
  for (size_t at = 0; !compose.empty() && at <= compose.size();) {
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
    if (unit == 3) {
      std::fprintf(stderr, "알 수 없는 기간 단위입니다: %s (month week day)\n", periods[0].c_str());
      return 1;
    }
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

std::string dateText(uint16_t day) {
  char text[XJOR_DATE_TEXT_MAX];
  xTimeToStr(text, day);
  return text;
}

// --percent P (0..100, default 50); false when it is not a whole number.
bool percentOption(int argc, char** argv, long& percent) {
  const auto given = values(argc, argv, 3, "--percent");
  percent = 50;
  return given.size() <= 1 && (given.empty() || wholeNumber(given[0], 0, 100, percent));
}

// "현재 선택된 자료만": the records of the activities named by --activity CODE;
// false (after the message) when a code is not registered.
bool chosenActivities(ProjectSession& s, int argc, char** argv, std::vector<int32_t>& chosen) {
  for (const std::string& code : values(argc, argv, 3, "--activity")) {
    std::string converted;
    ActCodeEntry key = {};
    if (cp949(code, converted)) std::strncpy(key.code, converted.c_str(), sizeof key.code - 1);
    if (key.code[0] == 0 || s.db.actCodes.count == 0 || !xmSeek(&s.db.actCodes, &key)) {
      std::fprintf(stderr, "%s: %s\n", code.c_str(), kelvo::messageText(XQD_MSG_NO_ACTIVITY));
      return false;
    }
    ActCodeEntry found;
    std::memcpy(&found,
                s.db.actCodes.data + size_t{s.db.actCodes.current} * s.db.actCodes.recordSize,
                sizeof found);
    chosen.push_back(found.record);
  }
  return true;
}

// kvcli baseline FILE [--percent P] [--include-started] [--activity CODE]...
int baseline(int argc, char** argv) {
  long percent;
  if (!percentOption(argc, argv, percent)) return usage();
  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  std::vector<int32_t> chosen;
  if (!chosenActivities(s, argc, argv, chosen)) return 1;
  const bool excludeStarted = !has(argc, argv, 3, "--include-started");
  const int32_t written =
      kelvo::planProjectSchedule(&s.db, static_cast<int>(percent), excludeStarted, chosen);
  if (int m = s.save(argv[2])) return fail(m);
  std::printf("계획 일정 설정: %d개 작업 (적용시점 %ld)\n", written, percent);
  return 0;
}

// kvcli next-stage FILE --from D --to D [--percent P] [--include-started]
//   [--save-as NEW]
// With --save-as ("다음 단계의 새로운 프로젝트 파일 생성") FILE keeps the closed
// stage and the next stage goes on in NEW.
int nextStage(int argc, char** argv) {
  const auto from = values(argc, argv, 3, "--from"), to = values(argc, argv, 3, "--to");
  const auto saveAs = values(argc, argv, 3, "--save-as");
  long percent;
  if (from.size() != 1 || to.size() != 1 || saveAs.size() > 1 ||
      !percentOption(argc, argv, percent)) {
    return usage();
  }
  const std::string target = saveAs.empty() ? argv[2] : saveAs[0];
  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  // The date form of the project reads the texts.
  const uint16_t start = xStrToTime(from[0].c_str()), finish = xStrToTime(to[0].c_str());
  const std::string before = kelvo::stageText(s.info.stage);
  int32_t planned = 0;
  const int result =
      kelvo::advanceProjectStage(&s.db, &s.info, start, finish, static_cast<int>(percent),
                                 !has(argc, argv, 3, "--include-started"), &planned);
  if (result != kelvo::kStageClosed) {
    std::fprintf(stderr, "%s (%s)\n", kelvo::kBadDateMessage,
                 result == kelvo::kStageBadStart ? "--from" : "--to");
    return 1;
  }
  if (int m = s.save(target)) return fail(m);
  std::printf("%s -> %s: 기간 %s ~ %s, 기준일 %s\n", before.c_str(),
              kelvo::stageText(s.info.stage).c_str(), dateText(s.info.periodStart).c_str(),
              dateText(s.info.periodFinish).c_str(), dateText(s.info.dataDate).c_str());
  if (before == kelvo::stageText(0)) std::printf("계획 일정 설정: %d개 작업\n", planned);
  return 0;
}

// One option of "수치 항목 자동 산출": its command-line name and caption.
struct DeriveOption {
  const char* name;
  const char* caption;
  void (*set)(kelvo::NumericItemOptions&);
};
constexpr DeriveOption kDeriveOptions[] = {
    {"spread-quantities", "공종수량에서 작업수량으로 배분(소요일수 기준)",
     [](kelvo::NumericItemOptions& o) { o.spreadQuantities = true; }},
    {"durations", "공종 하루수량에 의한 작업 소요일수 산출",
     [](kelvo::NumericItemOptions& o) { o.durationsFromDaily = true; }},
    {"contract-prices", "공종 계약단가를 작업 계약단가로 복사",
     [](kelvo::NumericItemOptions& o) { o.prices.contract = true; }},
    {"execution-prices", "공종 실행단가를 작업 실행단가로 복사",
     [](kelvo::NumericItemOptions& o) { o.prices.execution = true; }},
    {"input-prices", "공종 투입단가를 작업 투입단가로 복사",
     [](kelvo::NumericItemOptions& o) { o.prices.input = true; }},
    {"skip-completed", "완료된 자료는 계산에서 제외",
     [](kelvo::NumericItemOptions& o) { o.skipCompleted = true; }},
    {"contract-weights", "계약 보할 산출",
     [](kelvo::NumericItemOptions& o) { o.contractWeights = true; }},
    {"execution-weights", "실행 보할 산출",
     [](kelvo::NumericItemOptions& o) { o.executionWeights = true; }},
    {"progress", "작업 실제일정/시분할 수량",
     [](kelvo::NumericItemOptions& o) { o.actualDates = true; }},
    {"crew-inputs", "세부 작업조 투입수량",
     [](kelvo::NumericItemOptions& o) { o.crewInputs = true; }},
    {"round-up", "소수점 이하 올리기",
     [](kelvo::NumericItemOptions& o) { o.roundUpInputs = true; }},
};

// kvcli derive FILE --option NAME... [--resource-class C] [--activity CODE]...
int derive(int argc, char** argv) {
  kelvo::NumericItemOptions options;
  const auto names = values(argc, argv, 3, "--option");
  if (names.empty()) return usage();
  for (const std::string& name : names) {
    const DeriveOption* found = nullptr;
    for (const DeriveOption& o : kDeriveOptions) {
      if (name == o.name || name == o.caption) found = &o;
    }
    if (!found) {
      std::fprintf(stderr, "알 수 없는 산출 항목입니다: %s\n", name.c_str());
      return 1;
    }
    found->set(options);
  }
  const auto classes = values(argc, argv, 3, "--resource-class");
  if (classes.size() > 1) return usage();
  if (!classes.empty()) {
    if (!cp949(classes[0], options.resourceClass)) {
      return refuse("CP949로 나타낼 수 없는 문자가 있습니다.");
    }
  }
  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  std::vector<int32_t> chosen;
  if (!chosenActivities(s, argc, argv, chosen)) return 1;
  const kelvo::NumericItemCounts c = kelvo::deriveNumericItems(&s.db, s.info, options, chosen);
  if (int m = s.save(argv[2])) return fail(m);
  std::printf("수량 %d, 소요일수 %d (거부 %d), 단가 %d, 계약 보할 %d, 실행 보할 %d\n", c.quantities,
              c.durations, c.durationsRefused, c.prices, c.contractWeights, c.executionWeights);
  std::printf("실제일정 %d, 시분할 수량 %d, 세부 작업조 %d\n", c.progress, c.sharedEntries,
              c.crewDetails);
  return c.durationsRefused ? 3 : 0;
}

// kvcli actuals FILE
int actuals(int argc, char** argv) {
  if (argc != 3) return usage();
  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  const kelvo::ProjectDigits digits = kelvo::projectDigits(&s.db, s.info);
  const kelvo::ActualWorkCounts c = kelvo::computeProjectActualWork(&s.db, digits.quantity);
  if (int m = s.save(argv[2])) return fail(m);
  std::printf("공종 %d개의 하루수량과 소요일수 합계, 작업조 %d개의 투입수량 (세부 작업조 %d개)\n",
              c.workTypes, c.crews, c.details);
  return 0;
}

// kvcli rewrite-codes FILE
int rewriteCodes(int argc, char** argv) {
  if (argc != 3) return usage();
  ProjectSession s;
  if (int m = s.open(argv[2])) return fail(m);
  const kelvo::MapRewriteOutcome out = kelvo::rewriteCodesFromMap(&s.db, s.info);
  if (!out.clashes.empty()) {
    std::fprintf(stderr, "같은 작업코드가 되는 작업이 있어 재작성하지 않았습니다.\n");
    for (const auto& clash : out.clashes) {
      std::string line = utf8(clash[0].c_str()) + ":";
      for (size_t i = 1; i < clash.size(); ++i) line += " " + utf8(clash[i].c_str());
      std::fprintf(stderr, "%s\n", line.c_str());
    }
    return 3;
  }
  // The project file on disk stays as it was.
  if (out.indexesFailed) return fail(21000);
  if (int m = s.save(argv[2])) return fail(m);
  std::printf("작업코드 %d개, 작업명 %d개 재작성", out.codes, out.names);
  if (out.refused) std::printf(" (%d개 거부)", out.refused);
  std::printf("\n");
  return out.refused ? 3 : 0;
}

}  // namespace

int stageCommand(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "register-summary") return registerSummary(argc, argv);
  if (command == "baseline") return baseline(argc, argv);
  if (command == "next-stage") return nextStage(argc, argv);
  if (command == "derive") return derive(argc, argv);
  if (command == "actuals") return actuals(argc, argv);
  if (command == "rewrite-codes") return rewriteCodes(argc, argv);
  return -1;
}

}  // namespace kvcli
