// The summary-task outline of a foreign file as classification codes.
#include "summary_outline.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace kvmsp {

namespace {

constexpr int kMaxLevels = 8;
constexpr int kMaxCodeLength = 10;

int digits(int n) {
  int d = 1;
  for (; n >= 10; n /= 10) ++d;
  return d;
}

std::string padded(int n, int width) {
  std::string s = std::to_string(n);
  return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

struct Node {
  size_t task;
  int parent, depth, place;
};

}  // namespace

SummaryOutline classifyBySummaries(Project& p) {
  SummaryOutline out;
  for (const OutlineCode& oc : p.outlineCodes)
    if (oc.number == 1) return out;

  // The summary tree, and the summary each task sits under.
  std::vector<Node> nodes;
  std::vector<int> under(p.tasks.size(), -1), nodeOf(p.tasks.size(), -1);
  std::map<int, int> children;            // node (-1 = the top) -> summaries below it
  std::vector<std::pair<int, int>> open;  // (outline level, node)
  for (size_t i = 0; i < p.tasks.size(); ++i) {
    const Task& t = p.tasks[i];
    if (t.uid <= 0) continue;  // task 0 is the project
    while (!open.empty() && open.back().first >= t.outlineLevel) open.pop_back();
    const int parent = open.empty() ? -1 : open.back().second;
    under[i] = parent;
    if (!t.summary) continue;
    const int depth = parent < 0 ? 0 : nodes[parent].depth + 1;
    nodeOf[i] = static_cast<int>(nodes.size());
    nodes.push_back({i, parent, depth, ++children[parent]});
    open.emplace_back(t.outlineLevel, static_cast<int>(nodes.size()) - 1);
    out.deepest = std::max(out.deepest, depth + 1);
  }
  if (nodes.empty()) return out;

  // Each level as wide as its largest place; as many levels as fit.
  std::vector<int> width(out.deepest, 1);
  for (const Node& n : nodes) width[n.depth] = std::max(width[n.depth], digits(n.place));
  int length = 0;
  while (out.levels < std::min(out.deepest, kMaxLevels) &&
         length + width[out.levels] <= kMaxCodeLength)
    length += width[out.levels++];
  if (!out.levels) return out;
  const int last = out.levels - 1;

  OutlineCode work;
  work.number = 1;
  work.lengths.assign(width.begin(), width.begin() + out.levels);
  // Value ids: node + 1 for the summaries kept; zero codes after them.
  for (size_t n = 0; n < nodes.size(); ++n) {
    const Node& s = nodes[n];
    if (s.depth > last) continue;
    work.values.push_back({static_cast<int>(n) + 1, s.parent + 1, padded(s.place, width[s.depth]),
                           p.tasks[s.task].name});
  }
  auto kept = [&](int n) {
    while (n >= 0 && nodes[n].depth > last) n = nodes[n].parent;
    return n;
  };
  std::map<int, int> finalOf;  // kept node -> value id of its final-level code
  auto finalCode = [&](int n) {
    if (nodes[n].depth == last) return n + 1;
    auto [at, added] = finalOf.try_emplace(n, 0);
    if (added) {
      int id = n + 1;
      for (int d = nodes[n].depth + 1; d <= last; ++d) {
        const int parent = id;
        id = static_cast<int>(nodes.size() + work.values.size()) + 1;
        work.values.push_back(
            {id, parent, std::string(width[d], '0'), p.tasks[nodes[n].task].name});
      }
      at->second = id;
    }
    return at->second;
  };

  const bool ownFacilities = std::any_of(p.outlineCodes.begin(), p.outlineCodes.end(),
                                         [](const OutlineCode& oc) { return oc.number == 2; });
  std::map<int, int> tasksOf;  // work-type value id -> tasks numbered so far
  int facilities = 0;
  for (size_t i = 0; i < p.tasks.size(); ++i) {
    Task& t = p.tasks[i];
    if (t.uid <= 0 || (under[i] < 0 && !t.summary)) continue;
    if (t.summary) {
      t.outlineValue[0] = kept(nodeOf[i]) + 1;
      continue;
    }
    t.outlineValue[0] = finalCode(kept(under[i]));
    if (!ownFacilities) {
      t.outlineValue[1] = ++tasksOf[t.outlineValue[0]];
      facilities = std::max(facilities, t.outlineValue[1]);
    }
  }
  p.outlineCodes.push_back(std::move(work));
  if (!ownFacilities && facilities) {
    OutlineCode place;
    place.number = 2;
    place.lengths = {digits(facilities)};
    for (int n = 1; n <= facilities; ++n)
      place.values.push_back({n, 0, padded(n, digits(facilities)), {}});
    p.outlineCodes.push_back(std::move(place));
  }
  return out;
}

}  // namespace kvmsp
