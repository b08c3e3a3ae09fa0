// The print format record a view kind keeps in the project's option file
// (record 164 + view kind): margins, header and footer with their texts,
// fonts and colours, the frame colour and the legend box.
#ifndef KELVO_PRINT_FORMAT_H_
#define KELVO_PRINT_FORMAT_H_

#include <cstddef>
#include <cstdint>

#include "xJorLib.h"

namespace kelvo {

// Print flags.
namespace printflag {
inline constexpr uint16_t kRowColumn = 0x2;    // print the row-number column
inline constexpr uint16_t kRepeatScale = 0x4;  // time scale on every page
inline constexpr uint16_t kGanttOnly = 0x8;    // Gantt chart without its sheet pane
}  // namespace printflag

#pragma pack(push, 1)
// The 598 bytes every view kind has; fonts are 60-byte logical fonts,
// colours 0x00BBGGRR, texts CP949 and NUL-terminated.
struct PrintFormat {
  uint16_t flags;
  int16_t marginTop;
  int16_t marginBottom;
  int16_t marginLeft;
  int16_t marginRight;
  int16_t headerHeight;  // 0 = no header
  int16_t footerHeight;  // 0 = no footer
  int16_t legendWidth;   // 0 = no legend box
  int16_t footerTextOffset;
  uint32_t frameColor;
  char headerText[2][80];
  LOGFONT headerFont[2];
  uint32_t headerColor[2];
  char footerText[2][80];
  LOGFONT footerFont[2];
  uint32_t footerColor[2];
};

// What the Gantt chart's kinds keep after the common part (664 bytes in all).
struct GanttPrintFormat {
  PrintFormat common;
  uint16_t reserved;
  LOGFONT legendFont;
  uint32_t legendColor;
};

// The longest record, the network chart's (828 bytes): the Gantt layout,
// then the label templates printed on paper and bytes kept as read. Every
// kind stores a prefix of it: 598 bytes, 664 for the Gantt kinds, all of
// it for the network chart.
struct PrintRecord {
  GanttPrintFormat gantt;
  uint8_t upperLabel[40];
  uint8_t lowerLabel[40];
  uint8_t reserved[84];
};
#pragma pack(pop)

static_assert(sizeof(LOGFONT) == 60, "logical font is 60 bytes");
static_assert(offsetof(PrintFormat, marginTop) == 2);
static_assert(offsetof(PrintFormat, headerHeight) == 10);
static_assert(offsetof(PrintFormat, legendWidth) == 14);
static_assert(offsetof(PrintFormat, frameColor) == 18);
static_assert(offsetof(PrintFormat, headerText) == 22);
static_assert(offsetof(PrintFormat, headerFont) == 182);
static_assert(offsetof(PrintFormat, headerColor) == 302);
static_assert(offsetof(PrintFormat, footerText) == 310);
static_assert(offsetof(PrintFormat, footerFont) == 470);
static_assert(offsetof(PrintFormat, footerColor) == 590);
static_assert(sizeof(PrintFormat) == 598, "print format is 598 bytes");
static_assert(offsetof(GanttPrintFormat, legendFont) == 600);
static_assert(offsetof(GanttPrintFormat, legendColor) == 660);
static_assert(sizeof(GanttPrintFormat) == 664, "Gantt print format is 664 bytes");

static_assert(offsetof(PrintRecord, upperLabel) == 664);
static_assert(offsetof(PrintRecord, lowerLabel) == 704);
static_assert(sizeof(PrintRecord) == 828, "network print format is 828 bytes");

inline constexpr int kPrintFormatSize = 598;
inline constexpr int kGanttPrintFormatSize = 664;
inline constexpr int kNetPrintFormatSize = 828;

// The controls of the print form a view offers beyond the common ones.
struct PrintFormParts {
  bool legend = false;     // legend box width and font (Gantt and network)
  bool rowColumn = false;  // "경로 인쇄": print flag bit 1 (network)
  bool scale = false;      // "기간 인쇄": print flag bit 2 (time-scaled views)
  bool ganttOnly = false;  // "간트만 인쇄": print flag bit 3 (Gantt)
};

// A record with the defaults: flags 4, margins 100 (10 mm), a header 150
// high whose first text is "&2" (the project name; the frame adds the print
// date and page numbers), no footer or legend, black frame and texts, fonts
// "굴림체" height -32.
PrintFormat defaultPrintFormat();

}  // namespace kelvo

#endif  // KELVO_PRINT_FORMAT_H_
