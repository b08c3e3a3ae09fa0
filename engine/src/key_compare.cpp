// Comparison of records by key descriptor.
#include <string.h>

#include "xjor/index.h"

namespace {

template <typename T>
T load(const uint8_t* p) {
  T v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Equal 0, less -1, anything else 1 (so a NaN compares greater).
template <typename T>
int32_t order(T a, T b) {
  return a == b ? 0 : (a < b ? -1 : 1);
}

// Compares one element of type code; *size receives its byte length.
// Returns false for a code that cannot appear in a descriptor.
bool compareElement(int code, int stringLength, const uint8_t* a, const uint8_t* b, int32_t* result,
                    int* size) {
  switch (code) {
    case 2:
    case 6:
      *size = 1;
      *result = order(a[0], b[0]);
      return true;
    case 3:
      *size = 1;
      *result = order(static_cast<int8_t>(a[0]), static_cast<int8_t>(b[0]));
      return true;
    case 4:
    case 13:
      *size = 2;
      *result = order(load<int16_t>(a), load<int16_t>(b));
      return true;
    case 7:
    case 12:
      *size = 2;
      *result = order(load<uint16_t>(a), load<uint16_t>(b));
      return true;
    case 5:
    case 14:
      *size = 4;
      *result = order(load<int32_t>(a), load<int32_t>(b));
      return true;
    case 8:
      *size = 4;
      *result = order(load<uint32_t>(a), load<uint32_t>(b));
      return true;
    case 9:
      *size = 4;
      *result = order(load<float>(a), load<float>(b));
      return true;
    case 10:
      *size = 8;
      *result = order(load<double>(a), load<double>(b));
      return true;
    case 11: {
      // Like strcmp, but never past the element's L + 1 bytes.
      *size = stringLength + 1;
      *result = 0;
      for (int i = 0; i < *size; ++i) {
        if (a[i] != b[i]) {
          *result = a[i] < b[i] ? -1 : 1;
          break;
        }
        if (a[i] == 0) break;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

extern "C" int32_t xCompareKey(const void* a, const void* b, const KeyDesc* desc) {
  if (desc == nullptr) return 0;
  const uint8_t* pa = static_cast<const uint8_t*>(a);
  const uint8_t* pb = static_cast<const uint8_t*>(b);
  for (const KeyDesc* d = desc; *d != 0;) {
    int code = static_cast<int8_t>(*d++);
    bool descending = code < 0;
    if (descending) code = -code;
    int stringLength = 0;
    if (code == 11) {
      stringLength = static_cast<uint8_t>(*d);
      if (stringLength != 0) ++d;  // a missing length byte ends the descriptor
    }
    int32_t result;
    int size;
    if (!compareElement(code, stringLength, pa, pb, &result, &size)) return 0;
    if (result != 0) return descending ? -result : result;
    pa += size;
    pb += size;
  }
  return 0;
}
