// Checking an expression once and evaluating it per record.
#include "query_internal.h"

namespace xjor::query {
namespace {

bool MatchesExpected(int32_t expected, int type) {
  switch (expected) {
    case -1:
      return type != XJOR_QV_BOOLEAN;
    case XJOR_QV_BOOLEAN:
    case XJOR_QV_STRING:
    case XJOR_QV_DATE:
      return type == expected;
    default:
      return type == XJOR_QV_NUMBER;
  }
}

// The result left by an empty or failed check: a condition is true so that it
// selects everything; anything else is a zero boolean.
void SetFallbackResult(QueryCtx* q, int32_t expected, uint32_t errorPos) {
  q->result = QueryValue{};
  q->result.u.boolean.value = expected == XJOR_QV_BOOLEAN ? 1 : 0;
  q->result.u.boolean.errorPos = errorPos;
  q->current = -1;
}

bool HasNoTokens(const QueryCtx* q) {
  return q->tokens[0].kind == XJOR_TK_OPERATOR && q->tokens[0].u.op == XJOR_OP_END;
}

}  // namespace
}  // namespace xjor::query

using namespace xjor::query;

extern "C" int32_t xCheckSyntax(int32_t expected, QueryCtx* q) {
  if (q->text == nullptr) {
    SetFallbackResult(q, XJOR_QV_BOOLEAN, 0);
    return 1;
  }
  xSetDbError(0);
  Failure f = Tokenize(q);
  if (f.code == 0 && expected == XJOR_QV_BOOLEAN && HasNoTokens(q)) {
    SetFallbackResult(q, XJOR_QV_BOOLEAN, 0);
    return 1;
  }
  if (f.code == 0) f = Evaluate(q);
  if (f.code == 0 && !MatchesExpected(expected, q->result.type)) f = {kErrResultType, 0};
  if (f.code != 0) {
    xSetDbError(f.code);
    SetFallbackResult(q, expected, f.pos);
    return 0;
  }
  return 1;
}

extern "C" void xExeQuery(QueryCtx* q) {
  if (q->current == -1) return;
  const Failure f = Evaluate(q);
  if (f.code != 0) xSetDbError(f.code);
}
