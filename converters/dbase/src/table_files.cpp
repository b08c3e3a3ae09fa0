// Project tables to dBASE files and back through the store's record inputs.
#include "table_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "kvimport.h"

namespace kvdbase {

namespace {

const char* const kClassNames[] = {"CODE", "TITLE", "SIZE", "UNIT", "CQ",
                                   "CU",   "EU",    "AU",   "DQ",   "DU"};
const char* const kCrwNames[] = {"W_CODE", "R_CODE", "UQ", "AQ", "AUQ", "CQ"};
const char* const kActNames[] = {
    "CODE",   "TITLE", "DU",      "RDU",      "START",   "FINISH", "ES",         "EF",
    "LS",     "LF",    "TF",      "FF",       "AS",      "AF",     "CONST_DATE", "CONST_TYPE",
    "CAL_NO", "O_DU",  "O_START", "O_FINISH", "O_ES",    "O_EF",   "O_LS",       "O_LF",
    "PATH",   "TYPE",  "W_CODE",  "O_CODE",   "MANAGER", "SUBCON", "U_CODE",     "QTY",
    "CU",     "EU",    "AU",      "WGT",      "REMARK",  "VALUE1", "VALUE2",     "VALUE3"};
const char* const kRelNames[] = {"P_CODE", "S_CODE", "TYPE", "LAG", "PATH"};
const char* const kOprNames[] = {"A_CODE", "R_CODE", "QTY", "AQ"};

template <size_t N>
std::vector<std::string> list(const char* const (&names)[N]) {
  return std::vector<std::string>(names, names + N);
}

std::vector<std::string> namesOf(Table t) {
  switch (t) {
    case Table::Wbs:
    case Table::Obs:
    case Table::Res:
      return list(kClassNames);
    case Table::Crw:
      return list(kCrwNames);
    case Table::Act:
      return list(kActNames);
    case Table::Rel:
      return list(kRelNames);
    case Table::Opr:
      return list(kOprNames);
  }
  return {};
}

// The activity's quantity field, whose width the time-shared values take.
constexpr int kActQuantityField = 31;

kvdbf::Column columnFor(const FieldDesc& f, std::string name) {
  kvdbf::Column c;
  c.name = std::move(name);
  const int width = f.width < 1 ? 1 : f.width;
  switch (f.type) {
    case XF_STRING:
      c.type = 'C';
      c.length = static_cast<uint16_t>(width);
      break;
    case XF_DATE:
      c.type = 'D';
      c.length = 8;
      break;
    case XF_REF:
      c.type = 'N';
      c.length = 2;
      break;
    case XF_FLOAT:
    case XF_DOUBLE: {
      c.type = 'N';
      const int decimals = f.decimals > 0 ? f.decimals : 0;
      const int length = decimals ? width + decimals + 1 : width;
      c.length = static_cast<uint16_t>(length > 255 ? 255 : length);
      c.decimals = static_cast<uint8_t>(decimals < c.length ? decimals : 0);
      break;
    }
    default:
      c.type = 'N';
      c.length = static_cast<uint16_t>(width > 255 ? 255 : width);
  }
  return c;
}

template <typename T>
T at(const std::vector<char>& rec, int offset) {
  T v;
  memcpy(&v, rec.data() + offset, sizeof v);
  return v;
}

template <typename T>
void put(std::vector<char>& rec, int offset, T v) {
  memcpy(rec.data() + offset, &v, sizeof v);
}

// Writes field f of rec into column col of the record being built.
void writeField(kvdbf::Writer& w, size_t col, const FieldDesc& f, const std::vector<char>& rec) {
  const int o = f.offset;
  switch (f.type) {
    case XF_INT8:
      w.setInt(col, at<int8_t>(rec, o));
      break;
    case XF_UINT8:
      w.setInt(col, at<uint8_t>(rec, o));
      break;
    case XF_INT16:
      w.setInt(col, at<int16_t>(rec, o));
      break;
    case XF_UINT16:
    case XF_REF:
      w.setInt(col, at<uint16_t>(rec, o));
      break;
    case XF_INT32:
      w.setInt(col, at<int32_t>(rec, o));
      break;
    case XF_UINT32:
      w.setInt(col, at<uint32_t>(rec, o));
      break;
    case XF_FLOAT:
      w.setNumber(col, at<float>(rec, o));
      break;
    case XF_DOUBLE:
      w.setNumber(col, at<double>(rec, o));
      break;
    case XF_DATE:
      w.setDate(col, at<uint16_t>(rec, o));
      break;
    case XF_STRING: {
      const char* p = rec.data() + o;
      w.setText(col, std::string_view(p, strnlen(p, f.width > 0 ? f.width : 0)));
      break;
    }
    default:
      break;  // single characters and raw bytes have no dBASE form
  }
}

// Reads column col of the current record into field f of rec.
void readField(const kvdbf::Reader& r, size_t col, const FieldDesc& f, std::vector<char>& rec) {
  const int o = f.offset;
  switch (f.type) {
    case XF_INT8:
      put<int8_t>(rec, o, static_cast<int8_t>(r.integer(col)));
      break;
    case XF_UINT8:
      put<uint8_t>(rec, o, static_cast<uint8_t>(r.integer(col)));
      break;
    case XF_INT16:
      put<int16_t>(rec, o, static_cast<int16_t>(r.integer(col)));
      break;
    case XF_UINT16:
    case XF_REF:
      put<uint16_t>(rec, o, static_cast<uint16_t>(r.integer(col)));
      break;
    case XF_INT32:
      put<int32_t>(rec, o, static_cast<int32_t>(r.integer(col)));
      break;
    case XF_UINT32:
      put<uint32_t>(rec, o, static_cast<uint32_t>(r.integer(col)));
      break;
    case XF_FLOAT:
      put<float>(rec, o, static_cast<float>(r.number(col)));
      break;
    case XF_DOUBLE:
      put<double>(rec, o, r.number(col));
      break;
    case XF_DATE:
      put<uint16_t>(rec, o, r.date(col));
      break;
    case XF_STRING: {
      const std::string text = r.text(col);
      const size_t n = kvdbf::cutCp949(text, f.width > 0 ? static_cast<size_t>(f.width) : 0);
      memcpy(rec.data() + o, text.data(), n);
      break;
    }
    default:
      break;
  }
}

int32_t input(ImportContext& ctx, Table t, void* rec) {
  return kvconv::inputRecord(ctx.db, *ctx.scheme, t, rec, ctx.projectStart, 0);
}

using kvconv::KeepCurrent;

}  // namespace

std::vector<kvdbf::Column> columnsOf(const TableHandle& tb, Table t) {
  const std::vector<std::string> names = namesOf(t);
  std::vector<kvdbf::Column> cols;
  for (int i = 0, user = 0; i < tb.fieldCount; ++i) {
    std::string name =
        static_cast<size_t>(i) < names.size() ? names[i] : "USER" + std::to_string(++user);
    cols.push_back(columnFor(tb.fields[i], std::move(name)));
  }
  return cols;
}

bool exportTable(ProjectDb* db, Table t, const std::string& path, uint16_t today) {
  TableHandle& tb = bindingOf(db, t).tb;
  KeepCurrent keep(tb);
  kvdbf::Writer w;
  if (!w.create(path, columnsOf(tb, t), today)) return false;
  std::vector<char> rec(tb.recordSize);
  auto writeCurrent = [&] {
    if (!xGetRec(&tb, rec.data())) return true;
    for (int i = 0; i < tb.fieldCount; ++i) writeField(w, i, tb.fields[i], rec);
    return w.append();
  };
  if (t == Table::Wbs || t == Table::Obs) {
    // Code order, so that every parent comes before its children.
    MemTable& codes = t == Table::Wbs ? db->wbsCodes : db->obsCodes;
    for (uint32_t i = 0; i < codes.count; ++i) {
      CodeEntry e;
      memcpy(&e, codes.data + static_cast<size_t>(i) * codes.recordSize, sizeof e);
      tb.current = e.record;
      if (!writeCurrent()) return false;
    }
  } else {
    tb.current = -1;
    while (xMoveNext(&tb))
      if (!writeCurrent()) return false;
  }
  return w.close();
}

bool exportTimeShared(ProjectDb* db, const std::string& path, uint16_t today) {
  TableHandle& act = db->act.tb;
  KeepCurrent keep(act);
  const uint32_t spaCurrent = db->spa.current;
  kvdbf::Column quantity{"AQ", 'N', 12, 3};
  if (act.fieldCount > kActQuantityField) {
    quantity = columnFor(act.fields[kActQuantityField], "AQ");
    quantity.type = 'N';
  }
  kvdbf::Writer w;
  if (!w.create(path, {{"A_CODE", 'C', 20}, {"NOW", 'D', 8}, quantity}, today)) return false;
  std::vector<char> rec(act.recordSize);
  bool ok = true;
  for (uint32_t i = 0; ok && i < db->spa.count; ++i) {
    SpaEntry e;
    db->spa.current = i;
    if (!xiGet(&db->spa, &e)) continue;
    act.current = e.activity;
    if (!xGetRec(&act, rec.data())) continue;
    const char* code = rec.data() + offsetof(ActRecord, code);
    w.setText(0, std::string_view(code, strnlen(code, 20)));
    w.setDate(1, e.day);
    w.setNumber(2, e.value);
    ok = w.append();
  }
  db->spa.current = spaCurrent;
  return ok && w.close();
}

bool importTable(ImportContext& ctx, Table t, const std::string& path, std::string& why) {
  kvdbf::Reader r;
  TableHandle& tb = bindingOf(ctx.db, t).tb;
  if (!r.open(path)) {
    why = r.error();
    return false;
  }
  if (r.columnCount() < static_cast<size_t>(tb.fieldCount)) {
    why = std::to_string(r.columnCount()) + " columns, fewer than the table's " +
          std::to_string(tb.fieldCount) + " fields";
    return false;
  }
  std::vector<kvconv::ColumnShape> shapes;
  for (const kvdbf::Column& c : r.columns())
    shapes.push_back({c.name, c.type, c.length, c.decimals});
  std::vector<size_t> columnOf;
  if (!kvconv::adaptFields(tb, shapes, columnOf)) {
    why =
        "the table's fields cannot take the columns (error " + std::to_string(xGetDbError()) + ")";
    return false;
  }
  const int fields = tb.fieldCount < static_cast<int>(columnOf.size())
                         ? tb.fieldCount
                         : static_cast<int>(columnOf.size());
  std::vector<char> rec(tb.recordSize);
  for (uint32_t i = 0; r.seek(i); ++i) {
    if (!r.live()) continue;
    std::fill(rec.begin(), rec.end(), 0);
    for (int f = 0; f < fields; ++f) readField(r, columnOf[f], tb.fields[f], rec);
    tb.current = -1;
    if (!xAddRec(&tb, rec.data())) {
      why = "cannot be entered (error " + std::to_string(xGetDbError()) + ")";
      return false;
    }
  }
  // Enter every record again through the store so that codes, indexes and
  // integrity rules apply. A record the store refuses stays out.
  // The inputs run as one batch, so that a large table costs O(n log n)
  // index work instead of one index shift per record.
  int refused = 0;
  bool ok = true;
  const uint32_t slots = tb.slotCount;
  xBeginInputBatch(ctx.db);
  for (uint32_t s = 0; ok && s < slots; ++s) {
    tb.current = static_cast<int32_t>(s);
    if (!xGetRec(&tb, rec.data())) continue;
    ok = xDelRec(&tb) != 0;
    tb.current = -1;
    if (ok && input(ctx, t, rec.data()) != 0) ++refused;
  }
  ok = xEndInputBatch(ctx.db) && ok;
  tb.current = -1;
  if (!ok) {
    why = "cannot be entered (error " + std::to_string(xGetDbError()) + ")";
    return false;
  }
  if (refused) {
    fprintf(stderr, "xKvDbf: %s: %d record(s) refused\n", path.c_str(), refused);
    ctx.refused += refused;
  }
  return true;
}

bool importTimeShared(ImportContext& ctx, const std::string& path, std::string& why) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;  // no time-shared entries
  kvdbf::Reader r;
  if (!r.open(path)) {
    why = r.error();
    return false;
  }
  if (r.columnCount() != 3) {
    why = std::to_string(r.columnCount()) + " columns, not 3";
    return false;
  }
  int refused = 0;
  for (uint32_t i = 0; r.seek(i); ++i) {
    if (!r.live()) continue;
    ActCodeEntry key{};
    const std::string code = r.text(0);
    memcpy(key.code, code.data(), kvdbf::cutCp949(code, 20));
    if (!xmSeek(&ctx.db->actCodes, &key)) {
      ++refused;
      continue;
    }
    ActCodeEntry found;
    memcpy(&found,
           ctx.db->actCodes.data +
               static_cast<size_t>(ctx.db->actCodes.current) * ctx.db->actCodes.recordSize,
           sizeof found);
    SpaEntry e{found.record, r.date(1), r.number(2)};
    ctx.db->spa.current = XJOR_NONE;
    if (xInputRecSpa(ctx.db, &e) != 0) ++refused;
  }
  if (refused) {
    fprintf(stderr, "xKvDbf: %s: %d entr(ies) refused\n", path.c_str(), refused);
    ctx.refused += refused;
  }
  return true;
}

}  // namespace kvdbase
