// Builds Kelvo.ref from the layouts of table_layouts.cpp.
#ifndef MKREF_REF_BUILDER_H_
#define MKREF_REF_BUILDER_H_

#include <stdint.h>

#include <string>
#include <vector>

namespace mkref {

// Converts UTF-8 text to CP949, the encoding of every text inside our files.
// Returns false when the text has no CP949 form.
bool ToCp949(const std::string& utf8, std::string* cp949);

// The entries of one reference list: `count` entries of width + 1 bytes.
struct RefListBytes {
  int list = 0;
  uint16_t width = 0;
  uint16_t count = 0;
  std::vector<uint8_t> bytes;
};

// Encodes every table layout and text list, checking that names fit in 31
// bytes, texts in their list width, and that each field lies inside its
// record without overlapping another. On a fault returns false with a
// description in *error.
bool BuildReferenceLists(std::vector<RefListBytes>* lists, std::string* error);

// Builds the lists and writes them as a new reference file at path.
bool WriteReferenceFile(const char* path, std::string* error);

}  // namespace mkref

#endif  // MKREF_REF_BUILDER_H_
