#include "kelvo/network_paths.h"

#include <algorithm>
#include <map>

#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr uint16_t kStartsNetwork = 0x8000;
constexpr uint16_t kPathLabelBits = 0x003F;

int32_t clampPath(int64_t p) {
  return int32_t(std::clamp<int64_t>(p, 1, kMaxPath));
}

// The days an activity occupies on its path: [start, max(anchor, start + 1)).
struct Span {
  int32_t from, to;
};
Span spanOf(const PathActivity& a) {
  const int32_t from = xjor::dayNumber(a.start);
  const int32_t anchor = a.anchor ? xjor::dayNumber(a.anchor) : from;
  return {from, std::max(anchor, from + 1)};
}

// The days taken on every path, each path as a union of disjoint spans.
class Occupancy {
 public:
  Occupancy() : paths_(kMaxPath + 1) {}

  bool overlaps(int32_t path, Span s) const {
    const auto& m = paths_[size_t(path)];
    auto it = m.lower_bound(s.to);  // first span starting at or after s.to
    if (it == m.begin()) return false;
    --it;
    return it->second > s.from;
  }

  void add(int32_t path, Span s) {
    auto& m = paths_[size_t(path)];
    auto it = m.upper_bound(s.from);
    if (it != m.begin() && std::prev(it)->second >= s.from) {
      --it;
      s.from = it->first;
      s.to = std::max(s.to, it->second);
      it = m.erase(it);
    }
    while (it != m.end() && it->first <= s.to) {
      s.to = std::max(s.to, it->second);
      it = m.erase(it);
    }
    m.emplace(s.from, s.to);
  }

 private:
  std::vector<std::map<int32_t, int32_t>> paths_;
};

class Assigner {
 public:
  Assigner(const std::vector<PathActivity>& acts, const std::vector<PathRelation>& rels,
           const PathOptions& o)
      : acts_(acts), rels_(rels), o_(o), placed_(acts.size(), false) {
    o_.spacing = std::clamp<int32_t>(o_.spacing, 1, 8);
    o_.startPath = clampPath(o_.startPath);
    o_.milestoneFrom = clampPath(o_.milestoneFrom);
    o_.milestoneTo = clampPath(o_.milestoneTo);
    out_.paths.resize(acts.size());
    out_.flags.resize(acts.size());
    for (size_t i = 0; i < acts.size(); ++i) {
      out_.paths[i] = acts[i].path;
      out_.flags[i] = acts[i].flags;
    }
    out_.rows.resize(rels.size());
    for (size_t i = 0; i < rels.size(); ++i) out_.rows[i] = rels[i].row;
  }

  PathAssignment run() {
    if (o_.byClass != LabelClass::None) {
      byClassification();
    } else {
      // Activities that keep their path are on it from the start.
      for (size_t i = 0; i < acts_.size(); ++i)
        if (!isTarget(i)) place(i, acts_[i].path);
      placeMilestones();
      walkChains();
      placeChains();
    }
    routeRelations();
    if (o_.barLabels) setPathLabels();
    for (int16_t p : out_.paths) out_.highestPath = std::max<int32_t>(out_.highestPath, p);
    return std::move(out_);
  }

 private:
  bool isTarget(size_t i) const { return o_.allActivities || acts_[i].path <= 0; }

  void place(size_t i, int32_t path) {
    out_.paths[i] = int16_t(path);
    placed_[i] = true;
    if (path >= 1) busy_.add(path, spanOf(acts_[i]));
  }

  void byClassification() {
    const bool workType = o_.byClass == LabelClass::WorkType;
    const auto codeOf = [&](size_t i) -> const std::string& {
      return workType ? acts_[i].workType : acts_[i].facility;
    };
    std::vector<std::string> codes;
    for (size_t i = 0; i < acts_.size(); ++i)
      if (!codeOf(i).empty()) codes.push_back(codeOf(i));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (size_t i = 0; i < acts_.size(); ++i) {
      if (!isTarget(i)) continue;
      if (codeOf(i).empty()) {
        out_.paths[i] = int16_t(o_.milestoneFrom);
        continue;
      }
      const auto at = std::lower_bound(codes.begin(), codes.end(), codeOf(i)) - codes.begin();
      out_.paths[i] = int16_t(clampPath(int64_t(at) * o_.spacing + o_.startPath));
    }
  }

