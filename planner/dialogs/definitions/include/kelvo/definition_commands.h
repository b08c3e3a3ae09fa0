// The definition commands of the program that set project-wide
// conventions and change records in bulk: "달력" (40096), "날짜 표현 형식"
// (40097), "숫자 항목 자릿수" (40100), "사용자 집계 항목" (40106),
// "파일 항목" (40101) and "항목값 일괄변경" (40086, on the active sheet).
// Each opens its dialog on the open project.
#ifndef KELVO_DEFINITION_COMMANDS_H_
#define KELVO_DEFINITION_COMMANDS_H_

namespace kelvo {

class CKelvoApp;

// Adds the definition commands to the program's command chain, after the
// targets already in it. Call once, before app.startup().
void registerDefinitionCommands(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_DEFINITION_COMMANDS_H_
