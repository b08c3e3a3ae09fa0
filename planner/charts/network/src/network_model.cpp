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

SideCaptions defaultSideCaptions() {
  SideCaptions c;
  std::memset(&c, 0, sizeof c);
  c.font.lfHeight = -32;
  c.font.lfWeight = 400;
  c.font.lfCharSet = 1;
  std::memcpy(c.font.lfFaceName, "\xB1\xBC\xB8\xB2\xC3\xBC", 7);  // "굴림체"
  return c;
}

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
  // Nothing is drawn to a path <= 0 or from a day of 0, which lies decades
  // left of the axis.
  if (link.predPath <= 0 || link.succPath <= 0 || !link.leaveDay || !link.reachDay) return r;
  const int32_t row = link.row > 0 ? link.row : link.predPath;
  const int32_t x0 = scale.x(link.leaveDay), x1 = scale.x(link.reachDay);
  const int32_t yp = pathCentre(link.predPath, scale), ys = pathCentre(link.succPath, scale);
  const int32_t yr = pathCentre(row, scale);
  // The corners, legs of no length left out.
  const int32_t cx[4] = {x0, x0, x1, x1}, cy[4] = {yp, yr, yr, ys};
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    if (n > 0 && r.x[n - 1] == cx[i] && r.y[n - 1] == cy[i]) continue;
    r.x[n] = cx[i], r.y[n] = cy[i], ++n;
  }
  if (n < 2) return r;  // both ends on one point: nothing to draw
  // Leave the predecessor's node and enter the successor's at their edges:
  // sideways along a horizontal leg, above or below along a vertical one.
  const auto shorten = [&](int at, int toward) {
    const int dx = sign(int64_t{r.x[toward]} - r.x[at]);
    const int dy = sign(int64_t{r.y[toward]} - r.y[at]);
    r.x[at] += dx * edge.side;
    r.y[at] += dy * edge.vertical;
  };
  const int dirX = sign(int64_t{r.x[n - 1]} - r.x[n - 2]);
  const int dirY = sign(int64_t{r.y[n - 1]} - r.y[n - 2]);
  shorten(0, 1);
  shorten(n - 1, n - 2);
  const int32_t lo = left - kBeyondEdge, hi = right + kBeyondEdge;
  const int32_t yLo = bottom - kBeyondEdge, yHi = top + kBeyondEdge;
  for (int i = 0; i < n; ++i) {
    r.x[i] = std::clamp(r.x[i], lo, hi);
    r.y[i] = std::clamp(r.y[i], yLo, yHi);
  }
  r.count = n;
  // Two strokes back from the tip, against the last leg.
  const int32_t tx = r.x[n - 1], ty = r.y[n - 1];
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
