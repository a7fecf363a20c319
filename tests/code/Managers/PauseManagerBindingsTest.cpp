// The "PauseManager" script table.
#include "support/ScriptBindingFixture.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class PauseManagerBindingsTest : public ScriptBindingFixture {};

TEST_F(PauseManagerBindingsTest, ScriptsSwitchBothPauses) {
  PauseManager* pause = PauseManager::GetInstance();
  ASSERT_EQ(Run("PauseManager.ToggleFullPause()\nPauseManager.SetGamePause(true)"), "");
  EXPECT_TRUE(pause->IsFullPaused());
  EXPECT_TRUE(Bool("PauseManager.IsGamePaused()"));
  ASSERT_EQ(Run("PauseManager.ToggleFullPause()\nPauseManager.ToggleGamePause()\nPauseManager.SetFullPause(true)"), "");
  EXPECT_TRUE(pause->IsFullPaused());
  EXPECT_FALSE(Bool("PauseManager.IsGamePaused()"));
  ASSERT_EQ(Run("PauseManager.SetFullPause(false)"), "");
  EXPECT_FALSE(pause->IsAnyPaused());
}

TEST_F(PauseManagerBindingsTest, ANonBooleanIsAnArgumentErrorAndChangesNothing) {
  PauseManager* pause = PauseManager::GetInstance();
  pause->SetGamePause(true);
  for (const char* call : {"PauseManager.SetGamePause(0)", "PauseManager.SetGamePause()"}) {
    EXPECT_THAT(Run(call), HasSubstr(ArgError(2, "SetGamePause", "Expected bool"))) << call;
  }
  for (const char* call : {"PauseManager.SetFullPause('true')", "PauseManager.SetFullPause(nil)"}) {
    EXPECT_THAT(Run(call), HasSubstr(ArgError(2, "SetFullPause", "Expected bool"))) << call;
  }
  EXPECT_TRUE(pause->IsGamePaused());
  EXPECT_FALSE(pause->IsFullPaused());
}

}  // namespace
