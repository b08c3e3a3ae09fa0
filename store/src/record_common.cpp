// Codes, record buffers and index entries of the record operations.
#include "record_common.h"

namespace xqd {

void NormalizeCode(char* field, int width) {
  int n = 0;
  while (n < width - 1 && field[n] != '\0') {
    const bool lead = static_cast<unsigned char>(field[n]) >= 0x81 &&
                      static_cast<unsigned char>(field[n]) <= 0xFE;
    if (lead) {
      if (n + 1 >= width - 1 || field[n + 1] == '\0') break;
      n += 2;
    } else {
      ++n;
    }
  }
  memset(field + n, 0, width - n);
}

bool ReadRecord(TableBinding* t, int32_t slot, RecordBuffer* buf) {
  buf->bytes.assign(t->tb.recordSize, 0);
  if (slot < 0) return false;
  t->tb.current = slot;
  return xGetRec(&t->tb, buf->bytes.data()) == 1;
}

bool ReadCurrent(TableBinding* t, RecordBuffer* buf) {
  return ReadRecord(t, t->tb.current, buf);
}

bool WriteRecord(TableBinding* t, int32_t slot, const RecordBuffer& buf) {
  t->tb.current = slot;
  return xPutRec(&t->tb, buf.bytes.data()) == 1;
}

RecordBuffer CopyOf(const TableBinding* t, const void* record) {
  RecordBuffer buf;
  const uint8_t* p = static_cast<const uint8_t*>(record);
  buf.bytes.assign(p, p + t->tb.recordSize);
  return buf;
}

int32_t AddRecord(TableBinding* t, const RecordBuffer& rec) {
  return xAddRec(&t->tb, rec.bytes.data()) == 1 ? t->tb.current : -1;
}

void CopyBack(void* record, const RecordBuffer& rec) {
  memcpy(record, rec.bytes.data(), rec.bytes.size());
}

int32_t EngineFailure() {
  const int32_t code = xGetDbError();
  return code != 0 ? code : 21000;
}

CodeEntry MakeCodeEntry(const char* code, int32_t record) {
  CodeEntry e;
  PutCode(e.code, code, kShortCode);
  e.record = record;
  return e;
}

CodePairEntry MakePairEntry(const char* first, const char* second, int32_t record) {
  CodePairEntry e;
  PutCode(e.first, first, kShortCode);
  PutCode(e.second, second, kShortCode);
  e.record = record;
  return e;
}

OprEntry MakeOp1Entry(const OprRecord& r, int32_t record) {
  OprEntry e;
  PutCode(e.first, r.actCode, kActivityCode);
  PutCode(e.second, r.resCode, kShortCode);
  e.record = record;
  return e;
}

OprByResEntry MakeOp2Entry(const OprRecord& r, int32_t record) {
  OprByResEntry e;
  PutCode(e.first, r.resCode, kShortCode);
  PutCode(e.second, r.actCode, kActivityCode);
  e.record = record;
  return e;
}

ActCodeEntry MakeActCodeEntry(const ActRecord& r, int32_t record) {
  ActCodeEntry e;
  PutCode(e.code, r.code, kActivityCode);
  e.path = r.path;
  e.record = record;
  e.start = r.start;
  e.anchor = r.anchor;
  return e;
}

ActOrderEntry MakeActOrderEntry(const ActRecord& r, int32_t record) {
  ActOrderEntry e;
  e.path = r.path;
  e.record = record;
  e.start = r.start;
  e.anchor = r.anchor;
  return e;
}

RelCodeEntry MakeRelEntry(const char* first, const char* second, int32_t record) {
  RelCodeEntry e;
  PutCode(e.first, first, kActivityCode);
  PutCode(e.second, second, kActivityCode);
  e.record = record;
  return e;
}

RelAnchorEntry MakeAnchorEntry(ProjectDb* db, const RelRecord& r, int32_t record) {
  ActCodeEntry pred = {}, succ = {};
  FindActivity(db, r.pred, &pred);
  FindActivity(db, r.succ, &succ);
  return MakeAnchorEntry(r, record, pred, succ);
}

RelAnchorEntry MakeAnchorEntry(const RelRecord& r, int32_t record, const ActCodeEntry& pred,
                               const ActCodeEntry& succ) {
  RelAnchorEntry e;
  e.row = r.row;
  e.record = record;
  // Start-to-start and start-to-finish leave the predecessor at its start,
  // the others at its successor anchor day; the successor is reached at its
  // start by finish-to-start and start-to-start, else at its anchor day.
  e.predAnchor = (r.kind == 2 || r.kind == 3) ? pred.start : pred.anchor;
  e.succAnchor = (r.kind == 0 || r.kind == 2) ? succ.start : succ.anchor;
  e.predPath = pred.path;
  e.succPath = succ.path;
  return e;
}

int32_t FindCode(ProjectDb* db, IndexId id, const char* code) {
  CodeEntry key = MakeCodeEntry(code, 0);
  CodeEntry found;
  return FindEntry(db, id, &key, &found) ? found.record : -1;
}

int32_t FindActivity(ProjectDb* db, const char* code, ActCodeEntry* entry) {
  ActCodeEntry key = {};
  PutCode(key.code, code, kActivityCode);
  ActCodeEntry found;
  if (!FindEntry(db, kActCodes, &key, &found)) return -1;
  if (entry != nullptr) *entry = found;
  return found.record;
}

bool IsFinalCode(ProjectDb* db, int16_t classification, const char* code, int16_t levels) {
  if (code[0] == '\0') return false;
  TableBinding* t = classification == 0 ? &db->wbs : &db->obs;
  const int32_t slot = FindCode(db, classification == 0 ? kWbsCodes : kObsCodes, code);
  CurrentGuard keep(t);
  RecordBuffer rec;
  return slot >= 0 && ReadRecord(t, slot, &rec) && rec.as<WbsRecord>()->level == levels - 1;
}

std::vector<Entry> EntriesOf(ProjectDb* db, IndexId id, const char* code, int width) {
  std::vector<uint8_t> from(EntrySize(id), 0);
  PutCode(reinterpret_cast<char*>(from.data()), code, width);
  return WalkEntries(db, id, from.data(), [&](const uint8_t* e) {
    return strncmp(reinterpret_cast<const char*>(e), code, width) == 0;
  });
}

}  // namespace xqd
