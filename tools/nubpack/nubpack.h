// nubpack: makes, lists, unpacks and checks archives.
#ifndef TOOLS_NUBPACK_NUBPACK_H_
#define TOOLS_NUBPACK_NUBPACK_H_

#include <cstdint>
#include <string>
#include <vector>

namespace nubpack {

// Each command returns the process exit status: 0 on success, 1 after
// printing what went wrong to standard error.

// Appends FILES to ARCHIVE, creating it when missing. An existing archive
// must check out before anything is appended.
int append(const std::string& archive, const std::vector<std::string>& files);

// Prints one line per member: size, packed size, checksum, time, name.
int list(const std::string& archive);

// Unpacks every member into `folder`, each through a temporary file that
// is renamed to the member's name only once it is complete.
int extract(const std::string& archive, const std::string& folder);

// Decodes every member without writing anything.
int test(const std::string& archive);

// Prints "nubpack: WHAT: TEXT" and returns 1.
int complain(const std::string& what, const std::string& text);
// Text for an xApLastError code.
std::string error_text(int code);
// Platform file time as local "YYYY-MM-DD HH:MM:SS".
std::string time_text(uint64_t file_time);

}  // namespace nubpack

#endif  // TOOLS_NUBPACK_NUBPACK_H_
