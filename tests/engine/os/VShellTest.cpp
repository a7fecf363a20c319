// Shell open without a window only logs what would be opened.
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(VShellTest, HeadlessOpenIsLoggedNotRun) {
  // An unknown value runs the engine headless as well (with a warning).
  for (const char* video : {static_cast<const char*>(nullptr), "null", "NULL", "vulkan"}) {
    ScopedEnv env("ENGINE_VIDEO", video);
    std::vector<std::string> lines;
    Vision::Error.SetLogListener([&](const std::string& line) { lines.push_back(line); });
    EXPECT_TRUE(VShellOpen("http://example.invalid/update"));
    EXPECT_TRUE(VShellOpenW(L"https://example.invalid/\u00e9"));
    // Only the path to xdg-open refuses what it would take for an option: a true
    // here shows that nothing was started.
    EXPECT_TRUE(VShellOpen("-x"));
    EXPECT_FALSE(VShellOpen(""));
    EXPECT_FALSE(VShellOpen(nullptr));
    EXPECT_FALSE(VShellOpenW(nullptr));
    Vision::Error.SetLogListener(nullptr);
    EXPECT_EQ((std::vector<std::string>{"Shell open: http://example.invalid/update",
                                        "Shell open: https://example.invalid/\xc3\xa9", "Shell open: -x"}),
              lines);
  }
}

}  // namespace
