// Field values as text: xGetValue formats a field of a record, xSetValue
// parses text into it. Text is CP949; widths are bytes.
#include "field_value.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "byte_file.h"
#include "ref_dir.h"
#include "xjor/calendar.h"
#include "xjor/field.h"
#include "xjor/numfmt.h"
#include "xjor/option.h"
#include "xjor/text.h"

namespace {

constexpr int32_t kTextMax = XF_VALUE_MAX - 1;  // characters, NUL excluded

// Display decimals kept within what fixed-point formatting can show.
int32_t decimalsOf(const FieldDesc& fd) {
  return fd.decimals < 0 ? 0 : fd.decimals;
}

// Width used for number text, bounded so that width + decimals + point
// always fits the value text.
int32_t numberWidth(const FieldDesc& fd) {
  int32_t width = fd.width < 0 ? 0 : fd.width;
  int32_t room = kTextMax - (decimalsOf(fd) ? decimalsOf(fd) + 1 : 0);
  return width < room ? width : room;
}

void numberToText(char* out, double value, const FieldDesc& fd, int32_t decimals, int32_t flags) {
  // Formatting may be wider than the value text (many digits plus commas);
  // it goes through a work area and is cut at the value text's bound.
  char work[4096];
  xNumToStr(work, value, numberWidth(fd), decimals, flags);
  work[sizeof work - 1] = '\0';
  xCopyChars(out, work, kTextMax);
}

double textToNumber(const char* text, const FieldDesc& fd, int32_t decimals) {
  double value = 0;
  xStrToNum(text, &value, numberWidth(fd), decimals);
  return isfinite(value) ? value : 0;
}

void referenceText(char* out, int32_t ref, const FieldDesc& fd, uint16_t index) {
  out[0] = '\0';
  refdir::Entry entry;
  if (ref == -1 || !refdir::read(ref, fd.width, &entry) || index >= entry.count) return;
  size_t size = entry.width + 1u;
  std::vector<char> raw(size + 1, '\0');
  if (!bytefile::readAt(ref, entry.offset + static_cast<int64_t>(index) * size, raw.data(), size))
    return;
  xCopyChars(out, raw.data(), kTextMax);
}

void applyTextFlags(char* text, uint32_t flags) {
  if (flags & XF_TRIM) xTrimText(text);
  if (flags & XF_UPPER)
    xUpperText(text);
  else if (flags & XF_LOWER)
    xLowerText(text);
}

uint16_t referenceIndex(int32_t ref, const FieldDesc& fd, const char* text) {
  RefList list = {0, 0, nullptr};
  if (ref == -1 || !xGetRef(ref, fd.width, &list)) return 0;
  uint32_t index = 0;
  if (text[0] >= '0' && text[0] <= '9') {
    for (const char* p = text; *p >= '0' && *p <= '9' && index < 0x10000; ++p)
      index = index * 10 + static_cast<uint32_t>(*p - '0');
  } else {
    char key[XF_VALUE_MAX];
    xCopyChars(key, text, kTextMax);
    applyTextFlags(key, fd.flags);
    size_t size = list.width + 1u;
    index = list.count;
    for (uint32_t k = 0; k < list.count; ++k) {
      const char* entry = list.entries + k * size;
      if (strlen(key) < size && strncmp(entry, key, size) == 0) {
        index = k;
        break;
      }
    }
  }
  if (index >= list.count) index = 0;
  xFreeBuffer(list.entries);
  return static_cast<uint16_t>(index);
}

}  // namespace

