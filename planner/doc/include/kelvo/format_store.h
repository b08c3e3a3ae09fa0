// Format files against a project and the disk: gathering a view kind's
// layout from the project's option file, writing a checked file's blocks
// back into it, listing, reading and writing the files of the "Form"
// folder, and the "Default" files that supply a kind's layout to a project
// that has none stored. Paths are UTF-8.
#ifndef KELVO_FORMAT_STORE_H_
#define KELVO_FORMAT_STORE_H_

#include <functional>
#include <string>
#include <vector>

#include "kelvo/format_file.h"
#include "xJorDbm2.h"

namespace kelvo {

// The layout of `kind` as its option records hold it, titled `title`: each
// block is cut from its record, a record that is missing or too short
// gives zeros for what it lacks, and the column and item arrays hold as
// many entries as their count says and the record really has (the count
// is lowered to match). No drawing objects.
FormatFile collectFormatLayout(OptionFileRef* opt, ViewKind kind, const std::string& title);

// Writes the blocks of a checked file into the option records of its kind.
// Blocks that share a record are merged into what is stored there, so the
// bytes of a record that no block covers stay. Column records and sort
// keys that name no field below fieldCount are dropped (fieldCount < 0:
// every field is kept). Unless takeDates is set, the stored time scale
// keeps its own start and end dates (none stored: zero, which the view
// reads as the project's dates). False when a record could not be written.
bool applyFormatLayout(OptionFileRef* opt, const FormatFile& file, bool takeDates, int fieldCount);

// Whether the settings record of kind is stored: a kind without one takes
// its "Default" file.
bool hasStoredLayout(OptionFileRef* opt, ViewKind kind);

// The drawing objects of kind's two layers (back, then front) as a file
// carries them: the 28-byte records of the project's object table.
std::vector<uint8_t> collectFormatObjects(const MemTable& objects, ViewKind kind);

// --- Files of the "Form" folder -------------------------------------------

// Whether `name` (without extension) may name a new file of kind: trimmed
// of blanks, not empty, no '/', '\\' or control byte, no leading '.', and
// with the extension at most 200 bytes.
bool isPlainFormatName(const std::string& name, ViewKind kind);
// `name` with blanks at both ends removed.
std::string trimFormatName(const std::string& name);

struct FormatListEntry {
  std::string name;   // file name without its extension
  std::string title;  // CP949
  std::string path;
};
// The files of folder whose extension is kind's (letter case aside), whose
// header reads and whose stored kind is kind; sorted by name.
std::vector<FormatListEntry> listFormatFiles(const std::string& folder, ViewKind kind);

// Reads and checks the file at path for a view of kind.
FormatError readFormatFile(const std::string& path, ViewKind kind, FormatFile* file);

// Writes bytes to path through a temporary file in the same folder that is
// synced and renamed over path: a failed write leaves the old file as it
// was. False on any failure.
bool writeFormatFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Rewrites only the header of the file at path (magic, kind, new title),
// keeping every byte after it. False when the file is no format file of
// kind or cannot be rewritten.
bool retitleFormatFile(const std::string& path, ViewKind kind, const std::string& title);

// The path of kind's "Default" file in folder (name and extension in any
// letter case), or empty when there is none.
std::string defaultFormatPath(const std::string& folder, ViewKind kind);

// Applies the "Default" file of folder to every kind 0..21 that has no
// settings record stored and whose Default file passes the checks. The
// file's dates are not taken. fieldCount gives the field count of a kind's
// table (-1 when unknown). With objects, the user report's Default also
// brings its drawing objects (the report's design) when the project has
// none of that kind; other kinds never take objects from a Default.
// Returns the kinds applied.
std::vector<ViewKind> applyDefaultFormats(OptionFileRef* opt, const std::string& folder,
                                          const std::function<int(ViewKind)>& fieldCount,
                                          MemTable* objects = nullptr);

// Copies every "Default.*" file of `from` that `to` lacks (names compared
// without regard to case), creating `to` when needed. Returns the number
// of files copied.
int seedFormFolder(const std::string& from, const std::string& to);

}  // namespace kelvo

#endif  // KELVO_FORMAT_STORE_H_
