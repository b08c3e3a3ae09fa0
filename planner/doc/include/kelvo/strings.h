// The string table seen from the Qt side: texts as QString, and the
// numbers the shell and the document name in code. The table itself lives
// in kelvo/string_table.h.
#ifndef KELVO_STRINGS_H_
#define KELVO_STRINGS_H_

#include <QString>

#include "kelvo/string_table.h"

namespace kelvo {

// The text of string `id` as a QString; an unknown id gives "#<id>" so that a
// missing entry is visible instead of an empty box.
QString loadString(int id);

// Numbers of the strings the shell and the document name in code.
enum StringId : int {
  kStrDocTemplate = 129,      // document template fields, '\n'-separated
  kStrNoDisplayedItem = 132,  // "표시 항목 없음"
  kStrWindowCaption0 = 496,   // 496 + window number
  kStrCommandBar = 548,       // "명령 표시줄"
  kStrEditBar = 549,          // "편집 도구줄"
  kStrOptionsSheet = 551,     // "선택 사항"
  kStrMenuFile = 700,         // top-level menus 700..707
  kStrPlanningStage = 720,    // "계획 단계"
  kStrProgressStage = 721,    // "진행 %d단계"
  kStrDone = 722,             // "완료되었습니다."
  kStrPeriodUnit = 723,       // "1 일"
  kStrMsgCodeLength = 20000,
  kStrMsgNoRefFile = 20002,
  kStrMsgWrongPassword = 20015,
  kStrMsgDeleteAsk = 20018,
  // Document messages that have no number of their own are kept at 22000+.
  kStrMsgSummaryFixed = 22000,  // summary records cannot be added/deleted
  kStrMsgLastLevel = 22001,     // no further classification level
  kStrMsgLevelSum = 22002,      // lengths must add up to at most 10
  kStrMsgClassChange = 22003,   // classification change confirmation
  kStrMsgBadDate = 21015,
  kStrMsgBadFile = 21006,
  kStrAppTitle = 57344,
};

}  // namespace kelvo

#endif  // KELVO_STRINGS_H_
