#include "engine/base/VString.h"

#include <gtest/gtest.h>

TEST(VString, NumericParseTakesLeadingDecimalAndGivesZeroForText) {
  EXPECT_EQ(VString::NumericParse("1280"), 1280);
  EXPECT_EQ(VString::NumericParse("abc"), 0);
  EXPECT_EQ(VString::NumericParse(nullptr), 0);
}
