// mkref: writes the system reference file Kelvo.ref from the table layouts.
//   mkref <output path>
// The build runs it so that Kelvo.ref lies next to the programs.
#include <stdio.h>

#include <string>

#include "ref_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: mkref <output path>\n");
    return 2;
  }
  std::string error;
  if (!mkref::WriteReferenceFile(argv[1], &error)) {
    fprintf(stderr, "mkref: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
