// Evaluation of a token list by recursive descent. Binary operators are left
// associative; from lowest to highest precedence: & | ; comparisons and
// contains; + - ; * / % ; unary sign ; parentheses, constants and fields.
#include "query_internal.h"

namespace xjor::query {
namespace {

class Evaluator {
 public:
  explicit Evaluator(QueryCtx* q) : q_(q) {}

  Failure Run() {
    q_->current = 0;
    QueryValue v{};
    if (Expression(&v) && !AtEnd()) Fail(kErrMalformed, Peek().pos);
    q_->result = v;
    return failure_;
  }

 private:
  using Level = bool (Evaluator::*)(QueryValue*);

  static bool IsLogical(char op) { return op == '&' || op == '|'; }
  static bool IsRelational(char op) {
    switch (op) {
      case '=':
      case '<':
      case '>':
      case ':':
      case XJOR_OP_NOT_EQUAL:
      case XJOR_OP_LESS_EQUAL:
      case XJOR_OP_GREATER_EQUAL:
      case XJOR_OP_NOT_CONTAINS:
        return true;
      default:
        return false;
    }
  }
  static bool IsAdditive(char op) { return op == '+' || op == '-'; }
  static bool IsMultiplicative(char op) { return op == '*' || op == '/' || op == '%'; }

  bool Expression(QueryValue* v) { return Chain(v, &Evaluator::Comparison, IsLogical); }
  bool Comparison(QueryValue* v) { return Chain(v, &Evaluator::Sum, IsRelational); }
  bool Sum(QueryValue* v) { return Chain(v, &Evaluator::Term, IsAdditive); }
  bool Term(QueryValue* v) { return Chain(v, &Evaluator::Unary, IsMultiplicative); }

  // operand { op operand } for the operators that belong to one level.
  bool Chain(QueryValue* v, Level operand, bool (*isOp)(char)) {
    if (!(this->*operand)(v)) return false;
    while (IsOperator(Peek()) && isOp(Peek().u.op)) {
      const QueryToken& opToken = Next();
      QueryValue right{};
      if (!(this->*operand)(&right)) return false;
      const int32_t code = ApplyBinary(opToken.u.op, v, right);
      if (code != 0) return Fail(code, opToken.pos);
    }
    return true;
  }

  bool Unary(QueryValue* v) {
    const QueryToken& t = Peek();
    if (!IsOperator(t) || (t.u.op != '+' && t.u.op != '-')) return Primary(v);
    Next();
    if (!Primary(v)) return false;
    const int32_t code = ApplyUnary(t.u.op, v);
    return code == 0 || Fail(code, t.pos);
  }

  bool Primary(QueryValue* v) {
    const QueryToken& t = Next();
    switch (t.kind) {
      case XJOR_TK_CONSTANT:
        *v = QueryValue{};
        v->type = t.type;
        v->u = t.u.value;
        return true;
      case XJOR_TK_FIELD:
        return LoadField(q_, t, v) || Fail(kErrOperandTypes, t.pos);
      default:
        break;
    }
    if (t.u.op != '(') return Fail(kErrMalformed, t.pos);
    if (!Expression(v)) return false;
    const QueryToken& close = Peek();
    if (!IsOperator(close) || close.u.op != ')') return Fail(kErrParentheses, close.pos);
    Next();
    return true;
  }

  static bool IsOperator(const QueryToken& t) { return t.kind == XJOR_TK_OPERATOR; }
  bool AtEnd() const { return IsOperator(Peek()) && Peek().u.op == XJOR_OP_END; }

  // The current token; a token list that lost its end token reads as ended.
  const QueryToken& Peek() const {
    static const QueryToken kEnd{};
    const int32_t i = q_->current;
    return i >= 0 && i <= XJOR_QUERY_MAX_TOKENS ? q_->tokens[i] : kEnd;
  }
  // The current token; moves on unless it is the end.
  const QueryToken& Next() {
    const QueryToken& t = Peek();
    if (!AtEnd()) ++q_->current;
    return t;
  }

  bool Fail(int32_t code, uint32_t pos) {
    if (failure_.code == 0) failure_ = {code, pos};
    return false;
  }

  QueryCtx* q_;
  Failure failure_;
};

}  // namespace

Failure Evaluate(QueryCtx* q) {
  return Evaluator(q).Run();
}

}  // namespace xjor::query
