// Splitting an expression into tokens.
#include <charconv>
#include <cmath>
#include <cstring>

#include "query_internal.h"
#include "xjor/calendar.h"

namespace xjor::query {
namespace {

constexpr char kOperatorChars[] = "()+-*/%<>=!&|:";
constexpr size_t kMaxFieldName = 31;
constexpr size_t kMaxDateText = 63;

bool IsOperatorChar(char c) {
  return c != '\0' && std::strchr(kOperatorChars, c) != nullptr;
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

class Lexer {
 public:
  explicit Lexer(QueryCtx* q) : q_(q), text_(q->text) {}

  Failure Run() {
    int count = 0;
    for (;;) {
      while (IsBlank(text_[pos_])) ++pos_;
      if (text_[pos_] == '\0') break;
      if (count == XJOR_QUERY_MAX_TOKENS) return {kErrTooManyTokens, 0};
      QueryToken& t = q_->tokens[count];
      t = QueryToken{};
      t.pos = pos_;
      Failure f = Scan(&t);
      if (f.code != 0) return f;
      ++count;
    }
    QueryToken& end = q_->tokens[count];
    end = QueryToken{};
    end.kind = XJOR_TK_OPERATOR;
    end.pos = pos_;
    end.u.op = XJOR_OP_END;
    return {};
  }

 private:
  // Scans one token starting at a non-blank character.
  Failure Scan(QueryToken* t) {
    const char c = text_[pos_];
    if (IsOperatorChar(c)) return ScanOperator(t);
    if (c == '"' || c == '\'') return ScanString(t);
    if (c == '@') return ScanDate(t);
    if (IsDigit(c) || c == '.') return ScanNumber(t);
    if (c == '[') return ScanField(t);
    return {kErrMalformed, pos_};
  }

  Failure ScanOperator(QueryToken* t) {
    t->kind = XJOR_TK_OPERATOR;
    char c = text_[pos_++];
    const char next = text_[pos_];
    if (c == '<' && next == '=') {
      c = XJOR_OP_LESS_EQUAL, ++pos_;
    } else if (c == '>' && next == '=') {
      c = XJOR_OP_GREATER_EQUAL, ++pos_;
    } else if (c == '!' && next == '=') {
      c = XJOR_OP_NOT_EQUAL, ++pos_;
    } else if (c == '!' && next == ':') {
      c = XJOR_OP_NOT_CONTAINS, ++pos_;
    }
    t->u.op = c;
    return {};
  }

  Failure ScanString(QueryToken* t) {
    const char quote = text_[pos_];
    const uint32_t start = pos_ + 1;
    const char* close = std::strchr(text_ + start, quote);
    if (close == nullptr) return {kErrQuote, start};
    t->kind = XJOR_TK_CONSTANT;
    t->type = XJOR_QV_STRING;
    t->u.value.string.text = text_ + start;
    t->u.value.string.length = static_cast<int32_t>(close - (text_ + start));
    pos_ = static_cast<uint32_t>(close - text_) + 1;
    return {};
  }

  Failure ScanDate(QueryToken* t) {
    const uint32_t start = pos_ + 1;
    const char* close = std::strchr(text_ + start, '@');
    if (close == nullptr) return {kErrDateMark, start};
    const size_t len = static_cast<size_t>(close - (text_ + start));
    uint16_t date = 0;
    if (len > 0) {
      char buf[kMaxDateText + 1];
      if (len <= kMaxDateText) {
        std::memcpy(buf, text_ + start, len);
        buf[len] = '\0';
        date = xStrToTime(buf);
      }
      if (date == 0) return {kErrDate, start};
    }
    t->kind = XJOR_TK_CONSTANT;
    t->type = XJOR_QV_DATE;
    t->u.value.date = date;
    pos_ = static_cast<uint32_t>(close - text_) + 1;
    return {};
  }

  // Digits with an optional point; whatever follows up to the next operator
  // character is ignored, so "1 2" reads as 1.
  Failure ScanNumber(QueryToken* t) {
    const char* begin = text_ + pos_;
    const char* p = begin;
    while (IsDigit(*p)) ++p;
    if (*p == '.') {
      ++p;
      while (IsDigit(*p)) ++p;
    }
    double value = 0;
    const auto parsed = std::from_chars(begin, p, value, std::chars_format::fixed);
    if (parsed.ec != std::errc() || !std::isfinite(value)) value = 0;
    while (*p != '\0' && !IsOperatorChar(*p)) ++p;
    t->kind = XJOR_TK_CONSTANT;
    t->type = XJOR_QV_NUMBER;
    t->u.value.number = value;
    pos_ = static_cast<uint32_t>(p - text_);
    return {};
  }

  Failure ScanField(QueryToken* t) {
    const uint32_t start = pos_ + 1;
    size_t len = 0;
    while (len <= kMaxFieldName && text_[start + len] != ']' && text_[start + len] != '\0') ++len;
    if (len > kMaxFieldName || text_[start + len] != ']') return {kErrBracket, start};
    if (!FindField(q_, text_ + start, len, t)) return {kErrUnknownField, start};
    pos_ = start + static_cast<uint32_t>(len) + 1;
    return {};
  }

  QueryCtx* q_;
  const char* text_;
  uint32_t pos_ = 0;
};

}  // namespace

Failure Tokenize(QueryCtx* q) {
  return Lexer(q).Run();
}

}  // namespace xjor::query
