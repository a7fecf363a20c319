// The engine set-up calls of the application start keep what they were given.
#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(EngineSetupTest, StreamProcessorKeepsAtLeastOneThread) {
  VStreamProcessor::DeInitialize();
  EXPECT_FALSE(VStreamProcessor::IsInitialized());
  VStreamProcessor::Initialize(0);
  EXPECT_TRUE(VStreamProcessor::IsInitialized());
  EXPECT_EQ(VStreamProcessor::GetThreadCount(), 1);
  VStreamProcessor::Initialize(3);
  EXPECT_EQ(VStreamProcessor::GetThreadCount(), 3);
  VStreamProcessor::DeInitialize();
  EXPECT_EQ(VStreamProcessor::GetThreadCount(), 0);
}

TEST(EngineSetupTest, ThreadManagerKeepsAtLeastOneWorker) {
  VThreadManager& threads = Vision::GetThreadManager();
  EXPECT_EQ(&threads, &Vision::GetThreadManager());
  threads.SetThreadCount(5);
  EXPECT_EQ(threads.GetThreadCount(), 5);
  threads.SetThreadCount(0);
  EXPECT_EQ(threads.GetThreadCount(), 1);
}

TEST(EngineSetupTest, ReadCacheSizeIsKept) {
  Vision::File.SetReadCacheSize(0x100000);
  EXPECT_EQ(Vision::File.GetReadCacheSize(), 0x100000);
  Vision::File.SetReadCacheSize(-4);
  EXPECT_EQ(Vision::File.GetReadCacheSize(), 0);
}

TEST(EngineSetupTest, BenignWarningsAreSilentWhileOff) {
  std::vector<std::string> lines;
  Vision::Error.SetLogListener([&](const std::string& line) { lines.push_back(line); });
  Vision::Error.SetReportBenignWarnings(false);
  Vision::Error.BenignWarning("quiet %d", 1);
  Vision::Error.SetReportBenignWarnings(true);
  Vision::Error.BenignWarning("heard %d", 2);
  Vision::Error.SetLogListener(nullptr);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("heard 2"), std::string::npos);
}
