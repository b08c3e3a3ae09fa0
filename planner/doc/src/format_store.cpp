#include "kelvo/format_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "kelvo/option_slots.h"

namespace kelvo {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxNameBytes = 200;  // name and extension
constexpr uint32_t kObjectSize = 28;
constexpr int kDescending = 10000;
constexpr int kOrderKeys = 12;

uint16_t u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
void putU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v & 0xFF);
  p[1] = uint8_t(v >> 8);
}

std::vector<uint8_t> readItem(OptionFileRef* opt, int item) {
  std::vector<uint8_t> bytes;
  if (!opt || item < 0) return bytes;
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  if (size <= 0) return bytes;
  bytes.resize(size_t(size));
  if (xOption(opt, XOPT_READ, item, bytes.data(), uint32_t(size)) != 1) bytes.clear();
  return bytes;
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

bool endsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && lower(s.substr(s.size() - tail.size())) == lower(tail);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Keeps the column records whose field is below fieldCount; returns how
// many remain.
uint32_t keepNamedColumns(std::vector<uint8_t>* columns, uint32_t size, int fieldCount) {
  std::vector<uint8_t> kept;
  for (size_t at = 0; at + size <= columns->size(); at += size) {
    const int16_t field = int16_t(u16(columns->data() + at));
    if (fieldCount >= 0 && (field < 0 || field >= fieldCount)) continue;
    kept.insert(kept.end(), columns->begin() + long(at), columns->begin() + long(at + size));
  }
  *columns = std::move(kept);
  return uint32_t(columns->size() / size);
}

// Drops the sort keys (count, then up to 12 fields, + 10000 descending)
// that name no field below fieldCount.
void keepNamedKeys(uint8_t* order, int fieldCount) {
  if (fieldCount < 0) return;
  const int count = std::min<int>(u16(order), kOrderKeys);
  int kept = 0;
  for (int k = 1; k <= count; ++k) {
    const int key = u16(order + 2 * k);
    const int field = key >= kDescending ? key - kDescending : key;
    if (field >= fieldCount) continue;
    putU16(order + 2 * ++kept, uint16_t(key));
  }
  for (int k = kept + 1; k <= kOrderKeys; ++k) putU16(order + 2 * k, 0);
  putU16(order, uint16_t(kept));
}

// Where the count of an entry array sits: the part and the offset in it.
struct CountAt {
  size_t part = SIZE_MAX;
  uint32_t offset = 0;
};
CountAt countOf(const std::vector<FormatFile::Part>& parts, BlockRole arrayRole) {
  for (size_t p = 0; p < parts.size(); ++p) {
    if (parts[p].block.role == BlockRole::GridFormat && arrayRole == BlockRole::Columns)
      return {p, 2};
    if (parts[p].block.role == BlockRole::SheetBlock)
      return {p, arrayRole == BlockRole::Columns ? 0u : 2u};
  }
  return {};
}

bool isArray(BlockRole role) {
  return role == BlockRole::Columns || role == BlockRole::ValueItems;
}

}  // namespace

FormatFile collectFormatLayout(OptionFileRef* opt, ViewKind kind, const std::string& title) {
  FormatFile file;
  file.kind = kind;
  file.title = title;
  for (const FormatBlock& block : formatBlocks(kind)) {
    FormatFile::Part part;
    part.block = block;
    const std::vector<uint8_t> record = readItem(opt, block.item);
    if (isArray(block.role)) {
      const CountAt c = countOf(file.parts, block.role);
      uint32_t count =
          c.part < file.parts.size() ? u16(file.parts[c.part].bytes.data() + c.offset) : 0;
      count = std::min<uint32_t>(count, uint32_t(record.size() / block.size));
      if (c.part < file.parts.size())
        putU16(file.parts[c.part].bytes.data() + c.offset, uint16_t(count));
      part.count = count;
      part.bytes.assign(record.begin(), record.begin() + long(count * block.size));
    } else {
      part.bytes.assign(block.size, 0);
      if (record.size() > block.at) {
        const size_t n = std::min<size_t>(block.used, record.size() - block.at);
        std::memcpy(part.bytes.data(), record.data() + block.at, n);
      }
    }
    file.parts.push_back(std::move(part));
  }
  return file;
}

