// Writes the "Default" format file of every view kind into the folder given
// on the command line, each holding the layout a view of that kind starts
// with when nothing is stored: the program's own defaults, so that a user
// who changes a Default file starts from what the program shows.
#include <cstdio>
#include <cstring>
#include <string>

#include "kelvo/format_file.h"
#include "kelvo/format_store.h"
#include "kelvo/gantt_model.h"
#include "kelvo/grid_format.h"
#include "kelvo/map_model.h"
#include "kelvo/network_model.h"
#include "kelvo/period_band.h"
#include "kelvo/print_format.h"
#include "kelvo/report_settings.h"
#include "kelvo/time_scale.h"

namespace kelvo {
namespace {

template <typename T>
std::vector<uint8_t> bytesOf(const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  return {p, p + sizeof value};
}

TimeScaleSettings defaultScale(ViewKind kind) {
  switch (kind) {
    case ViewKind::GanttChart:
    case ViewKind::GanttSummaryChart:
      return defaultGanttScale(0, 0);
    case ViewKind::Network:
      return defaultNetScale(0, 0);
    case ViewKind::PeriodChart: {
      TimeScaleSettings s = defaultTimeScale(0, 0);
      s.flags |= scaleflag::kPeriodBand | bandflag::kMajorGrid;
      s.leftTableWidth = defaultChartBlock().labelWidth;
      return s;
    }
    case ViewKind::PeriodSheet:
    case ViewKind::PeriodResourceSheet: {
      TimeScaleSettings s = defaultTimeScale(0, 0);
      s.flags |= scaleflag::kRowLines;
      return s;
    }
    default:
      return defaultTimeScale(0, 0);
  }
}

std::vector<uint8_t> defaultPrint(ViewKind kind) {
  std::vector<uint8_t> bytes = bytesOf(defaultPrintFormat());
  bytes.resize(kFormatPrintField, 0);
  // The network chart's two paper label templates are empty.
  if (kind == ViewKind::Network)
    std::memset(bytes.data() + kGanttPrintFormatSize, labelbyte::kEnd, 2 * kLabelTemplateSize);
  return bytes;
}

// The block's default bytes. Sheets start without column records, period
// sheets without value items, and no filter or order: the views then make
// their columns and items from the table they show.
std::vector<uint8_t> defaultBlock(ViewKind kind, const FormatBlock& block) {
  switch (block.role) {
    case BlockRole::GanttBlock:
      return bytesOf(defaultGanttBlock());
    case BlockRole::NetBlock:
      return bytesOf(defaultNetBlock());
    case BlockRole::TimeScale:
      return bytesOf(defaultScale(kind));
    case BlockRole::Band:
      return bytesOf(defaultBandBlock());
    case BlockRole::ChartBlock:
      return bytesOf(defaultChartBlock());
    case BlockRole::MapBlock:
      return bytesOf(defaultMapSettings());
    case BlockRole::GridFormat:
      return bytesOf(defaultGridFormat());
    case BlockRole::PrintFormat:
      return defaultPrint(kind);
    case BlockRole::ReportSettings: {
      // No paper: the report takes the page of the printer it meets.
      ReportSettings settings = defaultReportSettings(0, 0);
      settings.paperWidth = settings.paperHeight = 0;
      return bytesOf(settings);
    }
    case BlockRole::Columns:
    case BlockRole::ValueItems:
      return {};
    default:
      return std::vector<uint8_t>(block.size, 0);
  }
}

}  // namespace
}  // namespace kelvo

int main(int argc, char** argv) {
  using namespace kelvo;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_default_forms FOLDER\n");
    return 2;
  }
  for (int k = 0; k <= kindNumber(ViewKind::UserReport); ++k) {
    const ViewKind kind = viewKindOf(k);
    if (!hasFormatFiles(kind)) continue;
    FormatFile file;
    file.kind = kind;
    file.title = "Default";
    for (const FormatBlock& block : formatBlocks(kind)) {
      FormatFile::Part part{block, 1, defaultBlock(kind, block)};
      if (block.role == BlockRole::Columns || block.role == BlockRole::ValueItems) part.count = 0;
      file.parts.push_back(std::move(part));
    }
    const std::string path = std::string(argv[1]) + "/Default" + formatExtension(kind);
    if (!writeFormatFileBytes(path, encodeFormatFile(file))) {
      std::fprintf(stderr, "make_default_forms: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
