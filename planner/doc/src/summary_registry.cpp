// Summary registrations in the project's option file.
#include "kelvo/summary_registry.h"

#include <cstring>
#include <string>

#include "kelvo/string_table.h"
#include "kelvo/summary_build.h"
#include "xQdDb100.h"

namespace kelvo {

namespace {

// "분류체계에 없는 분류단계입니다." of the string table.
constexpr int kNoSuchLevelText = 22202;

bool validNumber(int16_t number) {
  return number >= 1 && number <= kSummaryNumberMax;
}

int32_t slotOf(int16_t number) {
  return XQD_OPT_SUMMARY + number;
}

struct OptionName {
  const char* caption;
  const char* name;
  uint32_t flag;
};
constexpr OptionName kOptionNames[] = {
    {"작업 포함", "activities", kSummaryActivities},
    {"자원 구분 포함", "resource-classes", kSummaryResourceClasses},
    {"자원 포함", "resources", kSummaryResources},
    {"기간별 집계 포함", "periods", kSummaryPeriods},
    {"명칭 들여쓰기", "indent", kSummaryIndentNames},
    {"명칭에 분류단계별 번호 매김", "number", kSummaryNumberNames},
    {"이정표 제외", "no-milestones", kSummaryNoMilestones},
    {"분류코드 없는 자료 제외", "no-unclassified", kSummaryNoUnclassified},
    {"진도율 계산시 보할 반영", "weighted", kSummaryWeightedProgress},
    {"자원 집계", "resource-summary", kSummaryOfResources},
    {"자원 - 작업", "resource-first", kSummaryResourceFirst},
};

// Deletes summary file `number` of the working set (closing it first when it
// is the open one).
void dropSummaryFile(ProjectDb* db, int16_t number) {
  if (db->summary.number == number) xCloseSumFile(db, nullptr);
  const std::string name = std::to_string(number);
  int32_t handle = xOpenTemp(&db->space, name.c_str(), 1);
  if (handle != -1) xCloseTemp(&db->space, &handle, name.c_str());
}

}  // namespace

std::optional<SummaryRegistration> readSummaryRegistration(ProjectDb* db, int16_t number) {
  if (!validNumber(number)) return std::nullopt;
  uint8_t bytes[kSummaryRegistrationSize];
  const int32_t size = xOption(&db->opt, XOPT_SIZE, slotOf(number), nullptr, 0);
  if (size < static_cast<int32_t>(sizeof bytes)) return std::nullopt;
  if (!xOption(&db->opt, XOPT_READ, slotOf(number), bytes, sizeof bytes)) return std::nullopt;
  auto registration = decodeSummaryRegistration(bytes);
  // A record filed under another number is not this summary's.
  if (!registration || registration->number != number) return std::nullopt;
  return registration;
}

int writeSummaryRegistration(ProjectDb* db, const SummaryRegistration& r, size_t* refusedEntry) {
  if (!validNumber(r.number)) return kRegistrationBadNumber;
  if (r.title.size() > kSummaryTitleSize) return kRegistrationTitleLong;
  // A level the project's classification lacks could never be built.
  ClassLevels levels[2];
  readClassLevels(db, levels);
  std::vector<int16_t> built;
  for (size_t i = 0; i < r.composition.size(); ++i) {
    int check = checkCompositionEntry(built, r.composition[i], built.size());
    if (check == kCompositionAccepted && levelMissing(r.composition[i], levels)) {
      check = kCompositionInvalid;
    }
    if (check != kCompositionAccepted) {
      if (refusedEntry) *refusedEntry = i;
      return check;
    }
    built.push_back(r.composition[i]);
  }
  auto bytes = encodeSummaryRegistration(r);
  // The file built under another registration would stand under this one.
  const std::optional<SummaryRegistration> old = readSummaryRegistration(db, r.number);
  if (old && encodeSummaryRegistration(*old) != bytes) dropSummaryFile(db, r.number);
  if (!xOption(&db->opt, XOPT_WRITE, slotOf(r.number), bytes.data(), bytes.size())) {
    return kRegistrationNotWritten;
  }
  return kRegistrationWritten;
}

bool deleteSummaryRegistration(ProjectDb* db, int16_t number) {
  if (!readSummaryRegistration(db, number)) return false;
  return xOption(&db->opt, XOPT_DELETE, slotOf(number), nullptr, 0) != 0;
}

std::vector<int16_t> registeredSummaries(ProjectDb* db) {
  std::vector<int16_t> numbers;
  for (int16_t n = 1; n <= kSummaryNumberMax; ++n) {
    if (readSummaryRegistration(db, n)) numbers.push_back(n);
  }
  return numbers;
}

const char* registrationMessage(int result) {
  switch (result) {
    case kRegistrationWritten:
      return "";
    case kRegistrationBadNumber:
      return "등록 번호는 1에서 48까지입니다.";
    case kRegistrationTitleLong:
      return "집계 제목은 40자까지 입력할 수 있습니다.";
    case kRegistrationNotWritten:
      return "파일을 만들 수 없습니다.";
    case kCompositionFull:
      return "구성 형식은 17개까지 선택할 수 있습니다.";
    case kCompositionInvalid:
      return stringText(kNoSuchLevelText);
    default:
      return compositionMessage(result);
  }
}

uint32_t summaryOptionFlag(std::string_view name) {
  for (const OptionName& o : kOptionNames) {
    if (name == o.caption || name == o.name) return o.flag;
  }
  return 0;
}

}  // namespace kelvo
