// Field names in expressions: lookup in the bound tables and loading values
// from the current records.
#include <cmath>
#include <cstring>

#include "query_internal.h"
#include "xjor/field.h"

namespace xjor::query {
namespace {

// The descriptor a field token names, or null when the token no longer fits
// the bindings.
const FieldDesc* TokenField(const QueryCtx* q, const QueryToken& t) {
  if (q->bindings == nullptr || t.u.field.binding >= static_cast<uint32_t>(q->bindingCount)) {
    return nullptr;
  }
  const TableBinding* b = q->bindings[t.u.field.binding];
  if (b == nullptr || b->tb.fields == nullptr || b->tb.fieldCount <= 0 ||
      t.u.field.index >= static_cast<uint32_t>(b->tb.fieldCount)) {
    return nullptr;
  }
  return &b->tb.fields[t.u.field.index];
}

// A float reads as the number its "%f" text (six decimals, exact halves
// away from zero) gives back. Scaling a float by 10^6 is exact in a double,
// and so is the division's rounding, so no text is needed.
double FloatAsPrinted(float f) {
  if (!std::isfinite(f)) return 0;
  return std::round(static_cast<double>(f) * 1e6) / 1e6;
}

template <typename T>
T Read(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

double LoadNumber(int type, const unsigned char* p) {
  switch (type) {
    case XF_INT8:
      return Read<int8_t>(p);
    case XF_INT16:
      return Read<int16_t>(p);
    case XF_INT32:
    case XF_RAW4:
      return Read<int32_t>(p);
    case XF_UINT8:
      return Read<uint8_t>(p);
    case XF_UINT16:
    case XF_REF:
      return Read<uint16_t>(p);
    case XF_UINT32:
      return Read<uint32_t>(p);
    case XF_FLOAT:
      return FloatAsPrinted(Read<float>(p));
    default: {
      const double d = Read<double>(p);
      return std::isfinite(d) ? d : 0;
    }
  }
}

}  // namespace

int ValueTypeOfField(int typeCode) {
  switch (typeCode) {
    case XF_CHAR:
    case XF_STRING:
      return XJOR_QV_STRING;
    case XF_DATE:
      return XJOR_QV_DATE;
    default:
      return typeCode >= XF_INT8 && typeCode <= XF_RAW4 ? XJOR_QV_NUMBER : -1;
  }
}

bool FindField(const QueryCtx* q, const char* name, size_t len, QueryToken* token) {
  if (q->bindings == nullptr) return false;
  for (int32_t b = 0; b < q->bindingCount; ++b) {
    const TableBinding* binding = q->bindings[b];
    if (binding == nullptr || binding->tb.fields == nullptr) continue;
    const FieldDesc* fds = binding->tb.fields;
    for (int32_t i = 0; i < binding->tb.fieldCount; ++i) {
      if (strnlen(fds[i].name, sizeof fds[i].name) == len &&
          std::memcmp(fds[i].name, name, len) == 0) {
        token->kind = XJOR_TK_FIELD;
        token->type = static_cast<uint8_t>(fds[i].type);
        token->u.field.binding = static_cast<uint32_t>(b);
        token->u.field.index = static_cast<uint32_t>(i);
        return true;
      }
    }
  }
  return false;
}

bool LoadField(const QueryCtx* q, const QueryToken& t, QueryValue* out) {
  const FieldDesc* fd = TokenField(q, t);
  if (fd == nullptr) return false;
  const int kind = ValueTypeOfField(fd->type);
  if (kind < 0) return false;

  const TableBinding* b = q->bindings[t.u.field.binding];
  const unsigned char* rec = q->records == nullptr
                                 ? nullptr
                                 : static_cast<const unsigned char*>(q->records[t.u.field.binding]);
  const int32_t size = xSizeOfData(fd, static_cast<uint32_t>(-1));
  if (rec != nullptr && (size <= 0 || fd->offset < 0 || fd->offset + size > b->tb.recordSize)) {
    rec = nullptr;
  }
  const unsigned char* p = rec == nullptr ? nullptr : rec + fd->offset;

  *out = QueryValue{};
  out->type = static_cast<uint8_t>(kind);
  switch (kind) {
    case XJOR_QV_STRING: {
      static const char kEmpty[] = "";
      const char* s = p == nullptr ? kEmpty : reinterpret_cast<const char*>(p);
      out->u.string.text = s;
      if (p == nullptr) {
        out->u.string.length = 0;
      } else if (fd->type == XF_CHAR) {
        out->u.string.length = 1;
      } else {
        out->u.string.length = static_cast<int32_t>(strnlen(s, static_cast<size_t>(size - 1)));
      }
      break;
    }
    case XJOR_QV_DATE:
      out->u.date = p == nullptr ? 0 : Read<uint16_t>(p);
      break;
    default:
      out->u.number = p == nullptr ? 0 : LoadNumber(fd->type, p);
      break;
  }
  return true;
}

}  // namespace xjor::query
