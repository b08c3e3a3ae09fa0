#include "kelvo/network_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kelvo {
namespace {

constexpr int32_t kBeyondEdge = 20;  // out-of-sight ends run this far past the edge
constexpr int32_t kArrowLength = 10;

int sign(int64_t v) {
  return (v > 0) - (v < 0);
}

}  // namespace

NetBlock defaultNetBlock() {
  NetBlock b;
  std::memset(&b, 0, sizeof b);
  b.normalWidth = 1;
  b.criticalWidth = 5;
  b.linkWidth = 1;
  b.nodeWidth = 20;
  b.normalColor = 0xFF0000;
  b.criticalColor = 0x0000FF;
  b.linkColor = 0x008000;
  b.nodeFillColor = 0x008080;
  std::memset(b.upperLabel, labelbyte::kEnd, sizeof b.upperLabel);
  std::memset(b.lowerLabel, labelbyte::kEnd, sizeof b.lowerLabel);
  b.upperLabel[0] = 1;
  b.lowerLabel[0] = 2;
  b.labelLineHeight = 32;
  return b;
}

TimeScaleSettings defaultNetScale(uint16_t projectStart, uint16_t projectFinish) {
  TimeScaleSettings s = defaultTimeScale(projectStart, projectFinish);
  s.flags |= netflag::kDefaultExtra;
  return s;
}

int32_t pathCentre(int32_t path, const TimeScale& scale) {
  const int32_t rh = scale.settings().rowHeight;
  return scale.rowTop(path - 1) - rh / 2;
}

int32_t pathAt(int32_t y, const TimeScale& scale) {
  return y > 0 ? 0 : scale.rowAt(y) + 1;
}

int32_t nodeHeight(const NetBlock& block, uint16_t flags, int32_t textHeight) {
  return (flags & netflag::kCodeInNode) ? textHeight + 20 : block.nodeWidth;
}

NodeEdge nodeEdge(const NetBlock& block, uint16_t flags, int32_t textHeight) {
  if (flags & netflag::kBarMode) return {1, block.nodeWidth / 2};
  return {block.nodeWidth / 2, nodeHeight(block, flags, textHeight) / 2};
}

NetRoute routeRelation(const NetLink& link, const TimeScale& scale, const NodeEdge& edge,
                       int32_t left, int32_t top, int32_t right, int32_t bottom) {
  NetRoute r;
  if (link.predPath <= 0 || link.succPath <= 0) return r;
  const int32_t row = link.row > 0 ? link.row : link.predPath;
  if (link.predPath == link.succPath && row == link.predPath && link.leaveDay == link.reachDay)
    return r;
  const int32_t x0 = scale.x(link.leaveDay), x1 = scale.x(link.reachDay);
  const int32_t yp = pathCentre(link.predPath, scale), ys = pathCentre(link.succPath, scale);
  const int32_t yr = pathCentre(row, scale);
  int32_t xs[4] = {x0, x0, x1, x1};
  int32_t ys4[4] = {yp, yr, yr, ys};
  // Leave the predecessor's node: vertically when the row lies off its
  // path, else sideways toward the successor.
  if (yr != yp)
    ys4[0] += sign(int64_t{yr} - yp) * edge.vertical;
  else
    xs[0] += sign(int64_t{x1} - x0) * edge.side;
  // Enter the successor's node the same way.
  int32_t dirX = 0, dirY = 0;  // direction of the last leg
  if (yr != ys) {
    dirY = sign(int64_t{ys} - yr);
    ys4[3] -= dirY * edge.vertical;
  } else {
    dirX = x1 != x0 ? sign(int64_t{x1} - x0) : 1;
    xs[3] -= dirX * edge.side;
  }
  const int32_t lo = left - kBeyondEdge, hi = right + kBeyondEdge;
  const int32_t yLo = bottom - kBeyondEdge, yHi = top + kBeyondEdge;
  for (int i = 0; i < 4; ++i) {
    r.x[i] = std::clamp(xs[i], lo, hi);
    r.y[i] = std::clamp(ys4[i], yLo, yHi);
  }
  r.count = 4;
  // Two strokes back from the tip, against the last leg.
  const int32_t tx = r.x[3], ty = r.y[3];
  if (dirY != 0) {
    r.headX[0] = tx - kArrowLength, r.headY[0] = ty - dirY * kArrowLength;
    r.headX[1] = tx + kArrowLength, r.headY[1] = ty - dirY * kArrowLength;
  } else {
    r.headX[0] = tx - dirX * kArrowLength, r.headY[0] = ty + kArrowLength;
    r.headX[1] = tx - dirX * kArrowLength, r.headY[1] = ty - kArrowLength;
  }
  return r;
}

int64_t distanceToRoute(const NetRoute& route, int32_t x, int32_t y) {
  int64_t best = INT64_MAX;
  for (int i = 0; i + 1 < route.count; ++i) {
    // Every leg is horizontal or vertical: the distance is that to the
    // nearest point of a box one of whose sides is empty.
    const int64_t x0 = std::min(route.x[i], route.x[i + 1]);
    const int64_t x1 = std::max(route.x[i], route.x[i + 1]);
    const int64_t y0 = std::min(route.y[i], route.y[i + 1]);
    const int64_t y1 = std::max(route.y[i], route.y[i + 1]);
    const int64_t dx = x < x0 ? x0 - x : (x > x1 ? x - x1 : 0);
    const int64_t dy = y < y0 ? y0 - y : (y > y1 ? y - y1 : 0);
    best = std::min(best, std::max(dx, dy));
  }
  return best;
}

std::string relationText(int16_t kind, int16_t lag) {
  char text[16];
  const char first = kind == 0 || kind == 1 ? 'F' : 'S';
  const char second = (kind & 1) ? 'F' : 'S';
  std::snprintf(text, sizeof text, "%c%c %d", first, second, int(lag));
  return text;
}

}  // namespace kelvo
