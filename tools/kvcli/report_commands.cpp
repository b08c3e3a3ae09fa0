// kvcli info and check.
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands.h"
#include "kelvo/message_text.h"
#include "project_session.h"
#include "xjor/calendar.h"
#include "xjor/option.h"
#include "xjor/text.h"

namespace kvcli {

int fail(int message) {
  std::fprintf(stderr, "%s\n", kelvo::messageText(message));
  return 1;
}

std::string utf8(const char* cp949) {
  std::vector<char> out(std::strlen(cp949) * 3 / 2 + 4);
  if (xCp949ToUtf8(cp949, out.data(), static_cast<int32_t>(out.size())) < 0) return cp949;
  return out.data();
}

bool cp949(const std::string& utf8Text, std::string& out) {
  std::vector<char> buffer(utf8Text.size() + 1);
  const bool ok =
      xUtf8ToCp949(utf8Text.c_str(), buffer.data(), static_cast<int32_t>(buffer.size())) >= 0;
  out = ok ? buffer.data() : "";
  return ok;
}

namespace {

std::string dateText(uint16_t day) {
  char text[XJOR_DATE_TEXT_MAX];
  xTimeToStr(text, day);
  return text;
}

}  // namespace

int info(const std::string& file) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  const PrjInfo& p = s.info;
  std::printf("code: %s\n", utf8(p.code).c_str());
  std::printf("name: %s\n", utf8(p.title).c_str());
  std::printf("manager: %s\n", utf8(p.manager).c_str());
  std::printf("company: %s\n", utf8(p.company).c_str());
  std::printf("currency: %s\n", utf8(p.currency).c_str());
  std::printf("stage: %d\n", p.stage);
  std::printf("start: %s\n", dateText(p.start).c_str());
  std::printf("finish: %s\n", dateText(p.finish).c_str());
  std::printf("data-date: %s\n", dateText(p.dataDate).c_str());
  std::printf("period-start: %s\n", dateText(p.periodStart).c_str());
  std::printf("period-finish: %s\n", dateText(p.periodFinish).c_str());
  std::printf("calendar-from: %s\n", dateText(p.calendarFrom).c_str());
  std::printf("calendar-to: %s\n", dateText(p.calendarTo).c_str());
  std::printf("remark: %s\n", utf8(p.remark).c_str());
  std::printf("amount-decimals: %d\n", p.amountDecimals);
  std::printf("amount-digits: %d\n", p.amountDigits);
  if (*s.passwordState()) std::printf("password: %s\n", s.passwordState());
  std::printf("activities: %u\n", s.db.act.tb.liveCount);
  std::printf("relations: %u\n", s.db.rel.tb.liveCount);
  ClassDefinition classes[2];
  xReadClassDefinitions(&s.db, classes);
  for (int c = 0; c < 2; ++c) {
    std::printf("%s-levels:", c == 0 ? "work" : "facility");
    for (int i = 0; i < classes[c].levels && i < 8; ++i) {
      char name[22] = {};
      std::memcpy(name, classes[c].name[i], 21);
      std::printf(" %d%s%s", classes[c].length[i], name[0] ? ":" : "", utf8(name).c_str());
    }
    std::printf("\n");
  }
  for (int slot = 0; slot < XJOR_CALENDAR_SLOTS; ++slot) {
    if (xGetWorkCount(slot) > 0) std::printf("calendar-%d: %d\n", slot + 1, xGetWorkCount(slot));
  }
  return 0;
}

int check(const std::string& file) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  char report[512] = "";
  if (xCheckIndexes(&s.db, report, sizeof report) == 1) {
    std::printf("ok\n");
    return 0;
  }
  std::printf("%s\n", utf8(report).c_str());
  return 3;
}

}  // namespace kvcli
