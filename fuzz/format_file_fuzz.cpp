// Format files of any content: the reader must refuse or split them without
// reading past the buffer, and what it accepts must encode to a file that
// reads back to the same blocks.
#include <stdint.h>

#include <cstdlib>
#include <vector>

#include "kelvo/format_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvo;
  // Read the file as the kind its header names, so that the blocks are reached.
  const int kind = size >= 6 ? (data[4] | data[5] << 8) % 22 : 0;
  FormatFile file;
  if (parseFormatFile(data, size, viewKindOf(kind), &file) != FormatError::None) return 0;
  const std::vector<uint8_t> again = encodeFormatFile(file);
  FormatFile reread;
  if (parseFormatFile(again.data(), again.size(), file.kind, &reread) != FormatError::None ||
      encodeFormatFile(reread) != again)
    std::abort();
  std::vector<uint8_t> back, front;
  decodeFormatObjects(file.objects, file.kind, &back, &front);
  if (back.size() % 28 != 0 || front.size() % 28 != 0) std::abort();
  return 0;
}