  void placeMilestones() {
    for (size_t i = 0; i < acts_.size(); ++i) {
      if (!isTarget(i) || !acts_[i].milestone) continue;
      const Span s = spanOf(acts_[i]);
      int32_t path = o_.milestoneFrom;
      for (int32_t p = o_.milestoneFrom; p <= o_.milestoneTo; p += o_.spacing) {
        if (!busy_.overlaps(p, s)) {
          path = p;
          break;
        }
      }
      place(i, path);
    }
  }

  // Chains: each network start begins one; a walk follows the first
  // successor while it is reached for the first time through a
  // finish-to-start relation, and every other successor reached for the
  // first time begins a chain of its own. Activities no walk reaches begin
  // chains afterwards, in activity order.
  void walkChains() {
    firstOut_.assign(acts_.size() + 1, 0);
    for (const PathRelation& r : rels_)
      if (r.pred >= 0 && size_t(r.pred) < acts_.size()) ++firstOut_[size_t(r.pred) + 1];
    for (size_t i = 0; i < acts_.size(); ++i) firstOut_[i + 1] += firstOut_[i];
    outRel_.resize(firstOut_.back());
    std::vector<uint32_t> fill(firstOut_.begin(), firstOut_.end() - 1);
    for (size_t k = 0; k < rels_.size(); ++k) {
      const PathRelation& r = rels_[k];
      if (r.pred >= 0 && size_t(r.pred) < acts_.size()) outRel_[fill[size_t(r.pred)]++] = k;
    }
    chainOf_.assign(acts_.size(), -1);
    for (size_t i = 0; i < acts_.size(); ++i)
      if (acts_[i].flags & kStartsNetwork) beginChain(i);
    walkAll();
    for (size_t i = 0; i < acts_.size(); ++i) {
      if (chainOf_[i] >= 0 || !isTarget(i)) continue;
      beginChain(i);
      walkAll();
    }
  }

  void beginChain(size_t i) {
    if (chainOf_[i] >= 0) return;
    chainOf_[i] = chainCount_++;
    work_.push_back(i);
  }

  void walkAll() {
    for (; next_ < work_.size(); ++next_) {
      size_t at = work_[next_];
      for (;;) {
        bool goOn = false;
        size_t following = 0;
        for (uint32_t e = firstOut_[at]; e < firstOut_[at + 1]; ++e) {
          const PathRelation& r = rels_[outRel_[e]];
          if (r.succ < 0 || size_t(r.succ) >= acts_.size()) continue;
          const size_t s = size_t(r.succ);
          const bool first = e == firstOut_[at];
          if (chainOf_[s] >= 0) continue;
          if (first && r.kind == 0) {
            chainOf_[s] = chainOf_[at];
            goOn = true;
            following = s;
          } else {
            beginChain(s);
          }
        }
        if (!goOn) break;
        at = following;
      }
    }
  }

  void placeChains() {
    std::vector<std::vector<size_t>> chains(static_cast<size_t>(chainCount_));
    for (size_t i = 0; i < acts_.size(); ++i)
      if (chainOf_[i] >= 0) chains[size_t(chainOf_[i])].push_back(i);
    std::vector<Span> spans;
    for (const std::vector<size_t>& chain : chains) {
      int32_t from = o_.startPath;
      if (!o_.allActivities) {
        for (size_t i : chain) {
          if (acts_[i].path >= 1) {
            from = acts_[i].path;
            break;
          }
        }
      }
      spans.clear();
      for (size_t i : chain)
        if (isTarget(i) && !placed_[i]) spans.push_back(spanOf(acts_[i]));
      if (spans.empty()) continue;
      int32_t path = kMaxPath;
      for (int32_t p = from; p <= kMaxPath; p += o_.spacing) {
        const bool free = std::none_of(spans.begin(), spans.end(),
                                       [&](const Span& s) { return busy_.overlaps(p, s); });
        if (free) {
          path = p;
          break;
        }
      }
      for (size_t i : chain)
        if (isTarget(i) && !placed_[i]) place(i, path);
    }
  }

  void routeRelations() {
    for (size_t k = 0; k < rels_.size(); ++k) {
      const PathRelation& r = rels_[k];
      if (r.pred < 0 || r.succ < 0 || size_t(r.pred) >= acts_.size() ||
          size_t(r.succ) >= acts_.size())
        continue;
      const int32_t p = out_.paths[size_t(r.pred)], s = out_.paths[size_t(r.succ)];
      const int32_t row = out_.rows[k];
      const bool between = row >= std::min(p, s) && row <= std::max(p, s);
      if (!o_.allActivities && row >= 1 && between) continue;
      out_.rows[k] = routingRow(p, s, o_.startPath);
    }
  }

