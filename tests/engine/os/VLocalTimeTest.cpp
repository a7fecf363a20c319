// The local time: fixed by a test, by the ENGINE_LOCAL_TIME switch, else the clock.
#include "engine/os/VOs.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

namespace {

TEST(VLocalTimeTest, TheSwitchFixesTheTimeUnlessATestDoes) {
  {
    ScopedEnv fixed("ENGINE_LOCAL_TIME", "2011-05-09 14:07:03.045");
    const VLocalTime t = VGetLocalTime();
    EXPECT_EQ(t.year, 2011);
    EXPECT_EQ(t.month, 5);
    EXPECT_EQ(t.day, 9);
    EXPECT_EQ(t.hour, 14);
    EXPECT_EQ(t.minute, 7);
    EXPECT_EQ(t.second, 3);
    EXPECT_EQ(t.milliseconds, 45);
    // A time fixed by a test comes first.
    VLocalTime mine;
    mine.year = 2020;
    VSetFixedLocalTime(&mine);
    EXPECT_EQ(VGetLocalTime().year, 2020);
    VSetFixedLocalTime(nullptr);
    EXPECT_EQ(VGetLocalTime().year, 2011);
  }
  for (const char* bad : {"2011-05-09", "2011-13-09 14:07:03.045", "2011-05-09 14:07:03.045x", "soon"}) {
    ScopedEnv fixed("ENGINE_LOCAL_TIME", bad);
    LogCapture log;
    EXPECT_GT(VGetLocalTime().year, 2020) << bad;
    VGetLocalTime();
    EXPECT_EQ(log.Matching("ENGINE_LOCAL_TIME").size(), 1u) << bad;
  }
}

}  // namespace