bool applyFormatLayout(OptionFileRef* opt, const FormatFile& file, bool takeDates, int fieldCount) {
  std::vector<FormatFile::Part> parts = file.parts;
  // Columns naming no field go; the count before them follows.
  for (FormatFile::Part& part : parts) {
    if (part.block.role == BlockRole::RowSource) keepNamedKeys(part.bytes.data(), fieldCount);
    if (part.block.role != BlockRole::Columns) continue;
    part.count = keepNamedColumns(&part.bytes, part.block.size, fieldCount);
    const CountAt c = countOf(parts, BlockRole::Columns);
    if (c.part < parts.size()) putU16(parts[c.part].bytes.data() + c.offset, uint16_t(part.count));
  }
  // Records are built whole before any is written.
  std::map<int, std::vector<uint8_t>> records;
  for (const FormatFile::Part& part : parts) {
    const FormatBlock& b = part.block;
    if (b.item < 0) continue;
    if (isArray(b.role)) {
      records[b.item] = part.bytes;
      continue;
    }
    auto found = records.find(b.item);
    if (found == records.end()) found = records.emplace(b.item, readItem(opt, b.item)).first;
    std::vector<uint8_t>& record = found->second;
    if (record.size() < b.at + b.used) record.resize(b.at + b.used, 0);
    std::memcpy(record.data() + b.at, part.bytes.data(), b.used);
    if (b.role == BlockRole::TimeScale && !takeDates) {
      // Start and end dates (bytes 2..5) stay the view's own.
      const std::vector<uint8_t> stored = readItem(opt, b.item);
      for (size_t i = 2; i < 6; ++i) record[b.at + i] = stored.size() >= 6 ? stored[i] : 0;
    }
  }
  bool ok = true;
  for (auto& [item, bytes] : records) {
    if (bytes.empty()) {
      if (xOption(opt, XOPT_SIZE, item, nullptr, 0) > 0)
        xOption(opt, XOPT_DELETE, item, nullptr, 0);
      continue;
    }
    ok = xOption(opt, XOPT_WRITE, item, bytes.data(), uint32_t(bytes.size())) != 0 && ok;
  }
  return ok;
}

bool hasStoredLayout(OptionFileRef* opt, ViewKind kind) {
  const int item = kindItem(KindRecord::Settings, kind);
  return item >= 0 && xOption(opt, XOPT_SIZE, item, nullptr, 0) > 0;
}

std::vector<uint8_t> collectFormatObjects(const MemTable& objects, ViewKind kind) {
  std::vector<uint8_t> out;
  if (!objects.data || objects.recordSize != int16_t(kObjectSize)) return out;
  for (uint8_t layer : {uint8_t(kindNumber(kind) * 2), uint8_t(kindNumber(kind) * 2 + 1)})
    for (uint32_t i = 0; i < objects.count; ++i) {
      const uint8_t* r = objects.data + size_t{i} * kObjectSize;
      if (r[1] == layer) out.insert(out.end(), r, r + kObjectSize);
    }
  return out;
}

std::string trimFormatName(const std::string& name) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t first = 0, last = name.size();
  while (first < last && blank(name[first])) ++first;
  while (last > first && blank(name[last - 1])) --last;
  return name.substr(first, last - first);
}

bool isPlainFormatName(const std::string& name, ViewKind kind) {
  const std::string n = trimFormatName(name);
  if (n.empty() || n[0] == '.') return false;
  if (n.size() + formatExtension(kind).size() > kMaxNameBytes) return false;
  for (unsigned char c : n)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return true;
}

std::vector<FormatListEntry> listFormatFiles(const std::string& folder, ViewKind kind) {
  std::vector<FormatListEntry> list;
  const std::string ext = formatExtension(kind);
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::path(folder), ec)) {
    const std::string file = e.path().filename().string();
    if (file.size() <= ext.size() || !endsWithNoCase(file, ext) || !e.is_regular_file(ec)) continue;
    uint8_t head[kFormatHeaderSize];
    std::ifstream in(e.path(), std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(head), sizeof head)) continue;
    FormatHeader header;
    if (!decodeFormatHeader(head, sizeof head, &header) || header.kind != kindNumber(kind))
      continue;
    list.push_back({file.substr(0, file.size() - ext.size()), header.title, e.path().string()});
  }
  std::sort(list.begin(), list.end(),
            [](const FormatListEntry& a, const FormatListEntry& b) { return a.name < b.name; });
  return list;
}

