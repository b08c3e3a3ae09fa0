// Helpers for the expression tests: check an expression and capture what the
// caller would see.
#ifndef QUERY_TEST_UTIL_H_
#define QUERY_TEST_UTIL_H_

#include <string>

#include "xJorDbm2.h"

struct Checked {
  int32_t ok;
  int32_t error;     // error word after the check
  uint32_t pos;      // error position
  QueryValue value;  // result
  std::string text() const { return std::string(value.u.string.text, value.u.string.length); }
  double number() const { return value.u.number; }
  bool truth() const { return value.u.boolean.value != 0; }
};

// Checks text for the expected result type against the given tables (or none).
inline Checked CheckExpr(int32_t expected, const char* text,
                         TableBinding* const* bindings = nullptr,
                         const void* const* records = nullptr, int32_t count = 0,
                         QueryCtx* keep = nullptr) {
  QueryCtx local{};
  QueryCtx& q = keep ? *keep : local;
  q = QueryCtx{};
  q.text = text;
  q.bindings = bindings;
  q.records = records;
  q.bindingCount = count;
  Checked c{};
  c.ok = xCheckSyntax(expected, &q);
  c.error = xGetDbError();
  c.pos = q.result.u.boolean.errorPos;
  c.value = q.result;
  return c;
}

#endif  // QUERY_TEST_UTIL_H_
