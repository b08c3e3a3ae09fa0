// The project store xQdDb100: one project as seven record tables, eight
// index tables, eight memory tables and an option file on top of the table
// engine, packed into one project file (.kvp) and unpacked again.
//
// While a project is open every table lives in its own working file of the
// engine's scratch family (DbSpace): the main file ~QzXXXX.TMP in the working
// folder and its members ~QzXXXX.<name>. Nothing is edited inside a project
// file; xSaveDB writes the whole working set into a new file.
//
// Lifecycle:
//   ProjectDb db;
//   xCreateDB(&db, info, folder, NULL);         // empty working set
//   xInitializeDB(&db, info);                   // new project: field layouts from Kelvo.ref
//     or xReadDB(&db, info, path);              // existing project
//   ... record input and deletion (xInputRec*, xDeleteRec*) ...
//   xSaveDB(&db, info, path, openSummary);      // any number of times
//   xCloseDB(&db);                              // closes and deletes the working files
//
// xCreateDB starts from a cleared structure (refHandle -1). Before
// xInitializeDB the caller stores the handle of the system reference file
// (xOpenRef) in db.space.refHandle; xCloseDB keeps it there.
//
// Every call returns 1 for success and 0 for failure unless said otherwise.
// Failures never throw; bad files leave the working set as it was.
#ifndef XQDDB100_H_
#define XQDDB100_H_

#include <stdint.h>

#include "xJorDbm2.h"

