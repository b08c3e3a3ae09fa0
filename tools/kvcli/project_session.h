// One project open in a private working folder for the length of a command.
#ifndef KVCLI_PROJECT_SESSION_H_
#define KVCLI_PROJECT_SESSION_H_

#include <string>

#include "xQdDb100.h"

namespace kvcli {

// The engine's error word when it is set, else fallback.
int savedError(int fallback);
// Saves db into path with summary openSummary open. Returns 0, or the
// message number of the cause (full disk, missing folder, ...).
int saveProject(ProjectDb& db, PrjInfo& info, const std::string& path, int16_t openSummary);

class ProjectSession {
 public:
  ProjectSession() = default;
  ~ProjectSession();
  ProjectSession(const ProjectSession&) = delete;
  ProjectSession& operator=(const ProjectSession&) = delete;

  // Starts an empty project with the field definitions of Kelvo.ref.
  // Returns 0 or a message number.
  int create();
  // Opens the project file at path and installs its date settings and
  // calendars in the engine. Returns 0 or a message number.
  int open(const std::string& path);
  // Saves the project into path. Returns 0 or a message number.
  int save(const std::string& path);
  // Stores an empty password scrambled with the project code, which Kelvo
  // reads as a project without a password (an all-zero block would be asked
  // for). Call once the code is final.
  void clearPassword();
  // "none" when the stored password accepts an empty entry, "set" when it
  // does not, "" when this build cannot unscramble passwords.
  const char* passwordState() const;

  ProjectDb db;
  PrjInfo info;

 private:
  int start();

  std::string folder_;
  int32_t ref_ = -1;
  bool created_ = false;
};

}  // namespace kvcli

#endif  // KVCLI_PROJECT_SESSION_H_
