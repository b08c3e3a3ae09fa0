// The converter contract shared by the main program, kvcli and the converter
// plug-ins: the request record, the classification scheme, the five
// numbered exports and the message numbers of a converter operation.
//
// A plug-in is a shared library that exports xOrdinalTable; entry i of the
// table it returns is the function with ordinal i (entry 0 is null):
//   1 xGetInfo  import step 1: read the project information of the file set
//   2 xExpDB    export the whole open project
//   3 xImpDB    import step 2: fill the newly created project database
//   4 xExpTb    external editor: send the active window's data
//   5 xImpTb    external editor: read the data back
// Ordinals 1-3 return nonzero for success; 4 and 5 return a positive value
// for success, 0 for a failure the caller reports and a negative value for a
// failure or cancellation the converter has already dealt with.
#ifndef KVCONVERT_H_
#define KVCONVERT_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One call's request, built by the caller for the duration of the call. The
// converter reads every field and writes only startDay (xGetInfo).
typedef struct XKvRequest {
  const void* path;       // whole project: the external file's full path (char*);
                          // editor: the view's data
  int16_t viewKind;       // editor: view kind of the active window
  uint16_t startDay;      // xGetInfo: the project start (packed date); editor: sub-kind
  intptr_t viewValue;     // editor: a value of the view's own
  void* database;         // the project database (ProjectDb*)
  void* scheme;           // the classification scheme (XKvScheme*)
  void* columns;          // editor: the active view's column layout
  void* info;             // whole project: the 200-byte project information
  void* library;          // the caller's handle of the loaded library
  const char* extension;  // the extension key used for the lookup
} XKvRequest;

typedef int32_t (*XKvProc)(XKvRequest* request);

// The numbered exports of a plug-in: entries 0-5, entry 0 null.
typedef const XKvProc* (*XKvOrdinalTableFn)(void);

#define XKV_GET_INFO 1
#define XKV_EXP_DB 2
#define XKV_IMP_DB 3
#define XKV_EXP_TB 4
#define XKV_IMP_TB 5

// Classification scheme (404 bytes, stored as is in the project's option
// file): block 0 the work-type classification, block 1 the facility one.
#pragma pack(push, 1)
typedef struct XKvSchemeBlock {
  int16_t levels;     // 0..8
  int16_t start[8];   // start of each level's part within a code (0-based)
  int16_t length[8];  // length of each level's part
  char name[8][21];   // name of each level, NUL-terminated
} XKvSchemeBlock;

typedef struct XKvScheme {
  XKvSchemeBlock block[2];
} XKvScheme;
#pragma pack(pop)

// Longest code a classification scheme may describe.
#define XKV_SCHEME_MAX_CODE 10

// Messages of a converter operation.
#define XKV_MSG_NOT_FOUND 20023        // "변환 프로그램을 찾을 수 없습니다."
#define XKV_MSG_FAILED 20024           // converter failed or export missing
#define XKV_MSG_NONE_REGISTERED 20027  // "등록된 변환 프로그램이 없습니다."

#ifdef __cplusplus
}
#endif

#endif  // KVCONVERT_H_