FormatError readFormatFile(const std::string& path, ViewKind kind, FormatFile* file) {
  std::vector<uint8_t> bytes;
  if (!readWholeFile(path, &bytes)) return FormatError::Unreadable;
  return parseFormatFile(bytes.data(), bytes.size(), kind, file);
}

bool writeFormatFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  const bool written = done == bytes.size() && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool retitleFormatFile(const std::string& path, ViewKind kind, const std::string& title) {
  std::vector<uint8_t> bytes;
  FormatHeader header;
  if (!readWholeFile(path, &bytes) || !decodeFormatHeader(bytes.data(), bytes.size(), &header) ||
      header.kind != kindNumber(kind))
    return false;
  const auto fresh = encodeFormatHeader(kind, title);
  std::copy(fresh.begin(), fresh.end(), bytes.begin());
  return writeFormatFileBytes(path, bytes);
}

std::string defaultFormatPath(const std::string& folder, ViewKind kind) {
  const std::string want = lower("Default" + formatExtension(kind));
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::path(folder), ec))
    if (lower(e.path().filename().string()) == want && e.is_regular_file(ec))
      return e.path().string();
  return {};
}

namespace {

// Inserts back and then front (records of kind's two layers) where kind's
// layers belong in the table: before the first record of a higher layer.
bool insertKindObjects(MemTable* objects, ViewKind kind, const std::vector<uint8_t>& back,
                       const std::vector<uint8_t>& front) {
  const uint8_t last = uint8_t(kindNumber(kind) * 2 + 1);
  uint32_t at = 0;
  while (at < objects->count && objects->data[size_t{at} * kObjectSize + 1] <= last) ++at;
  std::vector<uint8_t> records = back;
  records.insert(records.end(), front.begin(), front.end());
  for (size_t i = 0; i + kObjectSize <= records.size(); i += kObjectSize) {
    objects->current = at++;
    if (xmIns(objects, records.data() + i) != 1) return false;
  }
  return true;
}

}  // namespace

std::vector<ViewKind> applyDefaultFormats(OptionFileRef* opt, const std::string& folder,
                                          const std::function<int(ViewKind)>& fieldCount,
                                          MemTable* objects) {
  std::vector<ViewKind> applied;
  for (int k = 0; k <= kindNumber(ViewKind::UserReport); ++k) {
    const ViewKind kind = viewKindOf(k);
    if (!hasFormatFiles(kind) || hasStoredLayout(opt, kind)) continue;
    const std::string path = defaultFormatPath(folder, kind);
    FormatFile file;
    if (path.empty() || readFormatFile(path, kind, &file) != FormatError::None) continue;
    if (!applyFormatLayout(opt, file, false, fieldCount ? fieldCount(kind) : -1)) continue;
    applied.push_back(kind);
    // A Default brings a design only to the report, and never over one.
    if (kind == ViewKind::UserReport && objects && objects->recordSize == int16_t(kObjectSize) &&
        collectFormatObjects(*objects, kind).empty()) {
      std::vector<uint8_t> back, front;
      decodeFormatObjects(file.objects, kind, &back, &front);
      insertKindObjects(objects, kind, back, front);
    }
  }
  return applied;
}

int seedFormFolder(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::create_directories(fs::path(to), ec);
  std::vector<std::string> present;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::path(to), ec))
    present.push_back(lower(e.path().filename().string()));
  int copied = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::path(from), ec)) {
    const std::string name = e.path().filename().string();
    if (lower(name).rfind("default.", 0) != 0 || !e.is_regular_file(ec)) continue;
    if (std::find(present.begin(), present.end(), lower(name)) != present.end()) continue;
    std::vector<uint8_t> bytes;
    if (readWholeFile(e.path().string(), &bytes) &&
        writeFormatFileBytes((fs::path(to) / name).string(), bytes))
      ++copied;
  }
  return copied;
}

}  // namespace kelvo
