// C runtime shims, the seeded random source and the program path.
#include "engine/os/VOs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <vector>

namespace {

TEST(VRuntimeTest, CaseBlindCompares) {
  EXPECT_EQ(0, _stricmp("ShipEntity", "SHIPENTITY"));
  EXPECT_GT(0, _stricmp("abc", "ABD"));
  EXPECT_LT(0, _stricmp("abd", "ABC"));
  EXPECT_EQ(0, _strnicmp("Particles\\x", "particles\\y", 10));
  EXPECT_NE(0, _strnicmp("Particles\\x", "particles\\y", 11));
  EXPECT_EQ(0, _stricmp(nullptr, nullptr));
  EXPECT_GT(0, _stricmp(nullptr, "a"));
  EXPECT_LT(0, _strnicmp("a", nullptr, 1));
}

TEST(VRuntimeTest, Atoi64) {
  EXPECT_EQ(9876543210123LL, _atoi64("  9876543210123xyz"));
  EXPECT_EQ(-42, _atoi64("-42"));
  EXPECT_EQ(0, _atoi64("abc"));
  EXPECT_EQ(0, _atoi64(nullptr));
  EXPECT_EQ(LLONG_MAX, _atoi64("99999999999999999999999"));
}

TEST(VRuntimeTest, RandomIsSeededAndInRange) {
  VSeedRandom(1234);
  std::vector<int> first;
  for (int i = 0; i < 1000; ++i) {
    int v = VRandomInt();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, V_RAND_MAX);
    first.push_back(v);
  }
  VSeedRandom(1234);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(first[i], VRandomInt());
  VSeedRandom(1235);
  EXPECT_NE(first[0] * 32768 + first[1], VRandomInt() * 32768 + VRandomInt());
}

TEST(VRuntimeTest, SystemFacts) {
  EXPECT_GE(VGetProcessorCount(), 1);
  std::string self = VGetModuleFileName();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(0, access(self.c_str(), X_OK));
  EXPECT_NE(std::string::npos, self.find("test_engine_os"));
  VSleep(0);
  VSleep(1);
}

}  // namespace
