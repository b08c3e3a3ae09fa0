// The shape of a summary before any row is built: the prepared registration,
// the name width, the table's field descriptors with the project's digits,
// and the project settings a build reads (classification levels, resource
// classes).
#include <algorithm>
#include <cstring>

#include "kelvo/project_digits.h"
#include "kelvo/summary_build.h"

namespace kelvo {

namespace {

constexpr uint32_t kDurationClass = kDurationDigitsClass;
constexpr uint32_t kRateClass = kWeightDigitsClass;
constexpr uint32_t kAmountClass = kAmountDigitsClass;
constexpr uint32_t kPriceClass = kPriceDigitsClass;
constexpr uint32_t kQuantityClass = kQuantityDigitsClass;
constexpr uint32_t kDigitClasses =
    kDurationClass | kAmountClass | kPriceClass | kQuantityClass;  // those that set a width

int clampTo(int v, int low, int high) {
  return std::min(std::max(v, low), high);
}

bool isNumeric(int8_t type) {
  return type >= XF_INT8 && type <= XF_DOUBLE;
}

}  // namespace

SummaryDigits summaryDigits(const ProjectDb* db, const PrjInfo& info) {
  SummaryDigits d;
  bool seen[4] = {};
  const TableHandle& tb = db->act.tb;
  for (int16_t i = 0; tb.fields != nullptr && i < tb.fieldCount; ++i) {
    const FieldDesc& f = tb.fields[i];
    if (f.flags & kSignedField) continue;  // its width holds a sign column too
    if ((f.flags & kDurationClass) && !seen[0]) {
      d.durationWidth = f.width;
      seen[0] = true;
    } else if ((f.flags & kRateClass) && !seen[1]) {
      d.rateDecimals = f.decimals;
      seen[1] = true;
    } else if ((f.flags & kPriceClass) && !seen[2]) {
      d.priceWidth = f.width;
      d.priceDecimals = f.decimals;
      seen[2] = true;
    } else if ((f.flags & kQuantityClass) && !seen[3]) {
      d.quantityWidth = f.width;
      d.quantityDecimals = f.decimals;
      seen[3] = true;
    }
  }
  d.durationWidth = d.durationWidth < 1 || d.durationWidth > 5 ? 5 : d.durationWidth;
  d.rateDecimals = clampTo(d.rateDecimals, 0, 4);
  d.priceWidth = clampTo(d.priceWidth, 1, 15);
  d.priceDecimals = clampTo(d.priceDecimals, 0, 9);
  d.quantityWidth = clampTo(d.quantityWidth, 1, 15);
  d.quantityDecimals = clampTo(d.quantityDecimals, 0, 9);
  d.amountWidth = info.amountDigits == 0 ? 12 : clampTo(info.amountDigits, 1, 15);
  d.amountDecimals = clampTo(info.amountDecimals, 0, 9);
  return d;
}

void readClassLevels(ProjectDb* db, ClassLevels levels[2]) {
  std::memset(levels, 0, 2 * sizeof(ClassLevels));
  ClassDefinition defs[2];
  if (!xReadClassDefinitions(db, defs)) return;
  for (int c = 0; c < 2; ++c) {
    const ClassLevels l = xClassLevelsOf(&defs[c]);
    // A definition that does not add up is treated as absent.
    bool good = l.count >= 0 && l.count <= 8;
    int16_t end = 0;
    for (int i = 0; good && i < l.count; ++i) {
      good = l.length[i] > 0 && l.start[i] == end;
      end = static_cast<int16_t>(end + l.length[i]);
    }
    if (good && end <= 10) levels[c] = l;
  }
}

bool levelMissing(int16_t entry, const ClassLevels levels[2]) {
  const int classification = entry / 10, level = entry % 10;
  return entry >= 0 && classification < 2 && level >= levels[classification].count;
}

std::vector<ResourceClass> readResourceClasses(ProjectDb* db) {
  uint8_t bytes[kResourceClassCount * kResourceClassEntry] = {};
  std::vector<ResourceClass> classes;
  if (xOption(&db->opt, XOPT_READ, kResourceClassSlot, bytes, sizeof bytes) != 1) return classes;
  for (int i = 0; i < kResourceClassCount; ++i) {
    const char* entry = reinterpret_cast<const char*>(bytes + i * kResourceClassEntry);
    if (entry[0] == '\0') continue;
    classes.push_back({entry[0], std::string(entry + 1, strnlen(entry + 1, 20))});
  }
  return classes;
}

const char* summaryMessage(int result) {
  switch (result) {
    case kSummaryDone:
      return "";
    case kSummaryFileFailed:
      return "파일을 만들 수 없습니다.";
    case kSummaryRefused:
      return compositionMessage(kCompositionRefused);
    case kSummaryOtherTwice:
      return compositionMessage(kCompositionOtherTwice);
    case kSummaryNoneBuilt:
      return kNoneBuiltMessage;
    case kSummaryBadNumber:
      return registrationMessage(kRegistrationBadNumber);
    case kSummaryTitleLong:
      return registrationMessage(kRegistrationTitleLong);
    case kSummaryNoSuchLevel:
      return registrationMessage(kCompositionInvalid);
    case kSummaryNoReference:
      return "시스템 파일(Kelvo.ref)이 없습니다.";
    default:
      return "";
  }
}

int prepareSummaryRegistration(SummaryRegistration& registration, const ClassLevels levels[2]) {
  if (registration.number < 1 || registration.number > XQD_SUMMARY_MAX) return kSummaryBadNumber;
  SummaryRegistration r = registration;
  const uint32_t resourceRows = kSummaryResourceClasses | kSummaryResources;
  if (!(r.flags & kSummaryOfResources)) {
    r.flags &= ~resourceRows;
  } else if (!(r.flags & resourceRows)) {
    r.flags |= kSummaryResources;
  }
  if ((r.flags & kSummaryOfResources) && (r.flags & kSummaryResourceFirst)) {
    r.composition.clear();
    registration = r;
    return kSummaryDone;
  }
  std::vector<int16_t> accepted;
  for (int16_t entry : r.composition) {
    if (levelMissing(entry, levels)) return kSummaryNoSuchLevel;
    const int check = checkCompositionEntry(accepted, entry, accepted.size());
    if (check == kCompositionOtherTwice) return kSummaryOtherTwice;
    if (check == kCompositionInvalid) return kSummaryNoSuchLevel;
    if (check != kCompositionAccepted) return kSummaryRefused;
    accepted.push_back(entry);
  }
  // Stop where both classifications have reached their final level: a final
  // pair names one activity, which an activity row stands for.
  bool final[2] = {false, false};
  for (size_t i = 0; i < accepted.size(); ++i) {
    const int classification = accepted[i] / 10, level = accepted[i] % 10;
    if (classification < 2 && level == levels[classification].count - 1) {
      final[classification] = true;
    }
    if (final[0] && final[1]) {
      accepted.resize((r.flags & kSummaryActivities) ? i : i + 1);
      break;
    }
  }
  r.composition = accepted;
  if (r.composition.empty()) r.flags |= kSummaryActivities;
  registration = r;
  return kSummaryDone;
}

int summaryNameWidth(const SummaryRegistration& r, int activityNameWidth) {
  int width = 40;
  const bool activities = r.flags & kSummaryActivities;
  if (activities && activityNameWidth > width) width = activityNameWidth;
  int levels = static_cast<int>(r.composition.size()) + (activities ? 1 : 0);
  if (r.flags & kSummaryOfResources) {
    levels +=
        ((r.flags & kSummaryResourceClasses) ? 1 : 0) + ((r.flags & kSummaryResources) ? 1 : 0);
  }
  if ((r.flags & kSummaryIndentNames) && levels > 1) width += 2 * (levels - 1);
  if (r.flags & kSummaryNumberNames) {
    width += 2 * std::min(levels, 9);
    if (levels > 9) width += 3 * levels - 27;
  }
  return width;
}

std::vector<FieldDesc> summaryFields(int32_t refHandle, bool resource, int nameWidth,
                                     const SummaryDigits& digits) {
  RefList list{};
  if (refHandle == -1 ||
      xGetRef(refHandle, resource ? XQD_REF_RES_SUMMARY : XQD_REF_ACT_SUMMARY, &list) != 1) {
    return {};
  }
  std::vector<FieldDesc> fields;
  if (list.width + 1 == sizeof(FieldDesc)) {
    fields.resize(list.count);
    std::memcpy(fields.data(), list.entries, list.count * sizeof(FieldDesc));
  }
  xFreeBuffer(list.entries);
  const int nameAt = resource ? kResRowNameAt : kActRowNameAt;
  const int recordLength = nameWidth + (resource ? kResRowFixed : kActRowFixed);
  for (FieldDesc& f : fields) {
    if (f.offset == nameAt && f.type == XF_STRING) f.width = static_cast<int16_t>(nameWidth);
    if (!isNumeric(f.type)) continue;
    if (f.flags & kDurationClass) {
      f.width = static_cast<int16_t>(digits.durationWidth);
    } else if (f.flags & kRateClass) {
      f.decimals = static_cast<int8_t>(digits.rateDecimals);
    } else if (f.flags & kAmountClass) {
      f.width = static_cast<int16_t>(digits.amountWidth);
      f.decimals = static_cast<int8_t>(digits.amountDecimals);
    } else if (f.flags & kPriceClass) {
      f.width = static_cast<int16_t>(digits.priceWidth);
      f.decimals = static_cast<int8_t>(digits.priceDecimals);
    } else if (f.flags & kQuantityClass) {
      f.width = static_cast<int16_t>(digits.quantityWidth);
      f.decimals = static_cast<int8_t>(digits.quantityDecimals);
    }
    if ((f.flags & kSignedField) && (f.flags & kDigitClasses)) ++f.width;
  }
  for (const FieldDesc& f : fields) {
    if (f.offset < 0 || f.offset + xSizeOfData(&f, 0xFFFFFFFFu) > recordLength) return {};
  }
  return fields;
}

}  // namespace kelvo
