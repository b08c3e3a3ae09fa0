// The operators of the expression language and their type rules.
#include <cmath>
#include <cstring>

#include "query_internal.h"
#include "xjor/calendar.h"
#include "xjor/text.h"

namespace xjor::query {
namespace {

// Highest offset whose date the packed form can still hold exactly.
constexpr double kMaxOffset = 45624;

void SetBoolean(QueryValue* v, bool value) {
  v->type = XJOR_QV_BOOLEAN;
  v->u.boolean.value = value ? 1 : 0;
  v->u.boolean.errorPos = 0;
}

void SetNumber(QueryValue* v, double value) {
  v->type = XJOR_QV_NUMBER;
  v->u.number = value;
}

void SetDate(QueryValue* v, uint16_t date) {
  v->type = XJOR_QV_DATE;
  v->u.date = date;
}

// date shifted by n working days (n truncated toward zero); no date stays no
// date. The offset is kept inside the range that packed dates can hold.
uint16_t ShiftDate(uint16_t date, double n) {
  if (date == 0) return 0;
  double offset = static_cast<double>(xGetTimeOffset(date));
  offset += std::isfinite(n) ? std::trunc(n) : 0;
  if (!(offset >= 0)) offset = 0;
  if (offset > kMaxOffset) offset = kMaxOffset;
  return xGetTimeFromOffset(static_cast<int32_t>(offset));
}

// Working days from right to left; 0 when either date is missing.
double DateDifference(uint16_t left, uint16_t right) {
  if (left == 0 || right == 0) return 0;
  return static_cast<double>(xGetTimeOffset(left)) - static_cast<double>(xGetTimeOffset(right));
}

double Remainder(double l, double r) {
  const double a = std::trunc(l), b = std::trunc(r);
  if (b == 0 || !std::isfinite(a) || std::isnan(b)) return 0;
  return std::fmod(a, b);
}

// -1, 0 or 1 for two values of the same comparable type.
int CompareValues(const QueryValue& l, const QueryValue& r) {
  switch (l.type) {
    case XJOR_QV_NUMBER:
      return l.u.number < r.u.number ? -1 : (l.u.number > r.u.number ? 1 : 0);
    case XJOR_QV_DATE:
      return l.u.date < r.u.date ? -1 : (l.u.date > r.u.date ? 1 : 0);
    default:
      return CompareStrings(l.u.string.text, l.u.string.length, r.u.string.text, r.u.string.length);
  }
}

bool IsComparison(char op) {
  switch (op) {
    case '=':
    case '<':
    case '>':
    case XJOR_OP_NOT_EQUAL:
    case XJOR_OP_LESS_EQUAL:
    case XJOR_OP_GREATER_EQUAL:
      return true;
    default:
      return false;
  }
}

bool ComparisonHolds(char op, int cmp) {
  switch (op) {
    case '=':
      return cmp == 0;
    case XJOR_OP_NOT_EQUAL:
      return cmp != 0;
    case '<':
      return cmp < 0;
    case '>':
      return cmp > 0;
    case XJOR_OP_LESS_EQUAL:
      return cmp <= 0;
    default:
      return cmp >= 0;
  }
}

}  // namespace

int CompareStrings(const char* l, int32_t llen, const char* r, int32_t rlen) {
  if (rlen <= 0) return llen > 0 ? 1 : 0;
  for (int32_t i = 0; i < rlen; ++i) {
    const unsigned char lc = i < llen ? static_cast<unsigned char>(l[i]) : 0;
    const unsigned char rc = static_cast<unsigned char>(r[i]);
    if (lc == '?' || rc == '?' || lc == rc) continue;
    return lc < rc ? -1 : 1;
  }
  return 0;
}

bool ContainsText(const char* hay, int32_t hayLen, const char* needle, int32_t needleLen) {
  if (needleLen <= 0) return true;
  for (int32_t i = 0; i + needleLen <= hayLen;) {
    if (std::memcmp(hay + i, needle, static_cast<size_t>(needleLen)) == 0) return true;
    i += xIsLeadByte(static_cast<unsigned char>(hay[i])) && i + 1 < hayLen ? 2 : 1;
  }
  return false;
}

int32_t ApplyUnary(char op, QueryValue* v) {
  if (v->type != XJOR_QV_NUMBER) return kErrOperandTypes;
  if (op == '-') v->u.number = -v->u.number;
  return 0;
}

int32_t ApplyBinary(char op, QueryValue* left, const QueryValue& right) {
  const int lt = left->type, rt = right.type;
  const bool numbers = lt == XJOR_QV_NUMBER && rt == XJOR_QV_NUMBER;
  const double l = left->u.number, r = right.u.number;

  if (IsComparison(op)) {
    if (lt != rt || lt == XJOR_QV_BOOLEAN) return kErrOperandTypes;
    const int cmp = CompareValues(*left, right);
    SetBoolean(left, ComparisonHolds(op, cmp));
    left->compare = static_cast<int8_t>(cmp);
    return 0;
  }
  switch (op) {
    case '*':
      if (!numbers) return kErrOperandTypes;
      SetNumber(left, l * r);
      return 0;
    case '/':
      if (!numbers) return kErrOperandTypes;
      SetNumber(left, r == 0 ? 0 : l / r);
      return 0;
    case '%':
      if (!numbers) return kErrOperandTypes;
      SetNumber(left, Remainder(l, r));
      return 0;
    case '+':
      if (numbers) {
        SetNumber(left, l + r);
      } else if (lt == XJOR_QV_DATE && rt == XJOR_QV_NUMBER) {
        SetDate(left, ShiftDate(left->u.date, r));
      } else {
        return kErrOperandTypes;
      }
      return 0;
    case '-':
      if (numbers) {
        SetNumber(left, l - r);
      } else if (lt == XJOR_QV_DATE && rt == XJOR_QV_NUMBER) {
        SetDate(left, ShiftDate(left->u.date, -r));
      } else if (lt == XJOR_QV_DATE && rt == XJOR_QV_DATE) {
        SetNumber(left, DateDifference(left->u.date, right.u.date));
      } else {
        return kErrOperandTypes;
      }
      return 0;
    case '&':
    case '|': {
      if (lt != XJOR_QV_BOOLEAN || rt != XJOR_QV_BOOLEAN) return kErrOperandTypes;
      const bool a = left->u.boolean.value != 0, b = right.u.boolean.value != 0;
      SetBoolean(left, op == '&' ? (a && b) : (a || b));
      return 0;
    }
    case ':':
    case XJOR_OP_NOT_CONTAINS: {
      if (lt != XJOR_QV_STRING || rt != XJOR_QV_STRING) return kErrOperandTypes;
      const bool found = ContainsText(left->u.string.text, left->u.string.length,
                                      right.u.string.text, right.u.string.length);
      SetBoolean(left, op == ':' ? found : !found);
      return 0;
    }
    default:
      return kErrMalformed;
  }
}

}  // namespace xjor::query
