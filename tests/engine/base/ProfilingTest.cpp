#include "engine/base/VProfiling.h"

#include <gtest/gtest.h>

TEST(VProfiling, SameNameGivesSameIdAndCountersResetTogether) {
  const int charts = VProfiling::GetChartCount();
  const int a = VProfiling::RegisterElement("ProfTest get path", "ProfTest group");
  const int child = VProfiling::RegisterElement("ProfTest neighbours", "ProfTest group", a);
  EXPECT_NE(a, child);
  EXPECT_EQ(VProfiling::RegisterElement("ProfTest get path", "another group"), a);
  EXPECT_EQ(VProfiling::RegisterElement("", "ProfTest group"), -1);
  EXPECT_EQ(VProfiling::GetChartCount(), charts + 1);

  VProfiling::StartElement(a);
  VProfiling::StopElement(a);
  VProfiling::StartElement(a);
  VProfiling::StartElement(12345);  // unknown ids are ignored
  EXPECT_EQ(VProfiling::GetStartCount(a), 2);
  EXPECT_EQ(VProfiling::GetStopCount(a), 1);
  EXPECT_EQ(VProfiling::GetStartCount(12345), -1);
  VProfiling::ResetMaxValues();
  EXPECT_EQ(VProfiling::GetStartCount(a), 0);
}

TEST(VProfiling, ChartsPageRoundBothWays) {
  VProfiling::RegisterElement("ProfTest chart a", "ProfTest chart group a");
  VProfiling::RegisterElement("ProfTest chart b", "ProfTest chart group b");
  const int n = VProfiling::GetChartCount();
  ASSERT_GE(n, 2);
  const int start = VProfiling::GetCurrentChart();
  VProfiling::PreviousChart();
  EXPECT_EQ(VProfiling::GetCurrentChart(), (start + n - 1) % n);
  for (int i = 0; i < n; ++i) VProfiling::NextChart();
  EXPECT_EQ(VProfiling::GetCurrentChart(), (start + n - 1) % n);
}
