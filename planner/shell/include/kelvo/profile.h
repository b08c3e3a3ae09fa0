// Per-user settings in the old profile style: integers and texts by section
// and key, kept in an INI file (organisation "JorSoft", application
// "Kelvo 2000" under the user's configuration folder).
#ifndef KELVO_PROFILE_H_
#define KELVO_PROFILE_H_

#include <QString>
#include <memory>

class QSettings;

namespace kelvo {

class CProfile {
 public:
  // The user's settings file.
  CProfile();
  // A settings file at iniPath (tests and tools).
  explicit CProfile(const QString& iniPath);
  ~CProfile();
  CProfile(const CProfile&) = delete;
  CProfile& operator=(const CProfile&) = delete;

  // The integer under section/key; def when it is absent or not a number.
  int getInt(const QString& section, const QString& key, int def) const;
  // The text under section/key; def when it is absent.
  QString getString(const QString& section, const QString& key, const QString& def = {}) const;
  // Store a value; the file is written at once. Return false when it cannot be.
  bool writeInt(const QString& section, const QString& key, int value);
  bool writeString(const QString& section, const QString& key, const QString& value);

  // The settings themselves, for sections kept by others (the converter
  // registrations under "Convert").
  QSettings& settings() { return *settings_; }

  // Where the settings live.
  QString fileName() const;

 private:
  bool flush();
  std::unique_ptr<QSettings> settings_;
};

}  // namespace kelvo

#endif  // KELVO_PROFILE_H_
