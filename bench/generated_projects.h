// What the benchmarks over kvcli-generated projects share: processor time,
// the folder of the programs, and a scratch folder for projects of hundreds
// of megabytes.
#ifndef KELVO_BENCH_GENERATED_PROJECTS_H_
#define KELVO_BENCH_GENERATED_PROJECTS_H_

#include <stdlib.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace bench {

// Processor seconds (user + system) of RUSAGE_SELF or RUSAGE_CHILDREN.
inline double cpuSeconds(int who = RUSAGE_SELF) {
  rusage u;
  getrusage(who, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The folder of this program, where kvcli and Kelvo.ref lie.
inline std::filesystem::path binFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// A new folder named prefix_XXXXXX under $KELVO_BENCH_DIR (else the
// temporary folder), made on the first call; the caller removes it.
inline std::filesystem::path scratchFolder(const char* prefix) {
  static const std::filesystem::path folder = [prefix] {
    const char* base = getenv("KELVO_BENCH_DIR");
    const std::filesystem::path parent =
        base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    std::string pattern = (parent / (std::string(prefix) + "_XXXXXX")).string();
    return std::filesystem::path(mkdtemp(pattern.data()));
  }();
  return folder;
}

// How much n log n grows from small to large.
inline double nlognGrowth(double small, double large) {
  return large * std::log(large) / (small * std::log(small));
}

}  // namespace bench

#endif  // KELVO_BENCH_GENERATED_PROJECTS_H_
