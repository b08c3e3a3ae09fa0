// Pieces of the expression language shared by its source files.
#ifndef XJOR_QUERY_INTERNAL_H_
#define XJOR_QUERY_INTERNAL_H_

#include <stddef.h>
#include <stdint.h>

#include "xjor/query.h"

namespace xjor::query {

// Error codes of the language.
enum : int32_t {
  kErrOutOfMemory = 21001,
  kErrDate = 21015,
  kErrTooManyTokens = 21016,
  kErrOperandTypes = 21017,
  kErrParentheses = 21018,
  kErrMalformed = 21019,
  kErrResultType = 21020,
  kErrQuote = 21021,
  kErrDateMark = 21022,
  kErrBracket = 21023,
  kErrUnknownField = 21024,
};

// An error code with the text offset at which it was found; code 0 = none.
struct Failure {
  int32_t code = 0;
  uint32_t pos = 0;
};

// Splits q->text into q->tokens, ending with an end token, and looks up the
// field names in q->bindings. Returns the first failure, if any.
Failure Tokenize(QueryCtx* q);

// Looks name (len bytes) up in the bound tables in order. Returns false when
// no table has a field of exactly that name.
bool FindField(const QueryCtx* q, const char* name, size_t len, QueryToken* token);

// Loads the field named by token from the current record of its binding into
// out. A missing record buffer or a field outside the record loads the empty
// value of the field's kind. Returns false when the field's type has no value
// in expressions (or the token no longer names a field).
bool LoadField(const QueryCtx* q, const QueryToken& token, QueryValue* out);

// The value kind (XJOR_QV_*) a field of type code loads as, or -1 if none.
int ValueTypeOfField(int typeCode);

// Applies unary op ('+' or '-') to v in place. Returns 0 or kErrOperandTypes.
int32_t ApplyUnary(char op, QueryValue* v);

// Applies the binary operator op to left and right, leaving the result in
// left. Returns 0 or an error code.
int32_t ApplyBinary(char op, QueryValue* left, const QueryValue& right);

// Compares two strings the way the comparison operators do: over the right
// operand's length, '?' on either side matching any byte.
int CompareStrings(const char* l, int32_t llen, const char* r, int32_t rlen);

// True when needle occurs in haystack starting at a character boundary of
// the (CP949) haystack.
bool ContainsText(const char* hay, int32_t hayLen, const char* needle, int32_t needleLen);

// Evaluates the tokens from index 0, storing the (possibly partial) result
// in q->result. Tokens left over after a complete expression fail.
Failure Evaluate(QueryCtx* q);

}  // namespace xjor::query

#endif  // XJOR_QUERY_INTERNAL_H_
