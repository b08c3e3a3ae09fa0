// Numbers of the string-table texts of the record dialogs: dialog titles by
// template number, labels by template number x 100 + index.
#ifndef KELVO_RECORDS_RECORD_STRINGS_H_
#define KELVO_RECORDS_RECORD_STRINGS_H_

namespace kelvo::str {

inline constexpr int kActivityDialog = 1003;     // "작업 정보"
inline constexpr int kActivityLabels = 100300;   // labels of "작업 정보", 0..29
inline constexpr int kFlagFirst = 100330;        // the eight label check boxes
inline constexpr int kKindFirst = 100340;        // "보통", "이정표", "시분할"
inline constexpr int kConstraintFirst = 100350;  // "제약 없음" .. "완료일 고정"
inline constexpr int kRelationDialog = 1005;     // "선후행 관계"
inline constexpr int kRelationLabels = 100500;   // labels of "선후행 관계"
inline constexpr int kProgressDialog = 1028;     // "진행 자료 정보"
inline constexpr int kProgressLabels = 102800;   // labels of "진행 자료 정보"

}  // namespace kelvo::str

namespace kelvo {
inline constexpr int kStrMsgActivityMissing = 20031;  // "작업코드가 등록되어 있지 않습니다."
}  // namespace kelvo

#endif  // KELVO_RECORDS_RECORD_STRINGS_H_
