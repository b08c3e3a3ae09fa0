// Quantities, durations, unit prices, weights and crew figures derived from
// each other.
#include <algorithm>
#include <cmath>

#include "kelvo/progress_stages.h"
#include "xJorDbm2.h"

namespace kelvo {

namespace {

double rounded(double v, int decimals) {
  xRound(&v, decimals);
  return v;
}

// Rounded to the decimals first, so 2.0000000001 stays 2.
double roundedUp(double v, int decimals) {
  return std::ceil(rounded(v, decimals));
}

// Index of the first largest value.
size_t firstLargest(std::span<const double> values) {
  return static_cast<size_t>(std::max_element(values.begin(), values.end()) - values.begin());
}

int16_t clampedSum(int16_t total, int16_t add) {
  return static_cast<int16_t>(std::clamp<int32_t>(int32_t{total} + add, -32768, 32767));
}

}  // namespace

std::optional<std::vector<double>> distributeByDuration(double total,
                                                        std::span<const int16_t> durations,
                                                        int decimals) {
  // Summed in 32 bits without clamping: the shares must add up to the total.
  int64_t sum = 0;
  for (int16_t d : durations) sum += std::max<int16_t>(d, 0);
  if (sum == 0) return std::nullopt;
  std::vector<double> shares;
  shares.reserve(durations.size());
  double given = 0;
  for (int16_t d : durations) {
    shares.push_back(rounded(total * std::max<int16_t>(d, 0) / static_cast<double>(sum), decimals));
    given += shares.back();
  }
  double& largest = shares[firstLargest(shares)];
  largest = rounded(largest + (total - given), decimals);
  return shares;
}

std::optional<int16_t> durationFromDailyQuantity(double quantity, double daily,
                                                 int quantityDecimals) {
  if (daily == 0) return std::nullopt;
  const double days = roundedUp(quantity / daily, quantityDecimals);
  if (!std::isfinite(days)) return std::nullopt;
  return static_cast<int16_t>(std::clamp(days, 0.0, 32767.0));
}

std::optional<std::vector<float>> computeWeights(std::span<const double> unitPrices,
                                                 std::span<const double> quantities,
                                                 int amountDecimals, int weightDecimals) {
  if (unitPrices.size() != quantities.size() || unitPrices.empty()) return std::nullopt;
  std::vector<double> amounts;
  amounts.reserve(unitPrices.size());
  double total = 0;
  for (size_t i = 0; i < unitPrices.size(); ++i) {
    amounts.push_back(rounded(unitPrices[i] * quantities[i], amountDecimals));
    total += amounts.back();
  }
  if (total == 0 || !std::isfinite(total)) return std::nullopt;
  std::vector<double> weights;
  weights.reserve(amounts.size());
  double sum = 0;
  for (double amount : amounts) {
    weights.push_back(rounded(amount / total * 100, weightDecimals));
    sum += weights.back();
  }
  double& largest = weights[firstLargest(amounts)];
  largest = rounded(largest + (100 - sum), weightDecimals);
  return std::vector<float>(weights.begin(), weights.end());
}

bool resourceInClass(std::string_view resourceCode, std::string_view classEntry) {
  return classEntry.empty() || (!resourceCode.empty() && resourceCode[0] == classEntry[0]);
}

double roundUpInput(double planned, int quantityDecimals) {
  return roundedUp(planned, quantityDecimals);
}

double crewInputToDate(double planned, double inputToDate, int16_t duration, int16_t remaining,
                       int quantityDecimals) {
  if (duration <= 0 || remaining >= duration || inputToDate >= planned) return inputToDate;
  const int32_t done = duration - std::max<int16_t>(remaining, 0);
  return rounded(done * planned / duration, quantityDecimals);
}

void computeActualWork(std::span<ActualWorkType> workTypes,
                       std::span<const ActualActivity> activities, std::span<ActualCrew> crews,
                       std::span<const ActualCrewDetail> details, int quantityDecimals) {
  const auto workTypeAt = [&](int32_t i) -> ActualWorkType* {
    return i >= 0 && static_cast<size_t>(i) < workTypes.size() ? &workTypes[i] : nullptr;
  };
  for (ActualWorkType& w : workTypes) {
    w.totalDuration = 0;
    w.dailyQuantity = 0;
  }
  for (const ActualActivity& a : activities) {
    ActualWorkType* w = workTypeAt(a.workType);
    if (!w || a.duration <= 0) continue;
    w->totalDuration = clampedSum(w->totalDuration, a.duration);
    w->dailyQuantity = rounded(w->quantity / w->totalDuration, quantityDecimals);
  }
  for (ActualCrew& c : crews) {
    c.totalInput = 0;
    c.unitQuantity = 0;
    c.crewSize = 0;
  }
  for (const ActualCrewDetail& d : details) {
    if (d.crew < 0 || static_cast<size_t>(d.crew) >= crews.size()) continue;
    ActualCrew& c = crews[d.crew];
    c.totalInput += d.inputToDate;
    const ActualWorkType* w = workTypeAt(c.workType);
    if (!w) continue;
    if (w->quantity != 0) c.unitQuantity = rounded(c.totalInput / w->quantity, quantityDecimals);
    if (w->totalDuration != 0) {
      const double size = roundedUp(c.totalInput / w->totalDuration, quantityDecimals);
      c.crewSize = static_cast<int32_t>(std::clamp(size, -2147483648.0, 2147483647.0));
    }
  }
}

}  // namespace kelvo
