#include <gtest/gtest.h>

#include "xJorDbm2.h"

TEST(ErrorWord, SetReturnsCodeAndGetReadsIt) {
  EXPECT_EQ(xSetDbError(21006), 21006);
  EXPECT_EQ(xGetDbError(), 21006);
  xSetDbError(0);
  EXPECT_EQ(xGetDbError(), 0);
}
