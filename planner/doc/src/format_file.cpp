#include "kelvo/format_file.h"

#include <algorithm>
#include <cstring>

#include "kelvo/option_slots.h"

namespace kelvo {
namespace {

using K = ViewKind;

constexpr uint32_t kGridFormatSize = 150;
constexpr uint32_t kTimeScaleSize = 172;
constexpr uint32_t kColumnSize = 46;
constexpr uint32_t kValueItemSize = 38;
constexpr uint32_t kRowSourceSize = 126;
constexpr uint32_t kPrintCommon = 598, kPrintGantt = 664, kPrintNetwork = 828;
constexpr int kValueItems = 6;   // item 0..5
constexpr int kValueSeries = 4;  // series 0..3

// Object records (28 bytes): type at 0, layer at 1, a text head's
// continuation count at 20, a picture's name at 14..27.
constexpr size_t kObjectSize = 28;
constexpr uint8_t kText = 3, kPicture = 9, kContinuation = 99;

int item(KindRecord record, ViewKind kind) {
  return kindItem(record, kind);
}

// A text field of a block: `length` bytes at `at` that must hold a NUL.
struct TextField {
  uint32_t at;
  uint32_t length;
};
// The face name of a 60-byte logical font that starts at `font`.
constexpr TextField face(uint32_t font) {
  return {font + 28, 32};
}
// The title of band or chart series i, series starting at `first`.
constexpr TextField seriesTitle(uint32_t first, uint32_t i) {
  return {first + 70 * i + 12, 32};
}

std::vector<TextField> textFields(BlockRole role, uint32_t used) {
  switch (role) {
    case BlockRole::Columns:
      return {{6, 40}};
    case BlockRole::RowSource:
      return {{26, 100}};
    case BlockRole::TimeScale:
      return {face(26), face(86)};
    case BlockRole::GridFormat:
      return {face(14), face(74)};
    case BlockRole::MapBlock:
      return {face(8), face(68), {164, 11}, {175, 11}};
    case BlockRole::Band: {
      std::vector<TextField> t = {{46, 16}, face(70)};
      for (uint32_t i = 0; i < 6; ++i) t.push_back(seriesTitle(134, i));
      return t;
    }
    case BlockRole::ChartBlock: {
      std::vector<TextField> t = {{38, 16}};
      for (uint32_t i = 0; i < 6; ++i) t.push_back(seriesTitle(78, i));
      return t;
    }
    case BlockRole::PrintFormat: {
      std::vector<TextField> t = {{22, 80},  {102, 80}, {310, 80}, {390, 80},
                                  face(182), face(242), face(470), face(530)};
      if (used >= kPrintGantt) t.push_back(face(600));
      return t;
    }
    default:
      return {};
  }
}

// The 16-bit words of a block that act as divisors or sizes.
std::vector<uint32_t> divisorWords(BlockRole role) {
  switch (role) {
    case BlockRole::GridFormat:
      return {8, 10};  // header and row height
    case BlockRole::TimeScale:
      return {6, 8, 16, 18};  // step width, step days, scale row and row height
    case BlockRole::MapBlock:
      return {4, 6};  // cell width and height
    case BlockRole::ChartBlock:
      return {2};  // bar width
    default:
      return {};
  }
}

uint16_t u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
int16_t i16(const uint8_t* p) {
  return static_cast<int16_t>(u16(p));
}

bool textsTerminated(const FormatBlock& block, const uint8_t* bytes) {
  for (const TextField& t : textFields(block.role, block.used))
    if (t.at + t.length > block.size || !std::memchr(bytes + t.at, 0, t.length)) return false;
  return true;
}

void clampDivisors(BlockRole role, uint8_t* bytes) {
  for (uint32_t at : divisorWords(role))
    if (i16(bytes + at) < 1) {
      bytes[at] = 1;
      bytes[at + 1] = 0;
    }
}

void addPrint(std::vector<FormatBlock>* blocks, ViewKind kind, uint32_t used) {
  blocks->push_back({BlockRole::PrintFormat, uint32_t(kFormatPrintField),
                     item(KindRecord::PrintFormat, kind), 0, used});
}

void addGrid(std::vector<FormatBlock>* blocks, ViewKind kind) {
  const int settings = item(KindRecord::Settings, kind);
  blocks->push_back({BlockRole::GridFormat, kGridFormatSize, settings, 0, kGridFormatSize});
  blocks->push_back(
      {BlockRole::Columns, kColumnSize, item(KindRecord::Columns, kind), 0, kColumnSize});
}

// The time scale and period band of a time-scaled kind. The value sheet's
// file carries both as well, but it is a grid here and keeps neither.
void addScaleAndBand(std::vector<FormatBlock>* blocks, ViewKind kind) {
  const bool kept = kind != K::ValueSheet;
  blocks->push_back({BlockRole::TimeScale, kTimeScaleSize,
                     kept ? item(KindRecord::Settings, kind) : -1, 0, kTimeScaleSize});
  blocks->push_back({BlockRole::Band, 554, kept ? item(KindRecord::Band, kind) : -1, 0, 554});
}

}  // namespace

bool hasFormatFiles(ViewKind kind) {
  const int k = kindNumber(kind);
  return k >= 0 && k <= kindNumber(K::UserReport) && !isGanttTableKind(kind);
}

ViewKind formatKindOf(ViewKind kind) {
  if (kind == K::GanttTable) return K::GanttChart;
  if (kind == K::GanttSummaryTable) return K::GanttSummaryChart;
  return kind;
}

std::string formatExtension(ViewKind kind) {
  if (kind == K::UserReport) return ".prp";
  const int n = kindNumber(kind) + 1;
  std::string ext = ".p";
  ext += char('0' + n / 10 % 10);
  ext += char('0' + n % 10);
  return ext;
}

std::array<uint8_t, kFormatHeaderSize> encodeFormatHeader(ViewKind kind, const std::string& title) {
  std::array<uint8_t, kFormatHeaderSize> h{};
  std::memcpy(h.data(), kFormatMagic, 4);
  const uint16_t k = static_cast<uint16_t>(kindNumber(kind));
  h[4] = uint8_t(k & 0xFF);
  h[5] = uint8_t(k >> 8);
  // Cut at 39 bytes, moving the cut before a lead byte whose trail byte
  // would fall outside.
  size_t n = 0;
  while (n < title.size() && title[n] != 0) {
    const bool lead =
        uint8_t(title[n]) >= 0x81 && uint8_t(title[n]) <= 0xFE && n + 1 < title.size();
    const size_t width = lead ? 2 : 1;
    if (n + width > kFormatTitleMax) break;
    n += width;
  }
  std::memcpy(h.data() + 6, title.data(), n);
  return h;
}

bool decodeFormatHeader(const uint8_t* bytes, size_t size, FormatHeader* header) {
  if (size < kFormatHeaderSize || std::memcmp(bytes, kFormatMagic, 4) != 0) return false;
  header->kind = u16(bytes + 4);
  const char* title = reinterpret_cast<const char*>(bytes + 6);
  header->title.assign(title, strnlen(title, kFormatTitleField));
  return true;
}

const char* formatErrorText(FormatError error) {
  switch (error) {
    case FormatError::None:
      return "the file is a sound format file";
    case FormatError::Unreadable:
      return "the file cannot be read";
    case FormatError::Short:
      return "the file is shorter than a format file header";
    case FormatError::Magic:
      return "the file is not a format file";
    case FormatError::Kind:
      return "the file was made for another kind of view";
    case FormatError::Truncated:
      return "the file ends inside its layout";
    case FormatError::BadItem:
      return "a value item names an item or series that does not exist";
    case FormatError::Unterminated:
      return "a text of the layout is not terminated";
  }
  return "";
}

std::vector<FormatBlock> formatBlocks(ViewKind kind) {
  std::vector<FormatBlock> b;
  if (!hasFormatFiles(kind)) return b;
  const int k = kindNumber(kind);
  const int settings = item(KindRecord::Settings, kind);
  switch (kind) {
    case K::GanttChart:
    case K::GanttSummaryChart:
      b.push_back({BlockRole::GanttBlock, 32, settings, kTimeScaleSize, 32});
      addScaleAndBand(&b, kind);
      addPrint(&b, kind, kPrintGantt);
      break;
    case K::Network:
      b.push_back({BlockRole::NetBlock, 110, settings, kTimeScaleSize, 110});
      b.push_back({BlockRole::SideCaptions, 130, kOptSideCaptions, 0, 130});
      addScaleAndBand(&b, kind);
      addPrint(&b, kind, kPrintNetwork);
      break;
    case K::PeriodSheet:
    case K::PeriodResourceSheet:
      b.push_back({BlockRole::SheetBlock, 38, settings, kTimeScaleSize, 38});
      b.push_back(
          {BlockRole::Columns, kColumnSize, item(KindRecord::Columns, kind), 0, kColumnSize});
      b.push_back({BlockRole::ValueItems, kValueItemSize, item(KindRecord::ValueItems, kind), 0,
                   kValueItemSize});
      b.push_back({BlockRole::RowSource, kRowSourceSize, item(KindRecord::RowSource, kind), 0,
                   kRowSourceSize});
      addScaleAndBand(&b, kind);
      addPrint(&b, kind, kPrintCommon);
      break;
    case K::ValueSheet:
      addScaleAndBand(&b, kind);
      addGrid(&b, kind);
      addPrint(&b, kind, kPrintCommon);
      break;
    case K::PeriodChart:
      addScaleAndBand(&b, kind);
      b.push_back({BlockRole::ChartBlock, 498, kOptChartBlock, 0, 498});
      addPrint(&b, kind, kPrintCommon);
      break;
    case K::Map:
      b.push_back({BlockRole::MapBlock, 186, settings, 0, 186});
      addPrint(&b, kind, kPrintCommon);
      break;
    case K::UserReport:
      b.push_back({BlockRole::ReportSettings, 44, settings, 0, 44});
      b.push_back({BlockRole::ReportFilter, kRowSourceSize, item(KindRecord::RowSource, kind), 0,
                   kRowSourceSize});
      break;
    default:  // the sheets 0..10
      if (k <= kindNumber(K::ResourceSummary))
        b.push_back(
            {BlockRole::RowSource, kRowSourceSize, settings, kGridFormatSize, kRowSourceSize});
      addGrid(&b, kind);
      addPrint(&b, kind, kPrintCommon);
      break;
  }
  return b;
}

FormatError parseFormatFile(const uint8_t* data, size_t size, ViewKind kind, FormatFile* file) {
  if (size < kFormatHeaderSize) return FormatError::Short;
  FormatHeader header;
  if (!decodeFormatHeader(data, size, &header)) return FormatError::Magic;
  if (header.kind != kindNumber(kind) || !hasFormatFiles(kind)) return FormatError::Kind;
  FormatFile out;
  out.kind = kind;
  out.title = header.title;
  size_t at = kFormatHeaderSize;
  uint32_t columns = 0, items = 0;  // counts read from the block before the arrays
  for (const FormatBlock& block : formatBlocks(kind)) {
    FormatFile::Part part;
    part.block = block;
    if (block.role == BlockRole::Columns) part.count = columns;
    if (block.role == BlockRole::ValueItems) part.count = items;
    const uint64_t bytes = uint64_t{part.count} * block.size;
    if (bytes > size - at) return FormatError::Truncated;
    part.bytes.assign(data + at, data + at + bytes);
    at += bytes;
    for (uint32_t e = 0; e < part.count; ++e) {
      uint8_t* entry = part.bytes.data() + size_t{e} * block.size;
      if (!textsTerminated(block, entry)) return FormatError::Unterminated;
      if (block.role == BlockRole::ValueItems &&
          (i16(entry) < 0 || i16(entry) >= kValueItems || i16(entry + 2) < 0 ||
           i16(entry + 2) >= kValueSeries))
        return FormatError::BadItem;
      clampDivisors(block.role, entry);
    }
    if (block.role == BlockRole::GridFormat) columns = u16(part.bytes.data() + 2);
    if (block.role == BlockRole::SheetBlock) {
      columns = u16(part.bytes.data());
      items = u16(part.bytes.data() + 2);
    }
    out.parts.push_back(std::move(part));
  }
  out.objects.assign(data + at, data + size);
  *file = std::move(out);
  return FormatError::None;
}

std::vector<uint8_t> encodeFormatFile(const FormatFile& file) {
  const auto header = encodeFormatHeader(file.kind, file.title);
  std::vector<uint8_t> out(header.begin(), header.end());
  for (const FormatFile::Part& part : file.parts) {
    const size_t want = size_t{part.count} * part.block.size;
    std::vector<uint8_t> bytes = part.bytes;
    bytes.resize(want, 0);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out.insert(out.end(), file.objects.begin(), file.objects.end());
  return out;
}

void decodeFormatObjects(const std::vector<uint8_t>& stream, ViewKind kind,
                         std::vector<uint8_t>* back, std::vector<uint8_t>* front) {
  back->clear();
  front->clear();
  const size_t records = stream.size() / kObjectSize;
  const uint8_t backCode = uint8_t(kindNumber(kind) * 2);
  size_t i = 0;
  while (i < records) {
    const uint8_t* head = stream.data() + i * kObjectSize;
    const uint8_t type = head[0];
    if (type < kText || type > kPicture) {
      ++i;  // a stray continuation or an unknown record
      continue;
    }
    size_t span = 1;
    if (type == kText) {
      const int16_t count = i16(head + 20);
      size_t follow = 0;
      while (i + 1 + follow < records && stream[(i + 1 + follow) * kObjectSize] == kContinuation)
        ++follow;
      if (count < 1 || follow != size_t(count)) {
        i += 1 + follow;
        continue;
      }
      span = 1 + follow;
    }
    std::vector<uint8_t>* layer = (head[1] & 1) ? front : back;
    const size_t first = layer->size();
    layer->insert(layer->end(), head, head + span * kObjectSize);
    for (size_t r = 0; r < span; ++r)
      (*layer)[first + r * kObjectSize + 1] = backCode | (head[1] & 1);
    if (type == kPicture) std::memset(layer->data() + first + 14, 0, kObjectSize - 14);
    i += span;
  }
}

}  // namespace kelvo
