// The process-wide date display settings and their DateInfo record.
#include <stddef.h>

#include "date_state.h"
#include "xjor/calendar.h"

static_assert(sizeof(DateInfo) == 12, "DateInfo is a 12-byte stored record");
static_assert(offsetof(DateInfo, ordinalBase) == 4 && offsetof(DateInfo, startDayOfWeek) == 8 &&
                  offsetof(DateInfo, delimiter) == 10,
              "DateInfo field offsets");

using xjor::g_dateState;

namespace {
int16_t validForm(int32_t form) {
  return form >= 0 && form <= 7 ? static_cast<int16_t>(form) : 0;
}
}  // namespace

extern "C" int32_t xSetDateForm(int32_t form) {
  return g_dateState.form = validForm(form);
}
extern "C" int32_t xGetDateForm(void) {
  return g_dateState.form;
}

extern "C" int32_t xSetOrdinalTime(int32_t flag) {
  g_dateState.ordinalMode = static_cast<int16_t>(flag);
  return flag;
}
extern "C" int32_t xIsOrdinalTime(void) {
  return g_dateState.ordinalMode;
}

extern "C" uint16_t xSetOrdinalBase(uint16_t base) {
  return g_dateState.ordinalBase = base;
}
extern "C" uint16_t xGetOrdinalBase(void) {
  return g_dateState.ordinalBase;
}

extern "C" int32_t xSetStartDayOfMW(int32_t startDayOfMonth, int32_t startDayOfWeek) {
  g_dateState.startDayOfMonth = static_cast<int16_t>(startDayOfMonth);
  g_dateState.startDayOfWeek = static_cast<int16_t>(startDayOfWeek);
  return startDayOfMonth;
}
extern "C" int32_t xGetStartDayOfM(void) {
  return g_dateState.startDayOfMonth;
}
extern "C" int32_t xGetStartDayOfW(void) {
  return g_dateState.startDayOfWeek;
}

extern "C" char xSetDateDelimiter(char delimiter) {
  return g_dateState.delimiter = delimiter;
}
extern "C" char xGetDateDelimiter(void) {
  return g_dateState.delimiter;
}

extern "C" DateInfo* xGetDateInfo(DateInfo* info) {
  if (info == nullptr) return nullptr;
  info->form = g_dateState.form;
  info->ordinalMode = g_dateState.ordinalMode;
  info->ordinalBase = g_dateState.ordinalBase;
  info->startDayOfMonth = g_dateState.startDayOfMonth;
  info->startDayOfWeek = g_dateState.startDayOfWeek;
  info->delimiter = g_dateState.delimiter;
  info->reserved = 0;
  return info;
}

extern "C" DateInfo* xSetDateInfo(DateInfo* info) {
  if (info == nullptr) return nullptr;
  g_dateState.form = validForm(info->form);
  g_dateState.ordinalMode = info->ordinalMode;
  g_dateState.ordinalBase = info->ordinalBase;
  g_dateState.startDayOfMonth = info->startDayOfMonth;
  g_dateState.startDayOfWeek = info->startDayOfWeek;
  g_dateState.delimiter = info->delimiter;
  return info;
}
