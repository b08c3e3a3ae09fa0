#include "kelvo/report_settings.h"

#include <algorithm>
#include <cstring>

#include "xJorDbm2.h"

namespace kelvo {

ReportSettings defaultReportSettings(int32_t physicalWidth, int32_t physicalHeight) {
  ReportSettings s;
  if (physicalWidth > 200 && physicalHeight > 200) {
    s.paperWidth = uint16_t(std::min<int32_t>(physicalWidth - 200, 0xFFFF));
    s.paperHeight = uint16_t(std::min<int32_t>(physicalHeight - 200, 0xFFFF));
  }
  return s;
}

ReportSettings readReportSettings(OptionFileRef* opt, const ReportSettings& defaults) {
  ReportSettings s = defaults;
  if (!opt) return s;
  const int32_t size = xOption(opt, XOPT_SIZE, kReportSettingsItem, nullptr, 0);
  if (size <= 0) return s;
  uint8_t bytes[kReportSettingsSize];
  std::memcpy(bytes, &defaults, sizeof bytes);
  const uint32_t n = uint32_t(std::min<int32_t>(size, kReportSettingsSize));
  if (xOption(opt, XOPT_READ, kReportSettingsItem, bytes, n) == 0) return s;
  std::memcpy(&s, bytes, sizeof s);
  if (s.paperWidth == 0 || s.paperHeight == 0) {
    // No paper stored: the printer's page, as for a project without the
    // record (the shipped Default file carries the report so).
    s.paperWidth = defaults.paperWidth;
    s.paperHeight = defaults.paperHeight;
  }
  return s;
}

bool writeReportSettings(OptionFileRef* opt, const ReportSettings& settings) {
  if (!opt) return false;
  ReportSettings copy = settings;
  return xOption(opt, XOPT_WRITE, kReportSettingsItem, &copy, sizeof copy) != 0;
}

}  // namespace kelvo
