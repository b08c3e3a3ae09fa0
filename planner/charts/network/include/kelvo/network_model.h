// The network chart as geometry, without widgets: its stored block, where
// a path's centre line lies, the route of a relation between two paths and
// what the chart writes on it, all in logical units (0.1 mm, y up) through
// the time scale. The view paints what these functions return.
#ifndef KELVO_NETWORK_MODEL_H_
#define KELVO_NETWORK_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "kelvo/network_label.h"
#include "kelvo/time_scale.h"
#include "xJorLib.h"

namespace kelvo {

// The chart's own block, stored after the time-scale settings (110 bytes).
inline constexpr int kLabelTemplateSize = 40;
#pragma pack(push, 1)
struct NetBlock {
  int16_t normalWidth;    // pen of non-critical activity arrows
  int16_t criticalWidth;  // pen of critical ones
  int16_t linkWidth;      // pen of relation lines
  int16_t nodeWidth;      // node and milestone size
  COLORREF normalColor;
  COLORREF criticalColor;
  COLORREF linkColor;
  COLORREF nodeFillColor;
  uint8_t upperLabel[kLabelTemplateSize];
  uint8_t lowerLabel[kLabelTemplateSize];
  int16_t labelWidth;       // width of the label box
  int16_t labelLineHeight;  // one label line
  int16_t labelChars;       // characters per label line
};
#pragma pack(pop)
static_assert(sizeof(NetBlock) == 110, "the network block is 110 bytes");
static_assert(offsetof(NetBlock, normalColor) == 8, "colours follow the four widths");
static_assert(offsetof(NetBlock, upperLabel) == 24, "templates follow the colours");
static_assert(offsetof(NetBlock, labelWidth) == 104, "the label box closes the block");

// The captions of the time scale's side areas, kept project-wide in
// option record 2: left and right captions (CP949, at most 32 bytes each),
// their font and colour.
#pragma pack(push, 1)
struct SideCaptions {
  char left[33];
  char right[33];
  LOGFONT font;
  COLORREF colour;
};
#pragma pack(pop)
static_assert(sizeof(SideCaptions) == 130, "the side captions are 130 bytes");
static_assert(offsetof(SideCaptions, font) == 66, "the font follows the two captions");

// No captions, "굴림체" height -32 in black.
SideCaptions defaultSideCaptions();

// The block of a new chart: widths 1, 5, 1, 20; blue arrows, red critical
// ones, green relations, teal nodes; field 1 above and field 2 below.
NetBlock defaultNetBlock();

// Scale flags of the chart (beside the shared ones of kelvo/time_scale.h).
namespace netflag {
inline constexpr uint16_t kRelationText = 0x0008;
inline constexpr uint16_t kCodeInNode = 0x0010;
inline constexpr uint16_t kSquareNodes = 0x0020;
inline constexpr uint16_t kCentreLabels = 0x0040;
inline constexpr uint16_t kArrowheads = 0x0080;
inline constexpr uint16_t kLowerLabels = 0x1000;
inline constexpr uint16_t kUpperLabels = 0x2000;
inline constexpr uint16_t kBarMode = 0x8000;
// What a new chart adds to the shared default flags.
inline constexpr uint16_t kDefaultExtra = 0x3008;
}  // namespace netflag

// Activity flag bits the chart reads.
namespace actflag {
inline constexpr uint16_t kNameBeforeWorkType = 0x01;
inline constexpr uint16_t kNameBeforeFacility = 0x02;
inline constexpr uint16_t kNameOnBarWorkType = 0x04;
inline constexpr uint16_t kNameOnBarFacility = 0x08;
inline constexpr uint16_t kStartDate = 0x10;
inline constexpr uint16_t kFinishDate = 0x20;
inline constexpr uint16_t kLowerLabel = 0x1000;
inline constexpr uint16_t kUpperLabel = 0x2000;
}  // namespace actflag

// The time-scale settings of a new chart: the shared defaults with the
// chart's flags added.
TimeScaleSettings defaultNetScale(uint16_t projectStart, uint16_t projectFinish);

// y of the centre line of path p (routing rows lie on the same lines): on
// body row p - 1.
int32_t pathCentre(int32_t path, const TimeScale& scale);
// The path under y (rows below y = 0 are paths 1, 2, ...).
int32_t pathAt(int32_t y, const TimeScale& scale);

// How far a relation line stops short of a node: sideways for a horizontal
// approach, above or below for a vertical one.
struct NodeEdge {
  int32_t side = 0, vertical = 0;
};
// The edges of the chart's nodes: half a node width sideways and half the
// node's height (text height + 20 with codes inside) vertically; in bar
// mode 1 unit sideways and half the bar height.
NodeEdge nodeEdge(const NetBlock& block, uint16_t flags, int32_t textHeight);
// Height of a node: node width, or text height + 20 with codes inside.
int32_t nodeHeight(const NetBlock& block, uint16_t flags, int32_t textHeight);

// A relation as the link table holds it.
struct NetLink {
  int16_t predPath = 0, succPath = 0;
  int16_t row = 0;  // routing row, <= 0 along the predecessor's path
  uint16_t leaveDay = 0, reachDay = 0;
};

// The drawn route: two to four points (out of the predecessor, along the
// routing row, into the successor; legs of no length left out) and the two
// arrowhead strokes from the tip.
struct NetRoute {
  int count = 0;  // points; 0: not drawn
  int32_t x[4] = {}, y[4] = {};
  int32_t headX[2] = {}, headY[2] = {};
};
// Routes a relation: down or up from the predecessor's path at its leaving
// day to the routing row, along it to the reaching day, and to the
// successor's path, stopping at the nodes' edges. Points are clamped to
// `visible` widened by 20 units, so ends out of sight run past the edge.
// A relation on paths <= 0 or with a day of 0, or whose paths, row and
// days all coincide, has no route.
NetRoute routeRelation(const NetLink& link, const TimeScale& scale, const NodeEdge& edge,
                       int32_t visibleLeft, int32_t visibleTop, int32_t visibleRight,
                       int32_t visibleBottom);

// Distance from (x, y) to the route's nearest segment.
int64_t distanceToRoute(const NetRoute& route, int32_t x, int32_t y);

// The text written on a relation line: "FS 3", "FF -1", "SS 0", "SF 2".
std::string relationText(int16_t kind, int16_t lag);

}  // namespace kelvo

#endif  // KELVO_NETWORK_MODEL_H_
