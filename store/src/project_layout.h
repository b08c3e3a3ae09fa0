// Layout of project files (.kvp) and settings files, and a reader that
// checks a whole file before anything is taken from it.
//
// Project file: 8-byte engine header (kind 100), 120-byte section header,
// 200-byte information block, then the sections in this order:
//   option file copy (u32 length + bytes)
//   drawing objects (memory-table image)
//   classification: wbs table, work-type codes, obs table, facility codes
//   resources:      res table, "ire"
//   crews:          crw table, "cr1", "cr2"
//   activities:     act table, activity codes, activity order, "wa1", "wa2", "spa"
//   relations:      rel table, by predecessor, by successor, anchors
//   crew details:   opr table, "op1", "op2"
//   summary files:  u32 count, then per file a 4-byte name and a copy
//   picture files:  u32 count, then per file a 26-byte name and a copy
//   working files "a20".."a29" that exist, one copy each
// A settings file has no engine header and no tables: header, information
// block, option file, drawing objects, picture files and "a" files.
#ifndef XQD_PROJECT_LAYOUT_H_
#define XQD_PROJECT_LAYOUT_H_

#include <stdint.h>

#include <span>
#include <string>
#include <vector>

namespace xqd {

enum class FileKind { kProject, kSettings };

constexpr uint32_t kEngineHeaderSize = 8;
constexpr uint32_t kHeaderSize = 120;
constexpr uint32_t kInfoSize = 200;
constexpr uint32_t kOptionSlots = 500;
constexpr uint32_t kOptionEntrySize = 10;
constexpr uint32_t kObjectSize = 28;
constexpr uint32_t kSummaryNameSize = 4;
constexpr uint32_t kPictureNameSize = 26;
constexpr int kWorkFiles = 10;
constexpr int kSummaryMax = 48;

// Where the information block and the first section lie.
uint32_t InfoOffset(FileKind kind);
uint32_t BodyOffset(FileKind kind);

// The six table sections of a project file.
enum Section { kClassification, kResources, kCrews, kActivities, kRelations, kDetails, kSections };

// The offsets kept in the 120-byte header (0 = absent).
struct Header {
  uint32_t option = 0;
  uint32_t objects = 0;
  uint32_t sections[kSections] = {};
  uint32_t summaries = 0;
  uint32_t pictures = 0;
  uint32_t work[kWorkFiles] = {};
};

void EncodeHeader(FileKind kind, const Header& header, uint8_t out[kHeaderSize]);
// True when the header starts with the kind's magic.
bool HasMagic(FileKind kind, const uint8_t in[kHeaderSize]);
// True when an 8-byte engine header names a project file (kind 100).
bool IsProjectEngineHeader(const uint8_t in[kEngineHeaderSize]);
Header DecodeHeader(const uint8_t in[kHeaderSize]);

// The saved images of the table sections, in file order. Record tables give
// their shortest record length (tables may grow user fields), index and
// memory tables their exact record length.
enum class ImageKind { kTable, kIndex, kMemory };
struct ImageDef {
  ImageKind kind;
  uint16_t recordSize;
  Section section;
};
std::span<const ImageDef> TableImages();

// A length-prefixed copy of a file: its bytes lie at `at`.
struct Blob {
  uint64_t at = 0;
  uint32_t length = 0;
};
struct NamedBlob {
  std::string name;
  Blob blob;
};

// Where everything lies in a checked file.
struct Layout {
  Header header;
  Blob option;
  uint64_t objects = 0;
  std::vector<uint64_t> images;  // one per TableImages() entry (project files)
  std::vector<NamedBlob> summaries;
  std::vector<NamedBlob> pictures;
  bool hasWork[kWorkFiles] = {};
  Blob work[kWorkFiles];
};

// Walks a whole file and checks every count, length, offset and name
// against the bytes present. Returns false for anything inconsistent.
bool ReadLayout(int fd, FileKind kind, Layout* layout);

// True for a summary file name: a number 1..48 in decimal.
bool IsSummaryName(const std::string& name);
// True for a picture file name: 8 upper-case hex digits, '.', 3 lower-case letters.
bool IsPictureName(const std::string& name);

}  // namespace xqd

#endif  // XQD_PROJECT_LAYOUT_H_
