// Format files: a view kind's layout (grid columns and sizes, fonts,
// colours, time scale, filters and orders, print format, optionally its
// drawing objects) as a file of its own, so that it can be carried from one
// project to another. A file is a 46-byte header (magic "eFd\0", the view
// kind, a 40-byte title) followed by the kind's layout blocks in a fixed
// order and, optionally, the drawing-object records of the kind's two
// layers. Everything here is bytes; format_store.h moves the blocks between
// a file and a project's option file.
#ifndef KELVO_FORMAT_FILE_H_
#define KELVO_FORMAT_FILE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/view_kind.h"

namespace kelvo {

inline constexpr size_t kFormatHeaderSize = 46;
inline constexpr size_t kFormatTitleField = 40;
inline constexpr size_t kFormatTitleMax = 39;  // bytes; the 40th is the terminator
inline constexpr uint8_t kFormatMagic[4] = {0x65, 0x46, 0x64, 0x00};
// The print format takes this many bytes in every file, whatever the kind
// uses of them.
inline constexpr size_t kFormatPrintField = 828;

// True for the kinds that have format files: 0..21 except the Gantt
// window's sheet panes, which use their chart's kind (formatKindOf).
bool hasFormatFiles(ViewKind kind);
// The kind whose files a view of `kind` reads and writes: the chart's kind
// for a Gantt sheet pane (14 -> 12, 15 -> 13), the kind itself otherwise.
ViewKind formatKindOf(ViewKind kind);
// ".p01" .. ".p21" (kind + 1, two digits) and ".prp" for the user report.
std::string formatExtension(ViewKind kind);

// The 46-byte header: magic, the kind (u16) and the title cut to 39 bytes
// (never inside a double-byte CP949 character), NUL-padded.
std::array<uint8_t, kFormatHeaderSize> encodeFormatHeader(ViewKind kind, const std::string& title);

struct FormatHeader {
  int kind = -1;
  std::string title;  // CP949, up to the first NUL of the field
};
// Reads a header. False when fewer than 46 bytes are given or the magic
// does not match.
bool decodeFormatHeader(const uint8_t* bytes, size_t size, FormatHeader* header);

// Why a file was refused.
enum class FormatError {
  None,
  Unreadable,   // the file cannot be opened or read
  Short,        // not even a header
  Magic,        // not a format file
  Kind,         // made for another view kind
  Truncated,    // a block or an array ends past the end of the file
  BadItem,      // a value item names an item or series that does not exist
  Unterminated  // a text field has no NUL inside it
};
// A sentence that says what is wrong, for a log or a message box detail.
const char* formatErrorText(FormatError error);

// One block of a kind's layout as it sits in the file.
enum class BlockRole {
  GanttBlock,      // the Gantt chart's own settings
  NetBlock,        // the network chart's own settings
  SideCaptions,    // the time scale's side-area captions
  SheetBlock,      // the period sheet's own block (column and item counts)
  Columns,         // 46-byte column records
  ValueItems,      // 38-byte value items of a period sheet
  RowSource,       // record order (13 words) and filter (100 bytes)
  TimeScale,       // the 172-byte time-scale settings
  Band,            // the period band
  ChartBlock,      // the period chart's bars
  MapBlock,        // the project map's settings
  GridFormat,      // a grid's format block (column count at offset 2)
  ReportSettings,  // the user report's settings
  ReportFilter,    // the user report's row filter
  PrintFormat      // the print format, 828 bytes in the file
};

struct FormatBlock {
  BlockRole role;
  uint32_t size;  // bytes in the file, per entry for Columns and ValueItems
  int item;       // option item the block is stored in, -1 = not kept
  uint32_t at;    // offset inside that item
  uint32_t used;  // bytes of the block stored there (from the block's start)
};

// The blocks of a file kind, in file order. Empty for kinds without files.
std::vector<FormatBlock> formatBlocks(ViewKind kind);

// A checked file: the blocks of the kind, each entry array sized by the
// count read before it, and the drawing-object bytes that follow.
struct FormatFile {
  ViewKind kind = ViewKind::WorkTypeSheet;
  std::string title;
  struct Part {
    FormatBlock block;
    uint32_t count = 1;  // entries (Columns, ValueItems), else 1
    std::vector<uint8_t> bytes;
  };
  std::vector<Part> parts;
  std::vector<uint8_t> objects;  // the rest of the file (may be empty)
};

// Checks a whole file for a view of `kind` and splits it into its blocks.
// Sizes that act as divisors (row and cell heights, step days and widths)
// are raised to at least 1. On any error `file` is left untouched.
FormatError parseFormatFile(const uint8_t* data, size_t size, ViewKind kind, FormatFile* file);

// The file's bytes: header, the parts in order, then the object bytes.
// Parts are written as given; a part shorter than its block is NUL-padded.
std::vector<uint8_t> encodeFormatFile(const FormatFile& file);

// The drawing-object stream of a file: whole 28-byte records, back layer
// first. Returns the records that may be loaded into a view of `kind`:
// a trailing partial record is ignored; records that are no object head
// or continuation, and text heads not followed by exactly their
// continuation count, are dropped (with their continuations); layer codes
// are rewritten to kind's (back = kind x 2, front = + 1); a picture keeps
// its place but its name bytes 14..27 are zeroed, because the file carries
// no picture. back and front receive whole records.
void decodeFormatObjects(const std::vector<uint8_t>& stream, ViewKind kind,
                         std::vector<uint8_t>* back, std::vector<uint8_t>* front);

}  // namespace kelvo

#endif  // KELVO_FORMAT_FILE_H_
