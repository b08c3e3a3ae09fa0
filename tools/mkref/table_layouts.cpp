// The table layouts of Kelvo.ref. Field order is the exchange order of the
// converters; offsets are explicit because the program reads many fields at
// fixed places (the activity code is the first field yet lies at byte 216).
#include "table_layouts.h"

namespace mkref {
namespace {

constexpr uint32_t kCode = kRelied | kTrim;
constexpr uint32_t kDuration = kRelied | kDurationDigits;
constexpr uint32_t kQuantity = kRelied | kQuantityDigits | kThousands;
constexpr uint32_t kPrice = kRelied | kPriceDigits | kThousands;
constexpr uint32_t kAmount = kRelied | kAmountDigits | kThousands;
constexpr uint32_t kWeight = kRelied | kWeightDigits;
constexpr uint32_t kDerived = kRelied | kComputed;

// Text lists.
constexpr int kRelationKinds = 0;
constexpr int kActivityKinds = 1;
constexpr int kConstraintKinds = 2;

// 10: work-type classification code (146 bytes). Byte 0 is a word of the
// program, byte 2 the level of the code; neither is a field.
constexpr LayoutField kWbs[] = {
    {"공종코드", 4, kText, 10, 0, kCode},
    {"공종명", 15, kText, 40, 0, kRelied},
    {"규격", 56, kText, 40, 0, kRelied},
    {"단위", 97, kText, 6, 0, kRelied},
    {"공종수량", 104, kDouble, 12, 3, kQuantity},
    {"계약단가", 112, kDouble, 12, 0, kPrice},
    {"실행단가", 120, kDouble, 12, 0, kPrice},
    {"투입단가", 128, kDouble, 12, 0, kPrice},
    {"하루수량", 136, kDouble, 12, 3, kQuantity | kComputed},
    {"소요일수 합계", 144, kInt16, 5, 0, kDerived | kDurationDigits},
};

// 11: facility classification code (56 bytes).
constexpr LayoutField kObs[] = {
    {"시설코드", 4, kText, 10, 0, kCode},
    {"시설명", 15, kText, 40, 0, kRelied},
};

// 12: resource (106 bytes); bytes 102-105 are free.
constexpr LayoutField kRes[] = {
    {"자원코드", 2, kText, 10, 0, kCode},
    {"자원명", 13, kText, 40, 0, kRelied},
    {"규격", 54, kText, 40, 0, kRelied},
    {"단위", 95, kText, 6, 0, kRelied},
};

// 13: crew, a resource that a final-level work type requires (52 bytes).
constexpr LayoutField kCrw[] = {
    {"공종코드", 2, kText, 10, 0, kCode},
    {"자원코드", 13, kText, 10, 0, kCode},
    {"단위수량", 24, kDouble, 12, 3, kQuantity},
    {"전체 투입수량", 32, kDouble, 12, 3, kQuantity},
    {"실제 단위수량", 40, kDouble, 12, 3, kQuantity},
    {"작업조 수량", 48, kInt32, 9, 0, kRelied},
};

// 14: activity (298 bytes). Bytes outside fields: 0 flags, 42 execution
// weight, 114 successor anchor day, 116-119 map place.
constexpr LayoutField kAct[] = {
    {"작업코드", 216, kText, 20, 0, kCode},
    {"작업명", 237, kText, 60, 0, kRelied | kReshapable},
    {"소요일수", 2, kInt16, 5, 0, kDuration},
    {"잔여일수", 4, kInt16, 5, 0, kDuration},
    {"시작일", 8, kDate, 8, 0, kRelied},
    {"완료일", 10, kDate, 8, 0, kRelied},
    {"가장빠른 시작일", 12, kDate, 8, 0, kDerived},
    {"가장빠른 완료일", 14, kDate, 8, 0, kDerived},
    {"가장늦은 시작일", 16, kDate, 8, 0, kDerived},
    {"가장늦은 완료일", 18, kDate, 8, 0, kDerived},
    {"총여유", 6, kInt16, 6, 0, kDerived | kDurationDigits | kSigned},
    {"자유여유", 102, kInt16, 6, 0, kDerived | kDurationDigits | kSigned},
    {"실제 시작일", 20, kDate, 8, 0, kRelied},
    {"실제 완료일", 22, kDate, 8, 0, kRelied},
    {"제약 날짜", 104, kDate, 8, 0, kRelied},
    {"제약 형식", 106, kRef, kConstraintKinds, 0, kRelied},
    {"달력번호", 108, kInt16, 1, 0, kRelied},
    {"계획 소요일수", 24, kInt16, 5, 0, kDerived | kDurationDigits},
    {"계획 시작일", 26, kDate, 8, 0, kDerived},
    {"계획 완료일", 28, kDate, 8, 0, kDerived},
    {"계획 빠른 시작일", 30, kDate, 8, 0, kDerived},
    {"계획 빠른 완료일", 32, kDate, 8, 0, kDerived},
    {"계획 늦은 시작일", 34, kDate, 8, 0, kDerived},
    {"계획 늦은 완료일", 36, kDate, 8, 0, kDerived},
    {"PERT 경로", 110, kInt16, 3, 0, kRelied},
    {"작업종류", 112, kRef, kActivityKinds, 0, kRelied},
    {"공종분류코드", 120, kText, 10, 0, kCode},
    {"시설분류코드", 131, kText, 10, 0, kCode},
    {"담당자", 164, kText, 10, 0, kCode},
    {"하도급", 142, kText, 10, 0, kCode},
    {"사용자 분류코드", 153, kText, 10, 0, kCode},
    {"수량", 46, kDouble, 8, 3, kQuantity},
    {"계약단가", 78, kDouble, 12, 0, kPrice},
    {"실행단가", 86, kDouble, 12, 0, kPrice},
    {"투입단가", 94, kDouble, 12, 0, kPrice},
    {"계약 보할", 38, kFloat, 3, 2, kDerived | kWeightDigits},
    {"특기사항", 175, kText, 40, 0, kRelied},
    {"사용자 항목1", 54, kDouble, 12, 0, kRelied | kReshapable | kThousands},
    {"사용자 항목2", 62, kDouble, 12, 0, kRelied | kReshapable | kThousands},
    {"사용자 항목3", 70, kDouble, 12, 0, kRelied | kReshapable | kThousands},
};

// 15: precedence relation (50 bytes); byte 0 holds flags.
constexpr LayoutField kRel[] = {
    {"선행작업코드", 2, kText, 20, 0, kCode},           {"후행작업코드", 23, kText, 20, 0, kCode},
    {"관계형식", 44, kRef, kRelationKinds, 0, kRelied}, {"간격일수", 46, kInt16, 4, 0, kRelied},
    {"PERT 경로", 48, kInt16, 3, 0, kRelied},
};

// 16: crew detail, a resource put on an activity (50 bytes).
constexpr LayoutField kOpr[] = {
    {"작업코드", 2, kText, 20, 0, kCode},
    {"자원코드", 23, kText, 10, 0, kCode},
    {"수량", 34, kDouble, 12, 3, kQuantity},
    {"투입 수량", 42, kDouble, 12, 3, kQuantity},
};

// Summary rows are built by the program, so every field is computed. The
// name field comes first and is given the row's name width on creation.
constexpr uint32_t kSum = kRelied | kComputed;
constexpr uint32_t kSumDuration = kSum | kDurationDigits;
constexpr uint32_t kSumQuantity = kSum | kQuantityDigits | kThousands;
constexpr uint32_t kSumAmount = kSum | kAmountDigits | kThousands;
constexpr uint32_t kSumRate = kSum | kWeightDigits;
constexpr int16_t kDefaultNameWidth = 40;

// 17: activity summary row (name width + 397 bytes).
constexpr LayoutField kActSum[] = {
    {"명칭", 396, kText, kDefaultNameWidth, 0, kSum},
    {"소요일수", 2, kInt16, 5, 0, kSumDuration},
    {"잔여일수", 4, kInt16, 5, 0, kSumDuration},
    {"총여유", 6, kInt16, 6, 0, kSumDuration | kSigned},
    {"시작일", 8, kDate, 8, 0, kSum},
    {"완료일", 10, kDate, 8, 0, kSum},
    {"가장빠른 시작일", 12, kDate, 8, 0, kSum},
    {"가장빠른 완료일", 14, kDate, 8, 0, kSum},
    {"가장늦은 시작일", 16, kDate, 8, 0, kSum},
    {"가장늦은 완료일", 18, kDate, 8, 0, kSum},
    {"실제 시작일", 20, kDate, 8, 0, kSum},
    {"실제 완료일", 22, kDate, 8, 0, kSum},
    {"계획 소요일수", 24, kInt16, 5, 0, kSumDuration},
    {"계획 시작일", 26, kDate, 8, 0, kSum},
    {"계획 완료일", 28, kDate, 8, 0, kSum},
    {"계획 빠른 시작일", 30, kDate, 8, 0, kSum},
    {"계획 빠른 완료일", 32, kDate, 8, 0, kSum},
    {"계획 늦은 시작일", 34, kDate, 8, 0, kSum},
    {"계획 늦은 완료일", 36, kDate, 8, 0, kSum},
    {"계약 보할", 38, kFloat, 3, 2, kSumRate},
    {"실행 보할", 42, kFloat, 3, 2, kSumRate},
    {"수량", 46, kDouble, 12, 3, kSumQuantity},
    {"사용자 항목1", 54, kDouble, 12, 0, kSum | kThousands},
    {"사용자 항목2", 62, kDouble, 12, 0, kSum | kThousands},
    {"사용자 항목3", 70, kDouble, 12, 0, kSum | kThousands},
    {"계획 수량", 78, kDouble, 12, 3, kSumQuantity},
    {"실적 수량", 86, kDouble, 12, 3, kSumQuantity},
    {"잔여 수량", 94, kDouble, 12, 3, kSumQuantity},
    {"전기 계획 수량", 102, kDouble, 12, 3, kSumQuantity},
    {"전기 실적 수량", 110, kDouble, 12, 3, kSumQuantity},
    {"계약 금액", 118, kDouble, 12, 0, kSumAmount},
    {"실행 금액", 126, kDouble, 12, 0, kSumAmount},
    {"투입 금액", 134, kDouble, 12, 0, kSumAmount},
    {"계획 계약금액", 142, kDouble, 12, 0, kSumAmount},
    {"계획 실행금액", 150, kDouble, 12, 0, kSumAmount},
    {"실적 계약금액", 158, kDouble, 12, 0, kSumAmount},
    {"실적 실행금액", 166, kDouble, 12, 0, kSumAmount},
    {"전기 투입금액", 174, kDouble, 12, 0, kSumAmount},
    {"전기 계획 계약금액", 182, kDouble, 12, 0, kSumAmount},
    {"전기 계획 실행금액", 190, kDouble, 12, 0, kSumAmount},
    {"전기 실적 계약금액", 198, kDouble, 12, 0, kSumAmount},
    {"전기 실적 실행금액", 206, kDouble, 12, 0, kSumAmount},
    {"잔여 투입금액", 214, kDouble, 12, 0, kSumAmount},
    {"예상 총투입금액", 222, kDouble, 12, 0, kSumAmount},
    {"계약-실행 금액", 230, kDouble, 13, 0, kSumAmount | kSigned},
    {"실적 손익", 238, kDouble, 13, 0, kSumAmount | kSigned},
    {"예상 손익", 246, kDouble, 13, 0, kSumAmount | kSigned},
    {"실행률", 254, kFloat, 3, 2, kSumRate},
    {"투입률", 258, kFloat, 3, 2, kSumRate},
    {"예상 투입률", 262, kFloat, 3, 2, kSumRate},
    {"계획 계약진도율", 266, kFloat, 3, 2, kSumRate},
    {"계획 실행진도율", 270, kFloat, 3, 2, kSumRate},
    {"실적 계약진도율", 274, kFloat, 3, 2, kSumRate},
    {"실적 실행진도율", 278, kFloat, 3, 2, kSumRate},
    {"행 종류", 282, kInt16, 2, 0, kSum},
    {"레코드 번호", 284, kInt32, 9, 0, kSum},
    {"기간자료 위치", 288, kInt32, 9, 0, kSum},
    {"행 단계", 292, kInt16, 2, 0, kSum},
    {"공종분류코드", 294, kText, 10, 0, kSum},
    {"시설분류코드", 305, kText, 10, 0, kSum},
    {"기타 분류코드", 316, kText, 10, 0, kSum},
    {"작업코드", 327, kText, 20, 0, kSum},
    {"단위", 348, kText, 6, 0, kSum},
    {"규격", 355, kText, 40, 0, kSum},
};

// 18: resource summary row (name width + 186 bytes).
constexpr LayoutField kResSum[] = {
    {"명칭", 185, kText, kDefaultNameWidth, 0, kSum},
    {"소요일수", 2, kInt16, 5, 0, kSumDuration},
    {"계획 투입량", 4, kDouble, 12, 3, kSumQuantity},
    {"계획 누계 투입량", 12, kDouble, 12, 3, kSumQuantity},
    {"실적 누계 투입량", 20, kDouble, 12, 3, kSumQuantity},
    {"전기 계획 투입량", 28, kDouble, 12, 3, kSumQuantity},
    {"전기 실적 투입량", 36, kDouble, 12, 3, kSumQuantity},
    {"예상 잔여 투입량", 44, kDouble, 12, 3, kSumQuantity},
    {"예상 총투입량", 52, kDouble, 12, 3, kSumQuantity},
    {"행 종류", 60, kInt16, 2, 0, kSum},
    {"레코드 번호", 62, kInt32, 9, 0, kSum},
    {"기간자료 위치", 66, kInt32, 9, 0, kSum},
    {"행 단계", 70, kInt16, 2, 0, kSum},
    {"공종분류코드", 72, kText, 10, 0, kSum},
    {"시설분류코드", 83, kText, 10, 0, kSum},
    {"기타 분류코드", 94, kText, 10, 0, kSum},
    {"작업코드", 105, kText, 20, 0, kSum},
    {"자원코드", 126, kText, 10, 0, kSum},
    {"단위", 137, kText, 6, 0, kSum},
    {"규격", 144, kText, 40, 0, kSum},
};

constexpr TableLayout kTables[] = {
    {10, "wbs", 146, kWbs},
    {11, "obs", 56, kObs},
    {12, "res", 106, kRes},
    {13, "crw", 52, kCrw},
    {14, "act", 298, kAct},
    {15, "rel", 50, kRel},
    {16, "opr", 50, kOpr},
    {17, "activity summary", 397 + kDefaultNameWidth, kActSum},
    {18, "resource summary", 186 + kDefaultNameWidth, kResSum},
};

constexpr const char* kRelationKindTexts[] = {"FS", "FF", "SS", "SF"};
constexpr const char* kActivityKindTexts[] = {"보통", "이정표", "시분할"};
constexpr const char* kConstraintKindTexts[] = {
    "제약 없음",    "일찍 시작 못함", "일찍 못 끝냄", "늦게 시작 못함",
    "늦게 못 끝냄", "시작일 고정",    "완료일 고정",
};

constexpr TextList kTexts[] = {
    {kRelationKinds, 2, kRelationKindTexts},
    {kActivityKinds, 6, kActivityKindTexts},
    {kConstraintKinds, 14, kConstraintKindTexts},
};

}  // namespace

std::span<const TableLayout> TableLayouts() {
  return kTables;
}
std::span<const TextList> TextLists() {
  return kTexts;
}

}  // namespace mkref
