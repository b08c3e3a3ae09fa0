// nubpack a ARCHIVE FILE... | l ARCHIVE | x ARCHIVE [DIR] | t ARCHIVE
#include <cstdio>
#include <string>
#include <vector>

#include "nubpack.h"

namespace {

int usage() {
  std::fputs(
      "usage: nubpack a ARCHIVE FILE...   append files to an archive\n"
      "       nubpack l ARCHIVE           list the members\n"
      "       nubpack x ARCHIVE [DIR]     unpack the members into DIR (default .)\n"
      "       nubpack t ARCHIVE           check every member\n",
      stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  const std::string archive = argv[2];
  if (command == "a" && argc >= 4) {
    return nubpack::append(archive, std::vector<std::string>(argv + 3, argv + argc));
  }
  if (command == "l" && argc == 3) return nubpack::list(archive);
  if (command == "x" && (argc == 3 || argc == 4)) {
    return nubpack::extract(archive, argc == 4 ? argv[3] : ".");
  }
  if (command == "t" && argc == 3) return nubpack::test(archive);
  return usage();
}