  // Path labels: the classification name before each path's first activity
  // (by start), the name on each bar (or the first only), the start date
  // under the first and the finish date under the last.
  void setPathLabels() {
    const auto before = uint16_t(o_.nameBefore == LabelClass::WorkType   ? 0x01
                                 : o_.nameBefore == LabelClass::Facility ? 0x02
                                                                         : 0);
    const auto onBar = uint16_t(o_.nameOnBar == LabelClass::WorkType   ? 0x04
                                : o_.nameOnBar == LabelClass::Facility ? 0x08
                                                                       : 0);
    std::vector<size_t> order(acts_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      if (out_.paths[a] != out_.paths[b]) return out_.paths[a] < out_.paths[b];
      return xjor::dayNumber(acts_[a].start) < xjor::dayNumber(acts_[b].start);
    });
    for (size_t k = 0; k < order.size(); ++k) {
      const size_t i = order[k];
      const bool first = k == 0 || out_.paths[order[k - 1]] != out_.paths[i];
      const bool last = k + 1 == order.size() || out_.paths[order[k + 1]] != out_.paths[i];
      uint16_t f = out_.flags[i] & uint16_t(~kPathLabelBits);
      if (first) f |= before;
      if (first || !o_.firstOnly) f |= onBar;
      if (first && o_.startDate) f |= 0x10;
      if (last && o_.finishDate) f |= 0x20;
      out_.flags[i] = f;
    }
  }

  const std::vector<PathActivity>& acts_;
  const std::vector<PathRelation>& rels_;
  PathOptions o_;
  PathAssignment out_;
  Occupancy busy_;
  std::vector<bool> placed_;
  std::vector<uint32_t> firstOut_, outRel_;
  std::vector<int32_t> chainOf_;
  int32_t chainCount_ = 0;
  std::vector<size_t> work_;
  size_t next_ = 0;
};

}  // namespace

PathAssignment assignPaths(const std::vector<PathActivity>& activities,
                           const std::vector<PathRelation>& relations, const PathOptions& options) {
  return Assigner(activities, relations, options).run();
}

int16_t routingRow(int32_t pred, int32_t succ, int32_t startPath) {
  if (pred == succ) return int16_t(clampPath(pred));
  int64_t mean = (int64_t{pred} + succ) / 2;
  if ((mean & 1) == (startPath & 1)) ++mean;
  return int16_t(clampPath(mean));
}

PathEditResult insertPaths(std::vector<int16_t>* paths, std::vector<int16_t>* rows,
                           int32_t position, int32_t count) {
  if (count <= 0) return PathEditResult::Done;
  for (const auto* list : {paths, rows})
    for (int16_t v : *list)
      if (v >= position && v + int64_t{count} > kMaxPath) return PathEditResult::Overflow;
  for (auto* list : {paths, rows})
    for (int16_t& v : *list)
      if (v >= position) v = int16_t(v + count);
  return PathEditResult::Done;
}

PathEditResult deletePaths(std::vector<int16_t>* paths, std::vector<int16_t>* rows,
                           int32_t position, int32_t count) {
  if (count <= 0) return PathEditResult::Done;
  const int64_t end = int64_t{position} + count;  // first path kept beyond the range
  for (const auto* list : {paths, rows})
    for (int16_t v : *list)
      if (v >= position && v < end) return PathEditResult::RangeHoldsData;
  for (auto* list : {paths, rows})
    for (int16_t& v : *list)
      if (v >= end) v = int16_t(v - count);
  return PathEditResult::Done;
}

int32_t clampPathMove(const std::vector<int16_t>& paths, const std::vector<int16_t>& rows,
                      int32_t delta) {
  int32_t lo = -kMaxPath, hi = kMaxPath;
  const auto bound = [&](int32_t v) {
    lo = std::max(lo, 1 - v);
    hi = std::min(hi, kMaxPath - v);
  };
  for (int16_t p : paths) bound(p);
  for (int16_t r : rows)
    if (r >= 1) bound(r);
  if (lo > hi) return 0;
  return std::clamp(delta, lo, hi);
}

}  // namespace kelvo
