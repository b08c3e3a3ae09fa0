// The main program's side of the converters: the registrations kept in the
// settings section "Convert", loading a plug-in for one operation, and the
// whole-project and external-editor call sequences with their messages.
// Nothing here shows a window: callers beep and show the message number.
#ifndef KVCONVERTERS_H_
#define KVCONVERTERS_H_

#include <functional>
#include <string>
#include <vector>

#include "kvconvert.h"

class QSettings;

namespace kvconv {

struct Entry {
  std::string extension;  // without the dot, lower case
  std::string title;
  std::string file;  // library file name, no folder
};

struct Registrations {
  std::vector<Entry> entries;  // in list order
  std::string editor;          // extension of the external editor ("Def"), empty = none
};

// Reads section "Convert": "Count" entries, each "Ext%d" split at its first
// comma into extension and title (no comma: all extension, empty title), the
// file from the key named by the extension, and "Def". A missing "Ext%d"
// gives an entry with empty extension and title. Values written by hand
// without quotes read the same as quoted ones.
Registrations readRegistrations(QSettings& settings);
// Replaces section "Convert" as the registration dialog's OK does: the old
// section is removed, then "Count", "Def", every "Ext%d" and every
// extension key are written.
void writeRegistrations(QSettings& settings, const Registrations& regs);

// Extensions are compared in lower case (ASCII letters only).
std::string lowerExtension(std::string extension);

// The file dialog filter: for every entry its title, "|*.", its extension
// and "|", then one more "|".
std::string fileFilter(const Registrations& regs);
// The extension of a chosen path (after the last dot of its last component,
// lower case). When it has none, the extension of filter entry
// filterIndex - 1 is taken and appended to path with a dot. Returns the
// extension (empty when neither gives one).
std::string takeExtension(std::string& path, const Registrations& regs, int filterIndex);

// The folder of the running program, where plug-ins are looked up.
std::string programFolder();

// One plug-in loaded for the duration of one operation (unloaded by the
// destructor).
class Plugin {
 public:
  Plugin() = default;
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
  ~Plugin();

  // Loads folder/file and binds its numbered exports through xOrdinalTable.
  // A file name with a '/' or "..", a missing file, a failed load or a
  // library without xOrdinalTable gives false.
  bool load(const std::string& folder, const std::string& file);
  // The export with ordinal 1-5, or null when the plug-in lacks it.
  XKvProc proc(int ordinal) const;
  void* handle() const { return handle_; }

 private:
  void* handle_ = nullptr;
  const XKvProc* table_ = nullptr;
};

// The outcome of one operation: the converter's result and the message the
// caller shows (with a beep), 0 for none.
struct Outcome {
  int32_t result = 0;
  int message = 0;
};

// Loads the plug-in registered for extension (lower-cased first) from
// folder: 20023 when the extension is not registered or the load fails.
Outcome loadFor(QSettings& settings, const std::string& folder, const std::string& extension,
                Plugin& plugin);

// Whole-project export: request holds path, database, scheme and project
// information (the caller has brought its option file up to date). Loads the
// plug-in for extension, calls xExpDB, unloads. No registrations 20027, no
// plug-in 20023, result 0 20024.
Outcome exportProject(QSettings& settings, const std::string& folder, const std::string& extension,
                      XKvRequest& request);

// Whole-project import into request's database: clears the 200-byte project
// information (amount digits at 198 = 12), calls xGetInfo, then
// createDatabase (which makes and initialises the project database with
// that information; false ends the import), then xImpDB. Messages as for
// the export.
Outcome importProject(QSettings& settings, const std::string& folder, const std::string& extension,
                      XKvRequest& request, const std::function<bool()>& createDatabase);

// External-editor call with ordinal XKV_EXP_TB or XKV_IMP_TB for the
// converter named by "Def": none set 20027, no plug-in 20023, result 0 or a
// missing export 20024, a negative result no message. Success is a
// positive result.
Outcome editorCall(QSettings& settings, const std::string& folder, int ordinal,
                   XKvRequest& request);

}  // namespace kvconv

#endif  // KVCONVERTERS_H_
