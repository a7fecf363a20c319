// Which update addresses the launcher hands to the shell.
#include "Launcher.h"

#include <gtest/gtest.h>

namespace {
TEST(LauncherTest, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(Launcher::IsWebAddress(L"http://update.invalid/get"));
  EXPECT_TRUE(Launcher::IsWebAddress(L"HTTPS://update.invalid/"));
  for (const wchar_t* refused : {L"file:///etc/passwd", L"https:/update.invalid", L"javascript:alert(1)",
                                 L" http://update.invalid", L"update.invalid", L""})
    EXPECT_FALSE(Launcher::IsWebAddress(refused)) << refused;
  EXPECT_FALSE(Launcher::IsWebAddress(nullptr));
}
}  // namespace
