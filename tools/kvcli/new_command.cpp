// kvcli new: a new project, with the defaults the project information
// dialog's OK gives.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "commands.h"
#include "project_session.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"
#include "xjor/text.h"

namespace kvcli {

namespace {

// Stores UTF-8 text as CP949 cut to the field's width; false when it has a
// character CP949 lacks.
bool storeText(const std::string& text, char* field, int32_t width) {
  std::string converted;
  if (!cp949(text, converted)) return false;
  xCopyChars(field, converted.c_str(), width);
  return true;
}

// Parses an optional date argument: true and 0 for none.
bool readDate(const std::string& text, uint16_t& day) {
  day = text.empty() ? 0 : xStrToTime(text.c_str());
  return text.empty() || day != 0;
}

}  // namespace

int create(const std::string& file, const NewProject& request) {
  ProjectSession s;
  if (int m = s.create()) return fail(m);
  PrjInfo& p = s.info;
  if (!storeText(request.code, p.code, 10) || !storeText(request.name, p.title, 60)) {
    std::fprintf(stderr, "CP949로 나타낼 수 없는 문자가 있습니다.\n");
    return 1;
  }
  if (!readDate(request.dataDate, p.dataDate) || !readDate(request.start, p.start) ||
      !readDate(request.finish, p.finish)) {
    return fail(21015);
  }
  if (p.dataDate == 0) {
    const std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    p.dataDate = packedDate(local.tm_year + 1900, 1, 1);
  }
  if (p.start == 0) p.start = p.dataDate;
  if (p.finish == 0) p.finish = packedDate(xjor::packedYear(p.start), 12, 31);
  p.amountDigits = 12;
  s.clearPassword();
  xSavePrjDateInfo(&s.db);
  if (int m = s.save(file)) return fail(m);
  return 0;
}

}  // namespace kvcli
