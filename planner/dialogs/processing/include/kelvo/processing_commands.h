// The processing commands of the program: "계획(목표) 일정 설정" (40083),
// "다음 단계로 진행" (40082), "수치 항목 자동 산출" (40084), "실적 공사 자료 산출"
// (40085), "맵에 의한 작업명/코드 재작성" (40089) and "집계 자료 만들기" (40081).
// Each opens its dialog, runs the computation of planner/doc on the open
// project (long work under a progress dialog with Cancel), marks the
// document modified and tells the views.
#ifndef KELVO_PROCESSING_COMMANDS_H_
#define KELVO_PROCESSING_COMMANDS_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kelvo {

class CKelvoApp;
class CPlanDoc;

// Whether processing command `id` can run on the project as it stands: every
// one needs an open project; the actual-work figures need a progress stage
// (they are made from the input to date). False for other ids.
bool processingCommandEnabled(int id, const CPlanDoc& doc);

// The activity records selected in the active view, or nothing when the
// active view does not show activities ("현재 선택된 자료만" is then off and
// disabled). The default source reads the activity sheets (the data sheet
// and the Gantt window's activity pane).
using ActivitySelection = std::function<std::optional<std::vector<int32_t>>()>;

// Adds the processing commands to the program's command chain, after the
// targets already in it. Call once, before app.startup(). `selection`
// replaces the default selection source when given.
void registerProcessingCommands(CKelvoApp& app, ActivitySelection selection = {});

}  // namespace kelvo

#endif  // KELVO_PROCESSING_COMMANDS_H_