namespace fieldvalue {

bool readNumber(const FieldDesc& fd, const unsigned char* at, double* value) {
  switch (fd.type) {
    case XF_INT8:
      *value = static_cast<int8_t>(at[0]);
      return true;
    case XF_UINT8:
      *value = at[0];
      return true;
    case XF_INT16:
      *value = static_cast<int16_t>(bytefile::u16(at));
      return true;
    case XF_UINT16:
      *value = bytefile::u16(at);
      return true;
    case XF_INT32:
      *value = static_cast<int32_t>(bytefile::u32(at));
      return true;
    case XF_UINT32:
      *value = bytefile::u32(at);
      return true;
    case XF_FLOAT: {
      float f;
      memcpy(&f, at, sizeof f);
      *value = f;
      return true;
    }
    case XF_DOUBLE:
      memcpy(value, at, sizeof *value);
      return true;
    default:
      return false;
  }
}

bool writeNumber(const FieldDesc& fd, unsigned char* at, double value) {
  if (!isfinite(value)) value = 0;
  if (fd.type == XF_FLOAT) {
    float f = fabs(value) <= 3.4028234663852886e38 ? static_cast<float>(value) : 0.0f;
    memcpy(at, &f, sizeof f);
    return true;
  }
  if (fd.type == XF_DOUBLE) {
    memcpy(at, &value, sizeof value);
    return true;
  }
  // Integers keep the low bytes of the value truncated toward zero.
  double whole = trunc(value);
  uint32_t low = fabs(whole) < 9.2e18
                     ? static_cast<uint32_t>(static_cast<int64_t>(whole))
                     : static_cast<uint32_t>(static_cast<int64_t>(fmod(whole, 4294967296.0)));
  switch (fd.type) {
    case XF_INT8:
    case XF_UINT8:
      at[0] = static_cast<unsigned char>(low);
      return true;
    case XF_INT16:
    case XF_UINT16:
      bytefile::put16(at, static_cast<uint16_t>(low));
      return true;
    case XF_INT32:
    case XF_UINT32:
      bytefile::put32(at, low);
      return true;
    default:
      return false;
  }
}

}  // namespace fieldvalue

extern "C" void xGetValue(const FieldDesc* fds, int32_t ref, char* out, const void* rec, int32_t i,
                          int32_t flags) {
  const FieldDesc& fd = fds[i];
  const auto* at = static_cast<const unsigned char*>(rec) + fd.offset;
  if (flags == -1) flags = static_cast<int32_t>(fd.flags);
  out[0] = '\0';
  double number = 0;
  switch (fd.type) {
    case XF_CHAR:
      out[0] = static_cast<char>(at[0]);
      out[1] = '\0';
      break;
    case XF_INT8:
    case XF_INT16:
    case XF_INT32:
    case XF_UINT8:
    case XF_UINT16:
    case XF_UINT32:
      fieldvalue::readNumber(fd, at, &number);
      numberToText(out, number, fd, 0, flags);
      break;
    case XF_FLOAT:
    case XF_DOUBLE:
      fieldvalue::readNumber(fd, at, &number);
      numberToText(out, number, fd, decimalsOf(fd), flags);
      break;
    case XF_STRING: {
      // The stored text up to its NUL, never more than the field holds.
      int32_t width = fd.width < 0 ? 0 : fd.width;
      int32_t n = 0;
      int32_t limit = width < kTextMax ? width : kTextMax;
      while (n < limit && at[n] != '\0') ++n;
      memcpy(out, at, static_cast<size_t>(n));
      out[n] = '\0';
      out[xCharCut(out, n)] = '\0';
      break;
    }
    case XF_DATE:
      xTimeToStr(out, bytefile::u16(at));
      break;
    case XF_REF:
      referenceText(out, ref, fd, bytefile::u16(at));
      break;
    case XF_RAW4:
      memcpy(out, at, 4);
      out[4] = '\0';
      break;
    default:
      break;
  }
}

extern "C" void xSetValue(const FieldDesc* fds, int32_t ref, const char* text, void* rec,
                          int32_t i) {
  const FieldDesc& fd = fds[i];
  auto* at = static_cast<unsigned char*>(rec) + fd.offset;
  switch (fd.type) {
    case XF_CHAR:
      // A single byte cannot hold a double-byte character.
      at[0] = xIsLeadByte(static_cast<unsigned char>(text[0]))
                  ? 0
                  : static_cast<unsigned char>(text[0]);
      break;
    case XF_INT8:
    case XF_INT16:
    case XF_INT32:
    case XF_UINT8:
    case XF_UINT16:
    case XF_UINT32:
      fieldvalue::writeNumber(fd, at, textToNumber(text, fd, 0));
      break;
    case XF_FLOAT:
    case XF_DOUBLE:
      fieldvalue::writeNumber(fd, at, textToNumber(text, fd, decimalsOf(fd)));
      break;
    case XF_STRING: {
      int32_t width = fd.width < 0 ? 0 : fd.width;
      memset(at, 0, static_cast<size_t>(width) + 1);
      xCopyChars(reinterpret_cast<char*>(at), text, width);
      applyTextFlags(reinterpret_cast<char*>(at), fd.flags);
      break;
    }
    case XF_DATE:
      bytefile::put16(at, xStrToTime(text));
      break;
    case XF_REF:
      bytefile::put16(at, referenceIndex(ref, fd, text));
      break;
    case XF_RAW4:
      memcpy(at, text, 4);
      break;
    default:
      break;
  }
}
