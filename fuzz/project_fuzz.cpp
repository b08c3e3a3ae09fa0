// Reads arbitrary bytes as a project file and as a settings file. Neither
// reader may crash, allocate beyond the input, or leave files behind when
// it refuses the input.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "xQdDb100.h"

namespace {

std::string Folder() {
  static std::string folder = [] {
    char pattern[] = "/tmp/project_fuzz_XXXXXX";
    return std::string(mkdtemp(pattern)) + "/";
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = Folder() + "input";
  FILE* f = fopen(input.c_str(), "wb");
  if (f == nullptr) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  uint8_t info[XQD_INFO_SIZE];
  xGetPrjInfo(input.c_str(), info);

  ProjectDb db;
  if (xCreateDB(&db, nullptr, Folder().c_str(), "~Fz") == 1) {
    xReadDB(&db, info, input.c_str());
    xReadMiscFormat(&db, info, input.c_str());
  }
  xCloseDB(&db);
  unlink(input.c_str());
  return 0;
}
