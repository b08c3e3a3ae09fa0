// The registration record of a summary file and the rules of its
// composition.
#include <algorithm>
#include <cstring>

#include "kelvo/progress_stages.h"

namespace kelvo {

namespace {

constexpr size_t kFlagsAt = 2;
constexpr size_t kCountAt = 6;
constexpr size_t kEntriesAt = 8;
constexpr size_t kTitleAt = kEntriesAt + 2 * kSummaryCompositionMax;  // 42
static_assert(kTitleAt + kSummaryTitleSize == kSummaryRegistrationSize);

constexpr int kOtherClassification = 2;

void put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}
uint16_t get16(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] | at[1] << 8);
}

// Title length within the field, not splitting a CP949 pair.
size_t titleLength(const std::string& title) {
  size_t at = 0;
  while (at < title.size() && title[at] != '\0') {
    const size_t step = static_cast<unsigned char>(title[at]) >= 0x81 ? 2 : 1;
    if (at + step > kSummaryTitleSize || at + step > title.size()) break;
    at += step;
  }
  return at;
}

bool validEntry(int16_t entry) {
  if (entry < 0) return false;
  const int classification = entry / 10, level = entry % 10;
  return classification < kOtherClassification ||
         (classification == kOtherClassification && level <= 2);
}

}  // namespace

std::array<uint8_t, kSummaryRegistrationSize> encodeSummaryRegistration(
    const SummaryRegistration& r) {
  std::array<uint8_t, kSummaryRegistrationSize> bytes{};
  put16(&bytes[0], static_cast<uint16_t>(r.number));
  put16(&bytes[kFlagsAt], static_cast<uint16_t>(r.flags));
  put16(&bytes[kFlagsAt + 2], static_cast<uint16_t>(r.flags >> 16));
  const size_t count = std::min(r.composition.size(), kSummaryCompositionMax);
  put16(&bytes[kCountAt], static_cast<uint16_t>(count));
  for (size_t i = 0; i < count; ++i) {
    put16(&bytes[kEntriesAt + 2 * i], static_cast<uint16_t>(r.composition[i]));
  }
  std::memcpy(&bytes[kTitleAt], r.title.data(), titleLength(r.title));
  return bytes;
}

std::optional<SummaryRegistration> decodeSummaryRegistration(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSummaryRegistrationSize) return std::nullopt;
  const size_t count = get16(&bytes[kCountAt]);
  if (count > kSummaryCompositionMax) return std::nullopt;
  SummaryRegistration r;
  r.number = static_cast<int16_t>(get16(&bytes[0]));
  r.flags = get16(&bytes[kFlagsAt]) | uint32_t{get16(&bytes[kFlagsAt + 2])} << 16;
  for (size_t i = 0; i < count; ++i) {
    r.composition.push_back(static_cast<int16_t>(get16(&bytes[kEntriesAt + 2 * i])));
  }
  const char* title = reinterpret_cast<const char*>(&bytes[kTitleAt]);
  r.title.assign(title, strnlen(title, kSummaryTitleSize));
  return r;
}

const char* compositionMessage(int result) {
  switch (result) {
    case kCompositionRefused:
      return "이미 선택했거나 분류단계의 순서가 맞지 않습니다.";
    case kCompositionOtherTwice:
      return "기타 분류는 이미 선택했습니다. 한 개만 선택할 수 있습니다.";
    default:
      return "";
  }
}

int checkCompositionEntry(std::span<const int16_t> composition, int16_t entry, size_t position) {
  if (!validEntry(entry)) return kCompositionInvalid;
  if (composition.size() >= kSummaryCompositionMax) return kCompositionFull;
  const int classification = entry / 10;
  if (std::find(composition.begin(), composition.end(), entry) != composition.end()) {
    return kCompositionRefused;
  }
  if (classification == kOtherClassification &&
      std::any_of(composition.begin(), composition.end(),
                  [](int16_t e) { return e / 10 == kOtherClassification; })) {
    return kCompositionOtherTwice;
  }
  // Levels of one classification must ascend through the whole composition.
  position = std::min(position, composition.size());
  for (size_t i = 0; i < composition.size(); ++i) {
    if (composition[i] / 10 != classification) continue;
    const bool before = i < position;
    if (before ? composition[i] > entry : composition[i] < entry) return kCompositionRefused;
  }
  return kCompositionAccepted;
}

}  // namespace kelvo
