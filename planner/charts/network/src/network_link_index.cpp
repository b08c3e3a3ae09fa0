#include "kelvo/network_link_index.h"

#include <algorithm>

#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

// A cell starts at 32 paths by 32 days, about a third of a page at the
// working zoom; the grid is coarsened until it has no more cells than a
// few per relation.
constexpr int32_t kFirstBand = 32;
// A relation over more cells than this is kept apart and tested on every
// look-up, rather than copied into each cell.
constexpr int64_t kMostCellsPerBox = 16;

int64_t cellsOver(int32_t lo, int32_t hi, int32_t band) {
  return int64_t{hi} / band - int64_t{lo} / band + 1;
}

}  // namespace

int32_t LinkIndex::pathCell(int32_t path) const {
  return std::clamp((path - pathLo_) / pathBand_, 0, pathCells_ - 1);
}

int32_t LinkIndex::dayCell(int32_t day) const {
  return std::clamp((day - dayLo_) / dayBand_, 0, dayCells_ - 1);
}

void LinkIndex::build(const RelAnchorEntry* links, uint32_t count) {
  std::vector<Box> all;
  all.reserve(count);
  for (uint32_t i = 0; links && i < count; ++i) {
    const RelAnchorEntry& e = links[i];
    if (e.predPath <= 0 || e.succPath <= 0 || !e.predAnchor || !e.succAnchor) continue;
    const int32_t row = e.row > 0 ? e.row : e.predPath;
    const int32_t a = xjor::dayNumber(e.predAnchor), b = xjor::dayNumber(e.succAnchor);
    all.push_back({std::min({int32_t{e.predPath}, int32_t{e.succPath}, row}),
                   std::max({int32_t{e.predPath}, int32_t{e.succPath}, row}), std::min(a, b),
                   std::max(a, b), i});
  }
  boxes_.clear();
  wide_.clear();
  cellStart_.assign(1, 0);
  pathCells_ = dayCells_ = 0;
  dayLo_ = 0, dayHi_ = -1;
  if (all.empty()) return;

  int32_t pathHi = all[0].pathHi;
  pathLo_ = all[0].pathLo, dayLo_ = all[0].dayLo, dayHi_ = all[0].dayHi;
  for (const Box& b : all) {
    pathLo_ = std::min(pathLo_, b.pathLo), pathHi = std::max(pathHi, b.pathHi);
    dayLo_ = std::min(dayLo_, b.dayLo), dayHi_ = std::max(dayHi_, b.dayHi);
  }
  pathBand_ = dayBand_ = kFirstBand;
  const int64_t mostCells = 4 * int64_t(all.size()) + 1024;
  while (cellsOver(0, pathHi - pathLo_, pathBand_) * cellsOver(0, dayHi_ - dayLo_, dayBand_) >
         mostCells) {
    if (cellsOver(0, pathHi - pathLo_, pathBand_) >= cellsOver(0, dayHi_ - dayLo_, dayBand_))
      pathBand_ *= 2;
    else
      dayBand_ *= 2;
  }
  pathCells_ = int32_t(cellsOver(0, pathHi - pathLo_, pathBand_));
  dayCells_ = int32_t(cellsOver(0, dayHi_ - dayLo_, dayBand_));

  // Counted, then placed: boxes of one cell stay in the links' order.
  const auto forEachCell = [&](const Box& b, auto&& visit) {
    for (int32_t p = pathCell(b.pathLo); p <= pathCell(b.pathHi); ++p)
      for (int32_t d = dayCell(b.dayLo); d <= dayCell(b.dayHi); ++d) visit(p * dayCells_ + d);
  };
  const auto isWide = [&](const Box& b) {
    return int64_t{pathCell(b.pathHi) - pathCell(b.pathLo) + 1} *
               (dayCell(b.dayHi) - dayCell(b.dayLo) + 1) >
           kMostCellsPerBox;
  };
  cellStart_.assign(size_t(pathCells_) * dayCells_ + 1, 0);
  for (const Box& b : all)
    if (isWide(b))
      wide_.push_back(b);
    else
      forEachCell(b, [&](int32_t c) { ++cellStart_[c + 1]; });
  for (size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  boxes_.resize(cellStart_.back());
  std::vector<uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (const Box& b : all)
    if (!isWide(b)) forEachCell(b, [&](int32_t c) { boxes_[next[c]++] = b; });
}

void LinkIndex::find(int32_t firstPath, int32_t lastPath, int32_t firstDay, int32_t lastDay,
                     std::vector<uint32_t>* out) const {
  if (pathCells_ == 0) return;
  const size_t from = out->size();
  for (const Box& b : wide_)
    if (meets(b, firstPath, lastPath, firstDay, lastDay)) out->push_back(b.at);
  // A range given backwards finds the boxes that cover it whole.
  const int32_t p1 = pathCell(std::max(firstPath, lastPath));
  const int32_t d0 = dayCell(std::min(firstDay, lastDay)),
                d1 = dayCell(std::max(firstDay, lastDay));
  for (int32_t p = pathCell(std::min(firstPath, lastPath)); p <= p1; ++p)
    for (int32_t d = d0; d <= d1; ++d) {
      const int32_t c = p * dayCells_ + d;
      for (uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k)
        if (meets(boxes_[k], firstPath, lastPath, firstDay, lastDay)) out->push_back(boxes_[k].at);
    }
  // A box over several cells of the page was found once in each.
  std::sort(out->begin() + from, out->end());
  out->erase(std::unique(out->begin() + from, out->end()), out->end());
}

}  // namespace kelvo
