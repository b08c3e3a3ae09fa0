// The converter's own texts (UTF-8), keyed by their numbers 1000-1035.
#ifndef KVSHEET_SHEET_STRINGS_H_
#define KVSHEET_SHEET_STRINGS_H_

namespace kvsheet {

// The text of number id, or "" for a number outside the table.
const char* sheetText(int id);

enum : int {
  kTextWbs = 1000,         // "공종 분류"
  kTextObs = 1001,         // "시설 분류"
  kTextRes = 1002,         // "자원"
  kTextCrw = 1003,         // "작업조"
  kTextAct = 1004,         // "작업"
  kTextRel = 1005,         // "선후행 관계"
  kTextOpr = 1006,         // "세부 작업조"
  kTextDateHeader = 1012,  // "[기준일]"
  kTextValueHeader = 1013,
  kTextInfo = 1014,        // "프로젝트 정보"
  kTextInfoLabels = 1015,  // 1015-1026: the information labels in row order
  kTextSpa = 1027,         // "시분할 작업"
  kTextQuantityHeader = 1028,
  kTextActCodeHeader = 1029,
};

}  // namespace kvsheet

#endif  // KVSHEET_SHEET_STRINGS_H_
