// The chart's relations found by the rectangle each one covers: from the
// lowest to the highest of its predecessor's path, successor's path and
// routing row, and from the earlier to the later of its anchor days. Built
// once per change of the records, so that a paint visits only the
// relations near the visible page instead of every relation of the project.
#ifndef KELVO_NETWORK_LINK_INDEX_H_
#define KELVO_NETWORK_LINK_INDEX_H_

#include <cstdint>
#include <vector>

struct RelAnchorEntry;

namespace kelvo {

class LinkIndex {
 public:
  // Indexes the count entries at links (the relation anchor index, in its
  // order). Entries the chart never draws (a path <= 0 or a day of 0) are
  // left out.
  void build(const RelAnchorEntry* links, uint32_t count);

  // Appends to out the positions in links of every indexed entry whose
  // rectangle meets paths firstPath..lastPath and day numbers
  // firstDay..lastDay (its highest path >= firstPath, its lowest <=
  // lastPath, and so for days), once each and in ascending order: the order
  // of the links, so that what is drawn from them overlaps as before.
  void find(int32_t firstPath, int32_t lastPath, int32_t firstDay, int32_t lastDay,
            std::vector<uint32_t>* out) const;

  // The day numbers the indexed entries span (lastDay < firstDay when none).
  int32_t firstDay() const { return dayLo_; }
  int32_t lastDay() const { return dayHi_; }

 private:
  struct Box {
    int32_t pathLo, pathHi, dayLo, dayHi;
    uint32_t at;  // position in the links
  };
  // Cell column of a path and row of a day, clamped to the grid.
  int32_t pathCell(int32_t path) const;
  int32_t dayCell(int32_t day) const;
  static bool meets(const Box& b, int32_t p0, int32_t p1, int32_t d0, int32_t d1) {
    return b.pathHi >= p0 && b.pathLo <= p1 && b.dayHi >= d0 && b.dayLo <= d1;
  }

  int32_t pathLo_ = 0, dayLo_ = 0, dayHi_ = -1;
  int32_t pathBand_ = 1, dayBand_ = 1;  // paths and days of one cell
  int32_t pathCells_ = 0, dayCells_ = 0;
  std::vector<uint32_t> cellStart_;  // cell c holds boxes_[cellStart_[c] .. cellStart_[c + 1])
  std::vector<Box> boxes_;           // by cell, ascending positions within one
  std::vector<Box> wide_;            // boxes over too many cells, looked at every time
};

}  // namespace kelvo

#endif  // KELVO_NETWORK_LINK_INDEX_H_
