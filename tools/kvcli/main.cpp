// kvcli: the command-line companion of the planner.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace kvcli {

int usage() {
  std::fprintf(
      stderr,
      "usage: kvcli new FILE.kvp [--code C] [--name N] [--start D] [--finish D]\n"
      "                 [--data-date D]\n"
      "       kvcli info FILE.kvp\n"
      "       kvcli classes FILE.kvp work|facility LEN[:NAME]...\n"
      "       kvcli calendar FILE.kvp N --from D --to D [--off sat,sun] [--holiday D]...\n"
      "                 [--korean-holidays]\n"
      "       kvcli check FILE.kvp\n"
      "       kvcli schedule FILE.kvp [--data-date D]\n"
      "       kvcli gen FILE.kvp --activities N --relations M [--seed S] [--work-types]\n"
      "       kvcli load FILE.kvp TABLE FILE.csv [--date-mode N]\n"
      "       kvcli dump FILE.kvp TABLE\n"
      "       kvcli register EXT TITLE LIBRARY [--editor]\n"
      "       kvcli converters\n"
      "       kvcli export FILE.kvp OUT.EXT\n"
      "       kvcli import IN.EXT FILE.kvp\n"
      "       kvcli register-summary FILE.kvp N --title T [--compose E,E,...]\n"
      "                 [--option NAME]... [--period month|week|day] [--replace]\n"
      "           E = classification x 10 + level (0 work type, 1 facility, 2 other);\n"
      "           NAME: activities resource-classes resources periods indent number\n"
      "                 no-milestones no-unclassified weighted resource-summary\n"
      "                 resource-first\n"
      "       kvcli baseline FILE.kvp [--percent P] [--include-started] [--activity CODE]...\n"
      "       kvcli next-stage FILE.kvp --from D --to D [--percent P] [--include-started]\n"
      "                 [--save-as NEW.kvp]\n"
      "       kvcli derive FILE.kvp --option NAME... [--resource-class C] [--activity CODE]...\n"
      "           NAME, run in this order: spread-quantities durations contract-prices\n"
      "                 execution-prices input-prices (skip-completed) contract-weights\n"
      "                 execution-weights progress crew-inputs (round-up)\n"
      "       kvcli actuals FILE.kvp\n"
      "       kvcli rewrite-codes FILE.kvp\n"
      "       kvcli summary FILE.kvp N|--all [--quiet]\n"
      "       kvcli dump FILE.kvp summary N\n"
      "       kvcli series FILE.kvp N ROW\n");
  return 1;
}

}  // namespace kvcli

namespace {

using kvcli::usage;

// The value after option `name`, or fallback when it is absent.
const char* option(int argc, char** argv, const char* name, const char* fallback) {
  for (int i = 3; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
  }
  return fallback;
}

// kvcli calendar FILE N --from D --to D [--off sat,sun] [--holiday D]...
//                [--korean-holidays]
int calendarCommand(int argc, char** argv) {
  if (argc < 4) return usage();
  kvcli::CalendarRequest request;
  request.number = static_cast<int>(std::strtol(argv[3], nullptr, 10));
  request.from = option(argc, argv, "--from", "");
  request.to = option(argc, argv, "--to", "");
  static const char* kDays[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  const std::string off = option(argc, argv, "--off", "");
  size_t at = 0;
  while (at < off.size()) {
    const size_t comma = std::min(off.find(',', at), off.size());
    const std::string name = off.substr(at, comma - at);
    bool known = false;
    for (int d = 0; d < 7; ++d) {
      if (name == kDays[d]) {
        request.offWeekdays |= 1u << d;
        known = true;
      }
    }
    if (!known) {
      std::fprintf(stderr, "알 수 없는 요일입니다: %s (sun mon tue wed thu fri sat)\n",
                   name.c_str());
      return 1;
    }
    at = comma + 1;
  }
  for (int i = 4; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--holiday") == 0) request.holidays.push_back(argv[i + 1]);
  }
  for (int i = 4; i < argc; ++i)
    if (std::strcmp(argv[i], "--korean-holidays") == 0) request.koreanHolidays = true;
  return kvcli::calendar(argv[2], request);
}

}  // namespace

int main(int argc, char** argv) {
  // A save past the file-size limit (ulimit -f) fails with a message and
  // removes its temporary file instead of killing the program.
  signal(SIGXFSZ, SIG_IGN);
#ifdef KVCLI_CONVERTERS
  if (const int status = kvcli::convertCommand(argc, argv); status >= 0) return status;
#endif
  if (argc < 3) return usage();
  const std::string command = argv[1], file = argv[2];
  if (command == "new") {
    return kvcli::create(file,
                         {option(argc, argv, "--code", ""), option(argc, argv, "--name", ""),
                          option(argc, argv, "--start", ""), option(argc, argv, "--finish", ""),
                          option(argc, argv, "--data-date", "")});
  }
  if (command == "info") return kvcli::info(file);
  if (command == "calendar") return calendarCommand(argc, argv);
  if (command == "classes") {
    if (argc < 5) return usage();
    return kvcli::classes(file, argv[3], std::vector<std::string>(argv + 4, argv + argc));
  }
  if (command == "check") return kvcli::check(file);
  if (command == "schedule") return kvcli::schedule(file, option(argc, argv, "--data-date", ""));
  if (command == "gen") {
    const long activities = std::strtol(option(argc, argv, "--activities", "0"), nullptr, 10);
    const long relations = std::strtol(option(argc, argv, "--relations", "0"), nullptr, 10);
    const long seed = std::strtol(option(argc, argv, "--seed", "1"), nullptr, 10);
    if (activities < 1 || activities > 999999 || relations < 0) return usage();
    bool workTypes = false;
    for (int i = 3; i < argc; ++i)
      workTypes = workTypes || std::strcmp(argv[i], "--work-types") == 0;
    return kvcli::generate(file, static_cast<int32_t>(activities), static_cast<int32_t>(relations),
                           static_cast<uint32_t>(seed), workTypes);
  }
  if (command == "load") {
    if (argc < 5) return usage();
    const long mode = std::strtol(option(argc, argv, "--date-mode", "0"), nullptr, 10);
    if (mode < -1 || mode > 1) return usage();
    return kvcli::load(file, argv[3], argv[4], static_cast<int16_t>(mode));
  }
  if (int r = kvcli::stageCommand(argc, argv); r >= 0) return r;
  if (int r = kvcli::summaryCommand(argc, argv); r >= 0) return r;
  if (command == "dump") {
    if (argc < 4) return usage();
    return kvcli::dump(file, argv[3]);
  }
  return usage();
}