#ifdef __cplusplus
extern "C" {
#endif

// ---------------------------------------------------------------------------
// Sizes and numbers shared with the rest of the program.

enum {
  XQD_INFO_SIZE = 200,     // project information block
  XQD_OPTION_SLOTS = 500,  // items of the project option file
  XQD_SUMMARY_MAX = 48,    // summary numbers 1..48
  XQD_WORK_FILES = 10,     // working files "a20".."a29"
  XQD_FILE_KIND = 100,     // engine file kind of a project file
  XQD_OBJECT_PICTURE = 9,  // object-table entry that owns a picture file
};

// Record lengths of the seven tables.
enum {
  XQD_WBS_SIZE = 146,
  XQD_OBS_SIZE = 56,
  XQD_RES_SIZE = 106,
  XQD_CRW_SIZE = 52,
  XQD_ACT_SIZE = 298,
  XQD_REL_SIZE = 50,
  XQD_OPR_SIZE = 50,
};

// Reference lists of Kelvo.ref.
enum {
  XQD_REF_RELATION_KINDS = 0,  // "FS", "FF", "SS", "SF"
  XQD_REF_ACTIVITY_KINDS = 1,  // "보통", "이정표", "시분할"
  XQD_REF_CONSTRAINTS = 2,     // "제약 없음" .. "완료일 고정"
  XQD_REF_WBS = 10,            // field lists 10..16 in table order
  XQD_REF_ACT_SUMMARY = 17,    // activity summary row
  XQD_REF_RES_SUMMARY = 18,    // resource summary row
};

// Option slots used by the store. 51..98 hold the registrations of summary
// files 1..48 (slot 50 + number, 82 bytes each).
enum {
  XQD_OPT_DATE_INFO = 3,        // DateInfo, 12 bytes
  XQD_OPT_CALENDAR_COUNT = 30,  // 30 + i: u16 count of working calendar i + 1
  XQD_OPT_CALENDAR_DAYS = 40,   // 40 + i: its ascending working days
  XQD_OPT_SUMMARY = 50,         // 50 + n: registration of summary file n
};

// ---------------------------------------------------------------------------
// Records. Every record is a packed little-endian layout; the same bytes are
// written to the files. Codes are NUL-terminated in fixed fields; dates are
// the engine's packed dates (0 = none); durations and floats are signed
// counts of working days on the activity's calendar.

#pragma pack(push, 1)

// Project information block (200 bytes), kept at bytes 128..327 of the
// project file. The store only stores and returns it.
typedef struct PrjInfo {
  char code[11];           // 0   project code
  char title[61];          // 11  project name
  char manager[11];        // 72  project manager
  char password[9];        // 83  encoded password, empty = none
  char company[41];        // 92  company (client)
  char currency[7];        // 133 currency unit
  int16_t stage;           // 140 0 planning, n progress stage n
  uint16_t start;          // 142 project start
  uint16_t finish;         // 144 project finish
  uint16_t dataDate;       // 146 data date
  uint16_t periodStart;    // 148 current period
  uint16_t periodFinish;   // 150
  uint16_t calendarFrom;   // 152 calendar range: xSetPrjDateInfo bounds
  uint16_t calendarTo;     // 154
  char remark[41];         // 156 remarks
  uint8_t amountDecimals;  // 197
  int16_t amountDigits;    // 198 integer digits of amounts (12 when new)
} PrjInfo;

// Work-type ("wbs") and facility ("obs") classification code. Work types
// carry the quantities and prices from byte 104; facility records end at 56.
typedef struct WbsRecord {
  uint16_t word;          // 0   free for the program
  int16_t level;          // 2   0-based level of the code
  char code[11];          // 4
  char title[41];         // 15
  char size[41];          // 56  (work types only from here)
  char unit[7];           // 97
  double quantity;        // 104
  double contractPrice;   // 112
  double executionPrice;  // 120
  double inputPrice;      // 128
  double dailyQuantity;   // 136
  int16_t duration;       // 144 total duration of its activities
} WbsRecord;

// Resource ("res").
typedef struct ResRecord {
  uint16_t word;     // 0
  char code[11];     // 2
  char title[41];    // 13
  char size[41];     // 54
  char unit[7];      // 95
  uint8_t spare[4];  // 102
} ResRecord;

// Crew ("crw"): a resource that a final-level work type requires.
typedef struct CrewRecord {
  uint16_t word;         // 0
  char wbsCode[11];      // 2
  char resCode[11];      // 13
  double unitQuantity;   // 24
  double totalQuantity;  // 32
  double actualUnit;     // 40
  int32_t crewSize;      // 48
} CrewRecord;

// Activity ("act"); a table may grow user fields after byte 298.
typedef struct ActRecord {
  uint16_t flags;           // 0   0x8000 starts, 0x4000 ends the network; new: 0x3000
  int16_t duration;         // 2
  int16_t remaining;        // 4
  int16_t totalFloat;       // 6
  uint16_t start;           // 8
  uint16_t finish;          // 10
  uint16_t earlyStart;      // 12
  uint16_t earlyFinish;     // 14
  uint16_t lateStart;       // 16
  uint16_t lateFinish;      // 18
  uint16_t actualStart;     // 20
  uint16_t actualFinish;    // 22
  int16_t plannedDuration;  // 24
  uint16_t plannedStart;    // 26
  uint16_t plannedFinish;   // 28
  uint16_t plannedES;       // 30
  uint16_t plannedEF;       // 32
  uint16_t plannedLS;       // 34
  uint16_t plannedLF;       // 36
  float contractWeight;     // 38
  float executionWeight;    // 42
  double quantity;          // 46
  double value[3];          // 54  user items VALUE1..3
  double contractPrice;     // 78
  double executionPrice;    // 86
  double inputPrice;        // 94
  int16_t freeFloat;        // 102
  uint16_t constraintDate;  // 104
  int16_t constraintType;   // 106 1..6, 0 = none
  int16_t calendar;         // 108 0 calendar days, 1..8 working calendars
  int16_t path;             // 110 network path number
  int16_t type;             // 112 0 normal, 1 milestone, 2 time-shared
  uint16_t anchor;          // 114 successor anchor day
  int16_t mapColumn;        // 116 map place: column + 1
  int16_t mapRow;           // 118 row + 1
  char wbsCode[11];         // 120
  char obsCode[11];         // 131
  char subcontractor[11];   // 142
  char userCode[11];        // 153
  char managerCode[11];     // 164
  char remark[41];          // 175
  char code[21];            // 216
  char title[61];           // 237
} ActRecord;

// Precedence relation ("rel").
typedef struct RelRecord {
  uint16_t flags;  // 0  0x0008 shows kind and lag in the network chart
  char pred[21];   // 2
  char succ[21];   // 23
  int16_t kind;    // 44 0 FS, 1 FF, 2 SS, 3 SF
  int16_t lag;     // 46 working days
  int16_t row;     // 48 routing row in the network chart
} RelRecord;

// Crew detail ("opr"): a resource put on an activity.
typedef struct OprRecord {
  uint16_t word;          // 0
  char actCode[21];       // 2
  char resCode[11];       // 23
  double quantity;        // 34 planned input
  double actualQuantity;  // 42 input to date
} OprRecord;

// Index-table and memory-table entries. The key comes first; "record" is
// the record number (slot) of the table record the entry points to.
typedef struct CodeEntry {  // "ire", work-type and facility code indexes
  char code[11];
  int32_t record;
} CodeEntry;
typedef struct CodePairEntry {  // "cr1", "cr2", "wa1", "wa2"
  char first[11];
  char second[11];
  int32_t record;
} CodePairEntry;
typedef struct SpaEntry {  // "spa": one time-shared quantity
  int32_t activity;        // activity record number
  uint16_t day;
  double value;
} SpaEntry;
typedef struct OprEntry {  // "op1": activity, resource; "op2" stores resource first
  char first[21];
  char second[11];
  int32_t record;
} OprEntry;
typedef struct OprByResEntry {  // "op2"
  char first[11];
  char second[21];
  int32_t record;
} OprByResEntry;
typedef struct ActCodeEntry {  // activity code index
  char code[21];
  int16_t path;
  int32_t record;
  uint16_t start;
  uint16_t anchor;
} ActCodeEntry;
typedef struct ActOrderEntry {  // activity order index: bytes 21..30 of the above
  int16_t path;
  int32_t record;
  uint16_t start;
  uint16_t anchor;
} ActOrderEntry;
typedef struct RelCodeEntry {  // relation indexes by predecessor / successor
  char first[21];
  char second[21];
  int32_t record;
} RelCodeEntry;
typedef struct RelAnchorEntry {  // relation anchor index (network links)
  int16_t row;
  int32_t record;
  uint16_t predAnchor;
  uint16_t succAnchor;
  int16_t predPath;
  int16_t succPath;
} RelAnchorEntry;

#pragma pack(pop)

// ---------------------------------------------------------------------------
// The project database. One per open project, owned by the caller and
// passed to every call. The record operations below make a table's record
// current by setting <table>.tb.current before xGetRec / xPutRec / xDelRec.

// The open summary file: a record table whose file is named by its number in
// the working folder; its descriptors and header trail its records.
typedef struct SummaryFile {
  TableBinding table;  // table.tb.handle -1 = none open
  int16_t number;      // 0 = none
  char name[8];        // member name, the number in decimal
} SummaryFile;

typedef struct ProjectDb {
  DbSpace space;  // working files; refHandle = Kelvo.ref

  // Record tables, in the order they are created and saved.
  TableBinding wbs;  // work-type classification codes  (WbsRecord)
  TableBinding obs;  // facility classification codes   (WbsRecord, 56 bytes)
  TableBinding res;  // resources                       (ResRecord)
  TableBinding crw;  // crews                           (CrewRecord)
  TableBinding act;  // activities                      (ActRecord)
  TableBinding rel;  // relations                       (RelRecord)
  TableBinding opr;  // crew details                    (OprRecord)

  // Index tables (sorted files of the working set).
  IndexTable ire;  // resource code          -> res   (CodeEntry)
  IndexTable cr1;  // work type, resource    -> crw   (CodePairEntry)
  IndexTable cr2;  // resource, work type    -> crw   (CodePairEntry)
  IndexTable wa1;  // work type, facility    -> act   (CodePairEntry)
  IndexTable wa2;  // facility, work type    -> act   (CodePairEntry)
  IndexTable spa;  // activity record, day: time-shared quantities (SpaEntry)
  IndexTable op1;  // activity, resource     -> opr   (OprEntry)
  IndexTable op2;  // resource, activity     -> opr   (OprByResEntry)

  // Memory tables (sorted, grown by 100 records; saved in the project file).
  MemTable wbsCodes;   // work-type code        -> wbs   (CodeEntry)
  MemTable obsCodes;   // facility code         -> obs   (CodeEntry)
  MemTable actCodes;   // activity code         -> act   (ActCodeEntry)
  MemTable actOrder;   // path, record number   (ActOrderEntry; network nodes)
  MemTable relByPred;  // predecessor, successor -> rel  (RelCodeEntry)
  MemTable relBySucc;  // successor, predecessor -> rel  (RelCodeEntry)
  MemTable relAnchor;  // routing row, record number     (RelAnchorEntry; network links)

  OptionFileRef opt;  // project option file "opt", XQD_OPTION_SLOTS items
  SummaryFile summary;

  // Drawing-object table: 28-byte records keyed by their first two bytes.
  // An entry of kind XQD_OBJECT_PICTURE names, from byte 14, a picture file
  // of the working set (stem + name) that the project file carries.
  MemTable objects;
} ProjectDb;

// ---------------------------------------------------------------------------
// Creating and closing.

// Starts an empty project in folder: opens the engine context with the
// temporary-name prefix (null = the engine's default), creates the seven
// tables, the option file, the eight index tables and the eight memory
// tables. Returns 1, or 0 at the first step that fails. info is not used.
int32_t xCreateDB(ProjectDb* db, void* info, const char* folder, const char* prefix);

// Loads the field descriptors of the seven tables from reference lists
// 10..16 of the reference file db->space.refHandle. Returns 0 when a list is
// missing. info is not used.
int32_t xInitializeDB(ProjectDb* db, void* info);

// Closes every table, index, memory table, the summary file and the option
// file, and deletes all working files of the project (summary and picture
// files included). The database may then be created again.
void xCloseDB(ProjectDb* db);

// ---------------------------------------------------------------------------
// Project files and settings files.

// Reads the 200-byte information block of a project file into info after
// checking the engine file kind (100) and the project magic. Returns 0, with
// error word 21006, when the file is not a project file.
int32_t xGetPrjInfo(const char* path, void* info);

// Writes the whole project into path. openSummary names the summary file
// that is open (its handle is used as it is). The file is written beside
// the target under a temporary name and renamed over it only when complete:
// on any failure the call returns 0 and an existing file stays untouched.
// Record tables are saved with their deleted slots (indexes hold slot
// numbers).
int32_t xSaveDB(ProjectDb* db, const void* info, const char* path, int16_t openSummary);

// Reads a project file into the empty working set made by xCreateDB: the
// information block into info, the option file, tables, indexes, memory
// tables, summary files, picture files and the working files "a20".."a29".
// The whole file is checked first; a damaged file returns 0 and changes
// nothing. The project magic is not required (check it with xGetPrjInfo).
int32_t xReadDB(ProjectDb* db, void* info, const char* path);

// Receives how much of a project file has been read, as a fraction of the
// file: rising values below 1 while the tables are read, then exactly 1 once
// the whole file has been read successfully (never on failure).
typedef void (*xReadProgressFn)(void* context, double fraction);

// xReadDB that reports its progress to listener (called on the reading
// thread with context); a null listener reads silently, as xReadDB.
int32_t xReadDBProgress(ProjectDb* db, void* info, const char* path, xReadProgressFn listener,
                        void* context);

// Writes a settings file: the information block, option file, drawing
// objects with their picture files and the "a" files, without tables.
// Saved like xSaveDB (temporary file, then rename).
int32_t xSaveMiscFormat(ProjectDb* db, const void* info, const char* path);

// Reads a settings file written by xSaveMiscFormat into the project; the
// tables stay untouched. Returns 0 when the file cannot be opened, its magic
// is wrong or it is damaged.
int32_t xReadMiscFormat(ProjectDb* db, void* info, const char* path);

// ---------------------------------------------------------------------------
// Summary files.

// Closes the open summary file (without deleting it), creates summary file
// `number` as an empty table with the given record length and a copy of
// the fieldCount descriptors, and stores number in *current.
int32_t xCreateSumFile(ProjectDb* db, int16_t* current, int16_t number, uint16_t recordLength,
                       int16_t fieldCount, const FieldDesc* fields);

// Opens existing summary file `number`: its table header is the last 16
// bytes of the file, its descriptors the fieldCount x 42 bytes before them.
// Returns 0 (leaving the open one open) when the file does not exist or is
// damaged; otherwise the previous one is closed and *current = number.
int32_t xOpenSumFile(ProjectDb* db, int16_t* current, int16_t number);

// Writes the trailer of the open summary file after its slots: the field
// descriptors and the 16-byte table header. Called once its rows are
// written. Returns 1 / 0.
int32_t xFinishSumFile(ProjectDb* db);

// Closes the open summary file without deleting it; *current becomes 0.
void xCloseSumFile(ProjectDb* db, int16_t* current);

// ---------------------------------------------------------------------------
// Calendars and date settings.

// Installs the date settings (option slot 3) and every stored working
// calendar (slots 30+i, 40+i) in the engine. A calendar whose first day lies
// after `from` gets the calendar day before `from` in front; one whose last
// day lies before `to` gets the day after `to` appended; a bound of 0 adds
// nothing. Returns 1.
int32_t xSetPrjDateInfo(ProjectDb* db, uint16_t from, uint16_t to);

// Stores the engine's date settings and its eight calendars in the option
// file (the reverse of xSetPrjDateInfo). Returns 1.
int32_t xSavePrjDateInfo(ProjectDb* db);

// ===========================================================================
// Record input and deletion under the project's integrity rules
// (record_*.cpp).
//
// The record being edited is its table's current record: before an input
// call for an existing record the caller sets <table>.tb.current to its slot;
// with no current record (-1 or a deleted slot) the call adds a record, which
// then stays current. Every input call returns 0 on success or a message
// number, and a refused call changes nothing. Delete calls delete the
// current record with everything that depends on it and do nothing when
// there is none. Records are passed whole (the table's record length); a
// successful input writes the record as stored back into the caller's copy.
//
// Codes are read from their fixed fields up to the first NUL and at most
// width - 1 bytes (a code that fills its field is cut there, before a
// double-byte character if need be); stored records and index entries carry
// them NUL-padded.

// A classification's levels, as the main program keeps them: count (at most
// 8), the start of each level (sum of the lengths above) and its length. A
// code of level i has start[i] + length[i] characters.
typedef struct ClassLevels {
  int16_t count;
  int16_t start[8];
  int16_t length[8];
} ClassLevels;

// Option item holding the two classification definitions: the work-type
// one, then the facility one.
enum { XQD_CLASSES_OPTION = 1 };

// One classification's definition as the option item keeps it (202 bytes):
// its levels laid out as ClassLevels, then the level names (CP949,
// NUL-terminated).
#pragma pack(push, 1)
typedef struct ClassDefinition {
  int16_t levels;    // 0..8
  int16_t start[8];  // sum of the lengths of the levels above
  int16_t length[8];
  char name[8][21];
} ClassDefinition;
#pragma pack(pop)

// Reads both definitions of the project into defs (zeroed first). Returns 1
// when the option item was read, else 0 (defs stay zero).
int32_t xReadClassDefinitions(ProjectDb* db, ClassDefinition defs[2]);
// The levels part of a definition.
ClassLevels xClassLevelsOf(const ClassDefinition* def);

// Message numbers of the record operations.
enum {
  XQD_MSG_LEVEL_LENGTH = 20000,     // code length does not match a level
  XQD_MSG_NO_CODE = 20003,          // code empty
  XQD_MSG_SAME_ACTIVITY = 20004,    // predecessor equals successor
  XQD_MSG_NO_PREDECESSOR = 20005,   // predecessor not registered
  XQD_MSG_NO_SUCCESSOR = 20006,     // successor not registered
  XQD_MSG_NO_PARENT = 20009,        // parent code not registered
  XQD_MSG_NOT_TIME_SHARED = 20010,  // activity missing or not time-shared
  XQD_MSG_NO_ACTIVITY = 20031,      // activity code not registered
  XQD_MSG_NO_WORK_TYPE = 20032,     // work type missing or not final-level
  XQD_MSG_NO_RESOURCE = 20033,      // resource code not registered
  XQD_MSG_NO_FACILITY = 20034,      // facility missing or not final-level
  XQD_MSG_BAD_DATE = 21015,         // not a valid date
  XQD_MSG_DUPLICATE = 21025,        // code or pair already registered
};

// Classification code (classification 0 work types in wbs, 1 facilities in
// obs). Checks: empty code 20003; length of no level 20000; parent of a
// level > 0 missing 20009; new or changed code registered 21025. A changed
// code renames its whole subtree (same length only when it has codes below
// it, else 20000) with the crews and activities that use those codes.
int32_t xInputRecWbs(ProjectDb* db, void* record, int16_t classification,
                     const ClassLevels* levels);
// Resource. Checks: empty code 20003; new or changed code registered 21025.
// A changed code is carried into its crews and crew details.
int32_t xInputRecRes(ProjectDb* db, void* record);
// Crew. Checks: work type not a registered code of level wbsLevels - 1
// 20032; resource not registered 20033; new or changed pair registered 21025.
int32_t xInputRecCrew(ProjectDb* db, void* record, int16_t wbsLevels);
// Activity. Checks: empty code 20003; when either classification code is
// filled in, work type not final-level 20032, facility not final-level
// 20034; new or changed code registered 21025; (work type, facility) used by
// another activity 21025. A changed code is carried into its relations and
// crew details. dateMode < 0 leaves the dates alone; otherwise the dates are
// derived on the activity's calendar from what the caller changed, and with
// dateMode > 0 a changed start or finish becomes a constraint. Leaves plain
// calendar days (calendar 0) selected in the engine when dates were derived.
int32_t xInputRecAct(ProjectDb* db, void* record, uint16_t projectStart, int16_t wbsLevels,
                     int16_t obsLevels, int16_t dateMode);
// The day a successor of the activity may follow (its anchor day): a
// milestone's start; otherwise the day free float working days after the
// finish on the activity's calendar, then one calendar day. Activity input
// stores this day; a caller that keeps an activity's dates as given
// computes it here. Leaves plain calendar days (calendar 0) selected.
uint16_t xSuccessorAnchorDay(const ActRecord* activity);
// Relation. Checks: predecessor not registered 20005; successor 20006; both
// the same 20004; the pair or its reverse already related 21025 (the
// relation being edited excepted). Changed codes re-enter the relation.
int32_t xInputRecRel(ProjectDb* db, void* record);
// Crew detail. Checks: activity not registered 20031; resource 20033; new or
// changed pair registered 21025.
int32_t xInputRecOpr(ProjectDb* db, void* record);
// Time-shared entry. Checks: activity slot missing or not of kind 2 20010;
// day not a valid date 21015; an entry for that activity and day other than
// the spa index's current entry 21025. The current entry (if any) is
// overwritten when it has the same activity and day, else removed before the
// input is added. The spa index has no current entry afterwards.
int32_t xInputRecSpa(ProjectDb* db, const SpaEntry* entry);

// Deletes the current code of the classification and every code below it,
// with their crews and activities. The table's current slot is kept.
int32_t xDeleteRecWbs(ProjectDb* db, int16_t classification);
// Deletes the current resource with its crews and crew details.
int32_t xDeleteRecRes(ProjectDb* db);
int32_t xDeleteRecCrew(ProjectDb* db);
// Deletes the current activity with its index entries, time-shared entries,
// crew details and every relation that names it.
int32_t xDeleteRecAct(ProjectDb* db);
int32_t xDeleteRecRel(ProjectDb* db);
int32_t xDeleteRecOpr(ProjectDb* db);

// An input batch: between xBeginInputBatch and xEndInputBatch the input
// operations collect new index entries beside the sorted tables and merge
// them in runs, so entering many records costs O(n log n) instead of one
// table shift per record. Only the record operations of this block may be
// called inside a batch; xEndInputBatch brings every index to its exact
// contents. Returns 1.
int32_t xBeginInputBatch(ProjectDb* db);
int32_t xEndInputBatch(ProjectDb* db);

// Integrity check: every index and memory table kept by the record
// operations equals what a rebuild from the record tables gives, byte for
// byte, and every time-shared entry names a live time-shared activity on a
// valid day. Returns 1 when all hold; else 0, with a line naming the first
// difference in report (reportSize bytes, may be null).
int32_t xCheckIndexes(ProjectDb* db, char* report, int32_t reportSize);
// Rebuilds every index and memory table of the check above from the record
// tables (the time-shared entries are kept). Returns 1, or 0 when an index
// could not be written.
int32_t xRebuildIndexes(ProjectDb* db);

// ===========================================================================

#ifdef __cplusplus
}
#endif

#endif  // XQDDB100_H_
