#include "project_layout.h"

#include <string.h>

#include "file_io.h"

namespace xqd {
namespace {

constexpr uint8_t kProjectMagic[4] = {0x65, 0x50, 0x64, 0x00};
constexpr uint8_t kSettingsMagic[4] = {0x6E, 0x45, 0x64, 0x00};
constexpr uint32_t kDescriptorSize = 42;
constexpr uint32_t kLiveMark = 0xFFFFFFFEu;
constexpr uint32_t kNoSlot = 0xFFFFFFFFu;

// Header fields (offsets inside the 120-byte header).
constexpr uint32_t kOptionAt = 4;
constexpr uint32_t kObjectsAt = 8;
constexpr uint32_t kFirstSectionAt = 12;
constexpr uint32_t kSummariesAt = 40;
constexpr uint32_t kPicturesAt = 44;
constexpr uint32_t kWorkAt = 80;

constexpr ImageDef kImages[] = {
    {ImageKind::kTable, 146, kClassification}, {ImageKind::kMemory, 15, kClassification},
    {ImageKind::kTable, 56, kClassification},  {ImageKind::kMemory, 15, kClassification},
    {ImageKind::kTable, 106, kResources},      {ImageKind::kIndex, 15, kResources},
    {ImageKind::kTable, 52, kCrews},           {ImageKind::kIndex, 26, kCrews},
    {ImageKind::kIndex, 26, kCrews},           {ImageKind::kTable, 298, kActivities},
    {ImageKind::kMemory, 31, kActivities},     {ImageKind::kMemory, 10, kActivities},
    {ImageKind::kIndex, 26, kActivities},      {ImageKind::kIndex, 26, kActivities},
    {ImageKind::kIndex, 14, kActivities},      {ImageKind::kTable, 50, kRelations},
    {ImageKind::kMemory, 46, kRelations},      {ImageKind::kMemory, 46, kRelations},
    {ImageKind::kMemory, 14, kRelations},      {ImageKind::kTable, 50, kDetails},
    {ImageKind::kIndex, 36, kDetails},         {ImageKind::kIndex, 36, kDetails},
};

uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Bytes a field of the given descriptor occupies in its record.
int64_t FieldBytes(int8_t type, int16_t width) {
  switch (type) {
    case 4:
    case 7:
    case 12:
    case 13:
      return 2;
    case 5:
    case 8:
    case 9:
    case 14:
      return 4;
    case 10:
      return 8;
    case 11:
      return static_cast<int64_t>(width) + 1;
  }
  return 1;
}

// A read cursor over a file of known size; every step is bounds-checked.
class Cursor {
 public:
  Cursor(int fd, uint64_t size, uint64_t pos) : fd_(fd), size_(size), pos_(pos) {}
  uint64_t pos() const { return pos_; }
  uint64_t left() const { return size_ - pos_; }
  bool Read(void* out, uint64_t n) {
    if (n > left() || !ReadAt(fd_, pos_, out, n)) return false;
    pos_ += n;
    return true;
  }
  bool U32(uint32_t* v) {
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    *v = xqd::U32(b);
    return true;
  }
  bool Skip(uint64_t n) {
    if (n > left()) return false;
    pos_ += n;
    return true;
  }
  bool Blob(xqd::Blob* blob) {
    if (!U32(&blob->length)) return false;
    blob->at = pos_;
    return Skip(blob->length);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
  uint64_t size_;
  uint64_t pos_;
};

// The slot marks of a saved table: live marks must add up to the live
// count, other marks name slots inside the table, and the free list must
// run through deleted slots without a loop.
bool CheckMarks(Cursor& c, uint32_t live, uint32_t freeHead, uint32_t slots, uint32_t slotSize) {
  std::vector<uint32_t> marks(slots);
  std::vector<uint8_t> chunk;
  const uint32_t perChunk = slotSize >= (1u << 20) ? 1 : (1u << 20) / slotSize;
  uint32_t liveSeen = 0;
  for (uint32_t first = 0; first < slots; first += perChunk) {
    const uint32_t n = slots - first < perChunk ? slots - first : perChunk;
    chunk.resize(static_cast<size_t>(n) * slotSize);
    if (!c.Read(chunk.data(), chunk.size())) return false;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t mark = xqd::U32(&chunk[static_cast<size_t>(i) * slotSize]);
      if (mark == kLiveMark) {
        ++liveSeen;
      } else if (mark != kNoSlot && mark >= slots) {
        return false;
      }
      marks[first + i] = mark;
    }
  }
  if (liveSeen != live) return false;
  uint32_t steps = 0;
  for (uint32_t slot = freeHead; slot != kNoSlot; slot = marks[slot]) {
    if (slot >= slots || marks[slot] == kLiveMark || ++steps > slots - live) return false;
  }
  return true;
}

bool CheckTableImage(Cursor& c, uint16_t minRecordSize) {
  uint8_t head[16];
  if (!c.Read(head, sizeof head)) return false;
  const uint32_t live = U32(head), freeHead = U32(head + 4), slots = U32(head + 8);
  const uint16_t recordSize = U16(head + 12);
  const int16_t fieldCount = static_cast<int16_t>(U16(head + 14));
  if (recordSize < minRecordSize || fieldCount < 0 || live > slots) return false;
  if (static_cast<uint64_t>(fieldCount) * kDescriptorSize > c.left()) return false;
  std::vector<uint8_t> fields(static_cast<size_t>(fieldCount) * kDescriptorSize);
  if (!c.Read(fields.data(), fields.size())) return false;
  for (int16_t i = 0; i < fieldCount; ++i) {
    const uint8_t* d = &fields[static_cast<size_t>(i) * kDescriptorSize];
    const int16_t width = static_cast<int16_t>(U16(d + 32));
    const int8_t type = static_cast<int8_t>(d[35]);
    const int16_t offset = static_cast<int16_t>(U16(d + 40));
    if (memchr(d, 0, 32) == nullptr || offset < 0 || (type == 11 && width < 0)) return false;
    if (offset + FieldBytes(type, width) > recordSize) return false;
  }
  uint32_t length;
  if (!c.U32(&length)) return false;
  const uint64_t slotSize = recordSize + 4u;
  if (length != static_cast<uint64_t>(slots) * slotSize || length > c.left()) return false;
  return CheckMarks(c, live, freeHead, slots, static_cast<uint32_t>(slotSize));
}

bool CheckIndexImage(Cursor& c, uint16_t recordSize) {
  uint32_t count, length;
  if (!c.U32(&count) || !c.U32(&length)) return false;
  return length == static_cast<uint64_t>(count) * recordSize && c.Skip(length);
}

bool CheckMemoryImage(Cursor& c, uint16_t recordSize) {
  uint32_t count;
  return c.U32(&count) && c.Skip(static_cast<uint64_t>(count) * recordSize);
}

// The option file copy: a directory of 500 entries whose blocks lie inside
// the copy.
bool CheckOptionFile(Cursor& c, Blob* blob) {
  if (!c.Blob(blob)) return false;
  const uint32_t directory = kOptionSlots * kOptionEntrySize;
  if (blob->length < directory) return false;
  std::vector<uint8_t> entries(directory);
  if (!ReadAt(c.fd(), blob->at, entries.data(), entries.size())) return false;
  for (uint32_t i = 0; i < kOptionSlots; ++i) {
    const uint8_t* e = &entries[i * kOptionEntrySize];
    const uint64_t size = U32(e + 2), offset = U32(e + 6);
    if (offset != 0 && (offset < directory || offset + size > blob->length)) return false;
  }
  return true;
}

bool CheckNamedFiles(Cursor& c, uint32_t nameSize, uint32_t maxCount,
                     bool (*valid)(const std::string&), std::vector<NamedBlob>* out) {
  uint32_t count;
  if (!c.U32(&count) || count > maxCount) return false;
  for (uint32_t i = 0; i < count; ++i) {
    char name[kPictureNameSize + 1] = {};
    NamedBlob entry;
    if (!c.Read(name, nameSize)) return false;
    entry.name.assign(name, strnlen(name, nameSize));
    if (!valid(entry.name) || !c.Blob(&entry.blob)) return false;
    out->push_back(entry);
  }
  return true;
}

}  // namespace

uint32_t InfoOffset(FileKind kind) {
  return kind == FileKind::kProject ? kEngineHeaderSize + kHeaderSize : kHeaderSize;
}
uint32_t BodyOffset(FileKind kind) {
  return InfoOffset(kind) + kInfoSize;
}

std::span<const ImageDef> TableImages() {
  return kImages;
}

void EncodeHeader(FileKind kind, const Header& h, uint8_t out[kHeaderSize]) {
  memset(out, 0, kHeaderSize);
  memcpy(out, kind == FileKind::kProject ? kProjectMagic : kSettingsMagic, 4);
  PutU32(out + kOptionAt, h.option);
  PutU32(out + kObjectsAt, h.objects);
  if (kind == FileKind::kProject) {
    for (int s = 0; s < kSections; ++s) PutU32(out + kFirstSectionAt + 4 * s, h.sections[s]);
    PutU32(out + kSummariesAt, h.summaries);
  }
  PutU32(out + kPicturesAt, h.pictures);
  for (int i = 0; i < kWorkFiles; ++i) PutU32(out + kWorkAt + 4 * i, h.work[i]);
}

bool HasMagic(FileKind kind, const uint8_t in[kHeaderSize]) {
  return memcmp(in, kind == FileKind::kProject ? kProjectMagic : kSettingsMagic, 4) == 0;
}

bool IsProjectEngineHeader(const uint8_t in[kEngineHeaderSize]) {
  const bool magic = (in[0] == 'Q' && in[1] == 'z') || (in[0] == 'x' && in[1] == 'D');
  return magic && U16(in + 2) == 100;
}

Header DecodeHeader(const uint8_t in[kHeaderSize]) {
  Header header;
  Header* h = &header;
  h->option = U32(in + kOptionAt);
  h->objects = U32(in + kObjectsAt);
  for (int s = 0; s < kSections; ++s) h->sections[s] = U32(in + kFirstSectionAt + 4 * s);
  h->summaries = U32(in + kSummariesAt);
  h->pictures = U32(in + kPicturesAt);
  for (int i = 0; i < kWorkFiles; ++i) h->work[i] = U32(in + kWorkAt + 4 * i);
  return header;
}

bool IsSummaryName(const std::string& name) {
  if (name.empty() || name.size() > 2 || name[0] == '0') return false;
  int n = 0;
  for (char ch : name) {
    if (ch < '0' || ch > '9') return false;
    n = n * 10 + (ch - '0');
  }
  return n >= 1 && n <= kSummaryMax;
}

bool IsPictureName(const std::string& name) {
  if (name.size() != 12 || name[8] != '.') return false;
  for (int i = 0; i < 8; ++i) {
    const char ch = name[i];
    if (!((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'))) return false;
  }
  for (int i = 9; i < 12; ++i) {
    if (name[i] < 'a' || name[i] > 'z') return false;
  }
  return true;
}

bool ReadLayout(int fd, FileKind kind, Layout* layout) {
  const int64_t size = FileSize(fd);
  if (size < BodyOffset(kind)) return false;
  *layout = Layout();
  uint8_t head[kEngineHeaderSize + kHeaderSize];
  const uint32_t headerAt = kind == FileKind::kProject ? kEngineHeaderSize : 0;
  if (!ReadAt(fd, 0, head, headerAt + kHeaderSize)) return false;
  // A project file's own magic is the caller's to check (xGetPrjInfo).
  if (kind == FileKind::kProject ? !IsProjectEngineHeader(head)
                                 : !HasMagic(FileKind::kSettings, head)) {
    return false;
  }
  Header& h = layout->header;
  h = DecodeHeader(head + headerAt);

  Cursor c(fd, size, BodyOffset(kind));
  if (h.option != c.pos() || !CheckOptionFile(c, &layout->option)) return false;
  if (h.objects != c.pos()) return false;
  layout->objects = c.pos();
  if (!CheckMemoryImage(c, kObjectSize)) return false;

  if (kind == FileKind::kProject) {
    int section = -1;
    for (const ImageDef& image : kImages) {
      if (image.section != section) {
        section = image.section;
        if (h.sections[section] != c.pos()) return false;
      }
      layout->images.push_back(c.pos());
      bool ok = false;
      switch (image.kind) {
        case ImageKind::kTable:
          ok = CheckTableImage(c, image.recordSize);
          break;
        case ImageKind::kIndex:
          ok = CheckIndexImage(c, image.recordSize);
          break;
        case ImageKind::kMemory:
          ok = CheckMemoryImage(c, image.recordSize);
          break;
      }
      if (!ok) return false;
    }
    if (h.summaries != c.pos() ||
        !CheckNamedFiles(c, kSummaryNameSize, kSummaryMax, IsSummaryName, &layout->summaries)) {
      return false;
    }
  }
  // Each picture entry takes at least its name and a length word.
  if (h.pictures != c.pos() ||
      !CheckNamedFiles(c, kPictureNameSize, 0xFFFFFFFFu, IsPictureName, &layout->pictures)) {
    return false;
  }
  for (int i = 0; i < kWorkFiles; ++i) {
    if (h.work[i] == 0) continue;
    if (h.work[i] != c.pos() || !c.Blob(&layout->work[i])) return false;
    layout->hasWork[i] = true;
  }
  return true;
}

}  // namespace xqd
