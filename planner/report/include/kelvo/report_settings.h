// The user report's settings: option record 121 of the project's option file
// (44 bytes, little-endian): flags, paper, the ten band heights, the page
// break level, the first page number, the print margins and the outline
// colour.
#ifndef KELVO_REPORT_SETTINGS_H_
#define KELVO_REPORT_SETTINGS_H_

#include <cstdint>

struct OptionFileRef;

namespace kelvo {

// Report flag bits.
namespace reportflag {
inline constexpr uint16_t kCover = 0x1;            // "겉표지 인쇄"
inline constexpr uint16_t kBody = 0x2;             // "본체 인쇄"
inline constexpr uint16_t kNumberFromCover = 0x4;  // "겉표지부터 번호 매김"
inline constexpr uint16_t kOutline = 0x8;          // "외곽선 표시"
}  // namespace reportflag

// The bands of a report page, top to bottom in the design view.
namespace band {
inline constexpr int kHeader = 0;  // "머리글"
inline constexpr int kCommon = 1;  // "본문-공통", printed for every record
inline constexpr int kFooter = 9;  // "바닥글"
inline constexpr int kCount = 10;
}  // namespace band

inline constexpr int kReportSettingsSize = 44;

#pragma pack(push, 1)
struct ReportSettings {
  uint16_t flags = reportflag::kBody;  // 0
  uint16_t paperWidth = 2100;          // 2  0.1 mm
  uint16_t paperHeight = 2970;         // 4
  uint16_t reserved = 0;               // 6
  uint16_t bandHeight[band::kCount] = {200, 400, 400, 400, 400, 400, 400, 400, 400, 600};  // 8
  uint16_t breakLevel = 0;      // 28 "페이지 넘김 분류단계 :", 0 = none
  uint16_t firstPage = 1;       // 30 "페이지 시작 번호 :"
  uint16_t marginTop = 100;     // 32
  uint16_t marginBottom = 100;  // 34
  uint16_t marginLeft = 100;    // 36
  uint16_t marginRight = 100;   // 38
  uint32_t outlineColor = 0;    // 40 0x00BBGGRR

  bool operator==(const ReportSettings&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(ReportSettings) == kReportSettingsSize, "record 121 is 44 bytes");

// The defaults for a printer whose physical page is width x height (0.1 mm):
// the paper is that less 200 in each direction; 0 x 0 (no printer) gives
// 2100 x 2970.
ReportSettings defaultReportSettings(int32_t physicalWidth, int32_t physicalHeight);

// Record 121 read over defaults: a shorter record overwrites only the bytes
// it has; no record leaves the defaults. A paper width or height of 0 takes
// the defaults' paper (the printer's page).
ReportSettings readReportSettings(OptionFileRef* opt, const ReportSettings& defaults);
// Writes record 121; false when the option file refused.
bool writeReportSettings(OptionFileRef* opt, const ReportSettings& settings);

// The option item of the settings and of the report's filter text.
inline constexpr int kReportSettingsItem = 121;
inline constexpr int kReportFilterItem = 153;

}  // namespace kelvo

#endif  // KELVO_REPORT_SETTINGS_H_
