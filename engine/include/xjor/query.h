// Expression and query language: conditions and calculations over the fields
// of the current record, and record sets of the records that satisfy a
// condition, optionally sorted by fields.
//
// An expression is tokenized and checked once (xCheckSyntax), then evaluated
// per record (xExeQuery). Errors set the engine's error word to 21015-21024
// (or 21001) and report the character offset at which they were found.
#ifndef XJOR_QUERY_H_
#define XJOR_QUERY_H_

#include <stdint.h>

#include "xjor/table.h"

#ifdef __cplusplus
extern "C" {
#endif

struct MemTable;  // see xjor/index.h

// Value types of a QueryValue (and of the expected result of xCheckSyntax).
enum {
  XJOR_QV_BOOLEAN = 0,
  XJOR_QV_NUMBER = 10,
  XJOR_QV_STRING = 11,
  XJOR_QV_DATE = 12,
};

// The value payload shared by results and constant tokens.
typedef union QueryPayload {
  struct {
    uint32_t value;     // boolean: 0 or 1
    uint32_t errorPos;  // after a failed xCheckSyntax: offset of the error
  } boolean;
  double number;
  struct {
    const char* text;  // not terminated; points into the expression or a record
    int32_t length;
  } string;
  uint16_t date;  // packed date, 0 = no date
} QueryPayload;

// A typed value: the result of an expression, or an intermediate.
typedef struct QueryValue {
  int8_t compare;  // -1, 0 or 1 after a comparison (scratch)
  uint8_t type;    // XJOR_QV_*
  QueryPayload u;
} QueryValue;

// Token kinds.
enum { XJOR_TK_OPERATOR = 0, XJOR_TK_FIELD = 1, XJOR_TK_CONSTANT = 2 };

// Operator codes of operator tokens. Single-character operators use their own
// character; the two-character ones get letters. 0 is the end of the text.
enum {
  XJOR_OP_END = 0,
  XJOR_OP_NOT_EQUAL = '!',  // "!=" or a lone "!"
  XJOR_OP_LESS_EQUAL = 'L',
  XJOR_OP_GREATER_EQUAL = 'G',
  XJOR_OP_NOT_CONTAINS = 'N',  // "!:"
};

#define XJOR_QUERY_MAX_TOKENS 23  // tokens before the end token

typedef struct QueryToken {
  uint8_t kind;  // XJOR_TK_*
  uint8_t type;  // constant: XJOR_QV_*; field: the field's type code
  uint32_t pos;  // offset of the token in the expression text
  union {
    char op;  // operator code
    struct {
      uint32_t binding;  // index into QueryCtx::bindings
      uint32_t index;    // field index in that table
    } field;
    QueryPayload value;  // constant
  } u;
} QueryToken;

// The caller fills text, bindings, records and bindingCount; xCheckSyntax
// fills the rest. Contexts are independent of each other.
typedef struct QueryCtx {
  QueryValue result;  // last result; after an error u.boolean.errorPos is set
  QueryToken tokens[XJOR_QUERY_MAX_TOKENS + 1];
  int32_t current;                // token being evaluated; -1 = nothing to evaluate
  const char* text;               // NUL-terminated expression, null = none
  TableBinding* const* bindings;  // tables whose fields may be named
  const void* const* records;     // one record buffer per binding
  int32_t bindingCount;
} QueryCtx;

// Tokenizes q->text, checks it and evaluates it once against the current
// records. expected: 0 a condition (boolean), 11 a string, 12 a date, -1 any
// non-boolean, anything else a number. Returns 1 when valid. On failure
// returns 0 with the error word set, q->current = -1, and q->result a boolean
// (true for expected 0, so an invalid condition selects everything) whose
// u.boolean.errorPos holds the offset of the error. No text, or an empty
// condition, is valid and always true.
int32_t xCheckSyntax(int32_t expected, QueryCtx* q);

// Evaluates the checked expression against the current record buffers and
// stores the result in q->result. Does nothing when q->current is -1. An error
// during evaluation sets the error word and leaves a partial result.
void xExeQuery(QueryCtx* q);

// Opens rs as a record set (an unkeyed memory table of u32 slot numbers,
// growth 100) and fills it as xReRset does. Returns 1 / 0.
int32_t xOpenRset(TableBinding* b, struct MemTable* rs, const char* expr, const uint16_t* sort);

// Refills the record set with the slot numbers of the live records of b that
// satisfy expr (null: leaves it empty; an invalid condition selects every
// record). sort, when given, is a count n followed by n field indexes (index +
// 10000 sorts descending; the list ends early at the first index that is not
// a sortable field); members are then ordered by those fields, else kept in
// slot order. Afterwards the set has no current member and the table no
// current slot. Returns 0 when memory ran out (the set holds what was
// collected), else 1.
int32_t xReRset(TableBinding* b, struct MemTable* rs, const char* expr, const uint16_t* sort);

// Makes the member whose record number is record current. Returns 1 when
// found, else 0 (the current member is unchanged).
int32_t xSeekRset(struct MemTable* rs, uint32_t record);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_QUERY_H_
