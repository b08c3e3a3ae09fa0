// Number text: fixed-point writing with ties rounded away from zero, the
// restricted number reader, rounding, truncation and thousands separators.
#include <math.h>
#include <string.h>

#include <charconv>

#include "xjor/numfmt.h"

namespace {

constexpr int kMaxDecimals = 150;
constexpr size_t kWork = 512;  // holds any double with kMaxDecimals decimals

// True when v's exact binary value lies exactly halfway between two numbers
// of d decimals. v = m * 2^e with m odd has exactly -e decimals after the
// point (for e < 0) and its last one is always 5, so that is a tie at d
// decimals precisely when -e == d + 1.
bool isHalfway(double v, int d) {
  if (v == 0 || !isfinite(v)) return false;
  int exp2;
  double frac = frexp(fabs(v), &exp2);
  uint64_t mant = static_cast<uint64_t>(ldexp(frac, 53));
  int e = exp2 - 53 + __builtin_ctzll(mant);
  return e == -(d + 1);
}

// Adds one unit in the last digit of a decimal text (sign, digits, point).
size_t bumpLastDigit(char* s, size_t len) {
  size_t i = len;
  while (i > 0) {
    char& c = s[--i];
    if (c == '.') continue;
    if (c == '-') {
      ++i;
      break;
    }
    if (c != '9') {
      ++c;
      return len;
    }
    c = '0';
    if (i == 0) break;
  }
  memmove(s + i + 1, s + i, len - i + 1);  // all nines: one more digit
  s[i] = '1';
  return len + 1;
}

// Writes v with d decimals into out (kWork bytes), halves away from zero.
size_t writeFixed(double v, int d, char* out) {
  if (!isfinite(v)) v = 0;
  if (d < 0) d = 0;
  if (d > kMaxDecimals) d = kMaxDecimals;
  if (isHalfway(v, d)) {
    // The text with one more decimal is exact and ends in 5: drop the 5
    // (and a bare point), then round the magnitude up.
    auto r = std::to_chars(out, out + kWork - 2, v, std::chars_format::fixed, d + 1);
    size_t len = static_cast<size_t>(r.ptr - out) - 1;
    if (d == 0) --len;
    out[len] = '\0';
    return bumpLastDigit(out, len);
  }
  auto r = std::to_chars(out, out + kWork - 1, v, std::chars_format::fixed, d);
  *r.ptr = '\0';
  return static_cast<size_t>(r.ptr - out);
}

// The number at the start of text, or 0.
double readNumber(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const char* start = p;
  while (*p >= '0' && *p <= '9') ++p;
  bool digits = p != start;
  if (*p == '.') {
    const char* frac = ++p;
    while (*p >= '0' && *p <= '9') ++p;
    digits = digits || p != frac;
  }
  if (!digits) return 0;
  double v = 0;
  auto r = std::from_chars(start, p, v, std::chars_format::fixed);
  if (r.ec != std::errc() || !isfinite(v)) return 0;
  return negative ? -v : v;
}

}  // namespace

extern "C" void xNumToStr(char* buf, double v, int32_t width, int32_t decimals, int32_t flags) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  int64_t total = decimals ? static_cast<int64_t>(width) + decimals + 1 : width;
  if (total < 0) total = 0;
  char work[kWork];
  size_t len = 0;
  if ((flags & XJOR_NUM_BLANK_ZERO) && v == 0) {
    work[0] = '\0';
  } else if (total > 0) {
    len = writeFixed(v, decimals, work);
    size_t keep = static_cast<size_t>(total);
    if (len > keep) {
      memmove(work, work + len - keep, keep + 1);
      len = keep;
    }
  } else {
    len = writeFixed(v, 10, work);
    while (len > 0 && work[len - 1] == '0') --len;
    if (len > 0 && work[len - 1] == '.') --len;
    work[len] = '\0';
  }
  memcpy(buf, work, len + 1);
  if (flags & XJOR_NUM_COMMA) {
    xComma(buf);
  } else if (flags & XJOR_NUM_RIGHT) {
    xLFill(buf, static_cast<int32_t>(total));
  }
}

extern "C" void xStrToNum(const char* text, double* v, int32_t width, int32_t decimals) {
  double value = readNumber(text);
  if (width != 0) {
    char work[kWork];
    xNumToStr(work, value, width, decimals, XJOR_NUM_PLAIN);
    value = readNumber(work);
  }
  *v = value;
}

// Rounds v to d decimals without text when that is certain to give what
// the text would: |v| * 10^d is small enough that its floating product is
// within 2^-9 of the exact one, and its fraction is not that close to a
// half. The rounded integer over 10^d is then the double nearest the
// rounded decimal, as reading its text gives. False leaves *out alone.
static bool roundQuickly(double v, int d, double* out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  if (d < 0 || d > 10 || !isfinite(v)) return false;
  const double scaled = fabs(v) * kPowers[d];
  if (!(scaled < 0x1p44)) return false;
  const double whole = floor(scaled);
  const double fraction = scaled - whole;
  if (fabs(fraction - 0.5) <= 0x1p-8) return false;
  *out = copysign((fraction > 0.5 ? whole + 1 : whole) / kPowers[d], v);
  return true;
}

extern "C" void xRound(double* v, int32_t d) {
  if (roundQuickly(*v, d, v)) return;
  char work[kWork];
  writeFixed(*v, d, work);
  *v = readNumber(work);
}

extern "C" void xTrunc(double* v, int32_t d) {
  char work[kWork];
  writeFixed(*v, 10, work);
  if (d < 10) {
    char* point = strchr(work, '.');
    if (point) point[d > 0 ? d + 1 : 0] = '\0';
  }
  *v = readNumber(work);
}

extern "C" int32_t xComma(char* text) {
  size_t len = strlen(text);
  if (len > 255) return static_cast<int32_t>(len);
  char work[kWork];
  char* out = work + kWork - 1;  // built from the right
  *out = '\0';
  const char* point = strrchr(text, '.');
  size_t intLen = point ? static_cast<size_t>(point - text) : len;
  size_t fracLen = len - intLen;
  out -= fracLen;
  memcpy(out, text + intLen, fracLen);
  int inGroup = 0;
  for (size_t i = intLen; i > 0; --i) {
    char c = text[i - 1];
    if (inGroup == 3) {
      if (c == '-') {
        *--out = c;
        break;
      }
      *--out = ',';
      inGroup = 0;
    }
    *--out = c;
    ++inGroup;
  }
  size_t outLen = static_cast<size_t>(work + kWork - 1 - out);
  memcpy(text, out, outLen + 1);
  return static_cast<int32_t>(outLen);
}
