// Quantities, durations, weights and crew figures derived from each other.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "kelvo/progress_stages.h"
#include "xJorDbm2.h"

namespace kelvo {
namespace {

double roundedSum(const std::vector<float>& weights, int decimals) {
  double sum = 0;
  for (float w : weights) {
    double v = w;
    xRound(&v, decimals);
    sum += v;
  }
  xRound(&sum, decimals);
  return sum;
}

TEST(DistributeByDuration, RemainderGoesToFirstLargest) {
  const int16_t equal[] = {5, 5, 5};
  EXPECT_EQ(*distributeByDuration(10, equal, 0), (std::vector<double>{4, 3, 3}));
  const int16_t second[] = {1, 2, 2};
  EXPECT_EQ(*distributeByDuration(11, second, 0), (std::vector<double>{2, 5, 4}));
  const int16_t uneven[] = {1, 2};
  const auto shares = *distributeByDuration(10, uneven, 2);
  EXPECT_DOUBLE_EQ(shares[0], 3.33);
  EXPECT_DOUBLE_EQ(shares[1], 6.67);
}

TEST(DistributeByDuration, ZeroAndNegativeDurations) {
  const int16_t none[] = {0, 0};
  EXPECT_FALSE(distributeByDuration(10, none, 0));
  EXPECT_FALSE(distributeByDuration(10, {}, 0));
  const int16_t negative[] = {-4, 2, 0};
  EXPECT_EQ(*distributeByDuration(6, negative, 0), (std::vector<double>{0, 6, 0}));
  // Durations adding up beyond 16 bits still share the whole total.
  const std::vector<int16_t> many(4, 30000);
  const auto shares = *distributeByDuration(100, many, 0);
  EXPECT_DOUBLE_EQ(std::accumulate(shares.begin(), shares.end(), 0.0), 100);
}

TEST(DurationFromDailyQuantity, RoundsToQuantityDecimalsThenUp) {
  EXPECT_EQ(*durationFromDailyQuantity(10, 3, 2), 4);
  EXPECT_EQ(*durationFromDailyQuantity(6, 3, 2), 2);
  // 0.3 / 0.1 is 3.0000000000000004 in binary: still three days.
  EXPECT_EQ(*durationFromDailyQuantity(0.3, 0.1, 3), 3);
  EXPECT_EQ(*durationFromDailyQuantity(1e9, 1, 0), 32767);
  EXPECT_FALSE(durationFromDailyQuantity(10, 0, 2));
}

TEST(ComputeWeights, AddUpToExactlyHundred) {
  const double ones[] = {1, 1, 1};
  const auto thirds = *computeWeights(ones, ones, 0, 2);
  EXPECT_FLOAT_EQ(thirds[0], 33.34f);
  EXPECT_FLOAT_EQ(thirds[1], 33.33f);
  EXPECT_FLOAT_EQ(thirds[2], 33.33f);

  // The adjustment lands on the first largest amount.
  const double prices[] = {1, 3, 3, 2};
  const double quantities[] = {1, 1, 1, 1};
  const auto adjusted = *computeWeights(prices, quantities, 0, 1);
  EXPECT_FLOAT_EQ(adjusted[1], 33.4f);
  EXPECT_FLOAT_EQ(adjusted[2], 33.3f);

  const std::vector<std::vector<double>> sets = {{7, 7, 7, 7, 7, 7},
                                                 {1, 2, 3, 4, 5, 6, 7},
                                                 {0.1, 1000, 333.3, 12.5},
                                                 {1, 1, 1, 1, 1, 1, 1, 1, 1}};
  for (const auto& amounts : sets) {
    const std::vector<double> one(amounts.size(), 1);
    for (int decimals : {0, 1, 2, 3}) {
      const auto w = computeWeights(amounts, one, 2, decimals);
      ASSERT_TRUE(w);
      EXPECT_DOUBLE_EQ(roundedSum(*w, decimals), 100) << amounts.size() << " " << decimals;
    }
  }
}

TEST(ComputeWeights, NothingWithoutAmounts) {
  const double zero[] = {0, 0};
  const double some[] = {5, 6};
  EXPECT_FALSE(computeWeights(zero, some, 2, 2));
  EXPECT_FALSE(computeWeights(some, zero, 2, 2));
  const double one[] = {1};
  EXPECT_FALSE(computeWeights(one, some, 2, 2));
}

TEST(CrewDetails, InputToDateFollowsProgress) {
  EXPECT_DOUBLE_EQ(crewInputToDate(10, 0, 4, 1, 2), 7.5);
  EXPECT_DOUBLE_EQ(crewInputToDate(10, 0, 4, 1, 0), 8);
  EXPECT_DOUBLE_EQ(crewInputToDate(10, 0, 4, 4, 2), 0);    // not begun
  EXPECT_DOUBLE_EQ(crewInputToDate(10, 0, 0, -1, 2), 0);   // no duration
  EXPECT_DOUBLE_EQ(crewInputToDate(10, 12, 4, 1, 2), 12);  // already above plan
  EXPECT_DOUBLE_EQ(roundUpInput(2.0000001, 2), 2);
  EXPECT_DOUBLE_EQ(roundUpInput(2.01, 2), 3);
  EXPECT_TRUE(resourceInClass("L001", ""));
  EXPECT_TRUE(resourceInClass("L001", "Labour"));
  EXPECT_FALSE(resourceInClass("M001", "L"));
  EXPECT_FALSE(resourceInClass("", "L"));
}

TEST(ActualWork, TotalsDailyQuantitiesAndCrews) {
  std::vector<ActualWorkType> types(3);
  types[0].quantity = 100;
  types[1].quantity = 0;   // no quantity: unit quantities stay 0
  types[2].quantity = 50;  // no activities: no daily quantity
  types[2].dailyQuantity = 9;
  types[2].totalDuration = 9;
  const ActualActivity activities[] = {{0, 3}, {0, 4}, {1, 5}, {-1, 8}, {0, 0}, {1, -2}};
  std::vector<ActualCrew> crews(3);
  crews[0].workType = 0;
  crews[1].workType = 1;
  crews[2].workType = 2;
  crews[2].crewSize = 7;
  const ActualCrewDetail details[] = {{0, 10}, {0, 11}, {1, 4}, {2, 3}, {-1, 99}};
  computeActualWork(types, activities, crews, details, 2);

  EXPECT_EQ(types[0].totalDuration, 7);
  EXPECT_DOUBLE_EQ(types[0].dailyQuantity, 14.29);
  EXPECT_EQ(types[1].totalDuration, 5);
  EXPECT_DOUBLE_EQ(types[1].dailyQuantity, 0);
  EXPECT_EQ(types[2].totalDuration, 0);
  EXPECT_DOUBLE_EQ(types[2].dailyQuantity, 0);

  EXPECT_DOUBLE_EQ(crews[0].totalInput, 21);
  EXPECT_DOUBLE_EQ(crews[0].unitQuantity, 0.21);
  EXPECT_EQ(crews[0].crewSize, 3);  // 21 / 7 = 3
  EXPECT_DOUBLE_EQ(crews[1].totalInput, 4);
  EXPECT_DOUBLE_EQ(crews[1].unitQuantity, 0);
  EXPECT_EQ(crews[1].crewSize, 1);  // 4 / 5 rounded up
  EXPECT_DOUBLE_EQ(crews[2].unitQuantity, 0.06);
  EXPECT_EQ(crews[2].crewSize, 0);  // no duration
}

TEST(ActualWork, TotalDurationClampsAt16Bits) {
  std::vector<ActualWorkType> types(1);
  types[0].quantity = 32767;
  const std::vector<ActualActivity> activities(3, ActualActivity{0, 20000});
  computeActualWork(types, activities, {}, {}, 2);
  EXPECT_EQ(types[0].totalDuration, 32767);
  EXPECT_DOUBLE_EQ(types[0].dailyQuantity, 1);
}

}  // namespace
}  // namespace kelvo
