// kvcli schedule.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "commands.h"
#include "kelvo/message_text.h"
#include "kelvo/project_schedule.h"
#include "project_session.h"
#include "xjor/calendar.h"

namespace kvcli {

int schedule(const std::string& file, const std::string& dataDateText) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  const uint16_t dataDate =
      dataDateText.empty() ? s.info.dataDate : xStrToTime(dataDateText.c_str());
  if (dataDate == 0) return fail(kelvo::kScheduleBadDate);
  s.info.dataDate = dataDate;

  const auto begin = std::chrono::steady_clock::now();
  const std::clock_t cpuBegin = std::clock();
  const kelvo::ScheduleOutcome out = kelvo::scheduleProject(&s.db, &s.info, dataDate);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const kelvo::ScheduleCounts& c = out.counts;
  std::printf(
      "%d개의 작업\n%d개의 선후행 괸계\n%d개의 시작 작업\n%d개의 완료 작업\n%d개의 독립 작업\n",
      c.activities, c.relations, c.startActivities, c.endActivities, c.independentActivities);
  if (!out.caption.empty()) std::printf("%s\n", utf8(out.caption.c_str()).c_str());
  std::printf("%s\n", out.result == kelvo::kScheduleDone ? "완료되었습니다."
                                                         : kelvo::messageText(out.result));
  const std::string warning = kelvo::calendarRangeWarning(out.outsideCalendarRange);
  if (!warning.empty()) std::printf("%s\n", warning.c_str());
  std::fprintf(stderr, "분석 시간: %.3f초 (CPU %.3f초)\n", seconds,
               static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC);
  // The records keep what the analysis wrote, whatever its result.
  if (int m = s.save(file)) return fail(m);
  return out.result == kelvo::kScheduleDone ? 0 : 3;
}

}  // namespace kvcli
