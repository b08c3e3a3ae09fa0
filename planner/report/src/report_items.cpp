#include "kelvo/report_items.h"

#include <algorithm>
#include <cstring>

namespace kelvo {

ViewPosition reportAnchor(int32_t x, int16_t band, int16_t y) {
  ViewPosition p;
  p.x = x;
  p.y = int32_t(uint32_t(uint16_t(band)) | (uint32_t(uint16_t(y)) << 16));
  return p;
}

ObjectRecords makeReportText(const ViewPosition& anchor, int16_t width, int16_t height,
                             COLORREF colour, int16_t alignment, const LOGFONT& font,
                             const ReportTextHeader& header, const std::string& text,
                             const std::string& condition) {
  // The payload length is a 16-bit count: the text gives way first.
  constexpr size_t kRoom = 0xFFFF - kReportTextHeaderSize;
  const std::string cond = condition.substr(0, std::min(condition.size(), kRoom));
  const std::string body = text.substr(0, std::min(text.size(), kRoom - cond.size()));
  ReportTextHeader h = header;
  h.textLength = uint16_t(body.size());
  h.conditionLength = uint16_t(cond.size());
  std::string payload(reinterpret_cast<const char*>(&h), sizeof h);
  payload += body;
  payload += cond;
  return makeTextObject(anchor, width, height, colour, alignment, font, payload);
}

bool readReportItem(const ObjectTable& table, uint32_t index, ReportItem* item) {
  if (table.span(index) == 0) return false;
  ReportItem r;
  r.record = index;
  r.head = table.at(index);
  r.x = r.head.anchor.x;
  r.band = anchorBand(r.head.anchor);
  r.y = anchorY(r.head.anchor);
  if (r.isText()) {
    std::string payload;
    if (!table.readText(index, &r.font, &payload)) return false;
    if (payload.size() < sizeof r.header) return false;
    std::memcpy(&r.header, payload.data(), sizeof r.header);
    const size_t need = sizeof r.header + r.header.textLength + r.header.conditionLength;
    if (need > payload.size()) return false;
    r.text = payload.substr(sizeof r.header, r.header.textLength);
    r.condition = payload.substr(sizeof r.header + r.header.textLength, r.header.conditionLength);
  }
  *item = std::move(r);
  return true;
}

std::vector<ReportItem> reportItems(const ObjectTable& table, uint8_t section) {
  std::vector<ReportItem> items;
  const ObjectTable::Range range = table.layer(section);
  for (uint32_t i = range.first; i < range.end; ++i) {
    ReportItem item;
    if (table.at(i).type == shape::kContinuation || !readReportItem(table, i, &item)) continue;
    items.push_back(std::move(item));
  }
  std::stable_sort(items.begin(), items.end(), [](const ReportItem& a, const ReportItem& b) {
    if (a.band != b.band) return a.band < b.band;
    if (a.y != b.y) return a.y > b.y;
    return a.x < b.x;
  });
  return items;
}

int editReportTexts(ObjectTable& table, const std::function<bool(ReportItem&)>& edit) {
  int written = 0;
  for (uint8_t section : {kSectionBody, kSectionCover}) {
    for (uint32_t i = table.layer(section).first; i < table.layer(section).end;) {
      ReportItem item;
      const uint32_t span = table.span(i);
      if (span == 0) {
        ++i;
        continue;
      }
      if (!readReportItem(table, i, &item) || !item.isText() || !edit(item)) {
        i += span;
        continue;
      }
      const ObjectRecord& h = item.head;
      ObjectRecords records = makeReportText(h.anchor, h.width, h.height, h.lineColor, h.lineStyle,
                                             item.font, item.header, item.text, item.condition);
      records[0].fill = h.fill;
      records[0].fillColor = (h.fillColor & 0xFFFF0000u) | (records[0].fillColor & 0xFFFFu);
      const ObjectRecords old = table.take(i);
      if (!table.insert(i, records, section)) {
        table.insert(i, old, section);  // no memory: the item stays as it was
        i += uint32_t(old.size());
        continue;
      }
      ++written;
      i += uint32_t(records.size());
    }
  }
  return written;
}

}  // namespace kelvo
