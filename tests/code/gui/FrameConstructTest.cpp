// The construction dialog: the pause it holds, No running its function without
// charging, Yes without a function only charging, and closing either way.
#include "code/gui/GuiFrameTesting.h"

#include "entities/PlayerStats.h"
#include "gui/FrameConstruct.h"
#include "Managers/GameSessionManager.h"

namespace {

struct Answers {
  bool No(const CEGUI::EventArgs&) { return ++no > 0; }
  int no = 0;
};

class FrameConstructTest : public GuiFrameTest {
 protected:
  void TearDown() override {
    GameSessionManager::CleanInstance();
    GuiFrameTest::TearDown();
  }
};

TEST_F(FrameConstructTest, NoRunsItsFunctionAndYesAloneOnlyCharges) {
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  ASSERT_NE(player, nullptr);
  player->AddMoney(1000 - player->GetMoney());
  Answers answers;

  auto* dialog = Get<FrameConstruct>(WT_CONSTRUCT);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsRequestingPause());
  EXPECT_EQ(dialog->GetPrice(), 0);
  dialog->SetNoButtonFunction(CEGUI::Event::Subscriber(&Answers::No, &answers));
  dialog->UpdateYesButton(250);
  gui->ShowWindow(dialog, nullptr);
  Click(dialog->GetComponent("Construct/Window/ButtonNo"));
  EXPECT_EQ(answers.no, 1);
  EXPECT_EQ(player->GetMoney(), 1000);
  EXPECT_TRUE(dialog->isRequestingRemove());
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_CONSTRUCT), nullptr);
  EXPECT_FALSE(gui->WantsGamePause()) << "the pause went with the dialog";

  dialog = Get<FrameConstruct>(WT_CONSTRUCT);
  ASSERT_NE(dialog, nullptr);
  dialog->UpdateYesButton(1000);
  EXPECT_FALSE(dialog->GetYesButton()->isDisabled()) << "the whole purse is enough";
  gui->ShowWindow(dialog, nullptr);
  Click(dialog->GetYesButton());
  EXPECT_EQ(player->GetMoney(), 0);
  EXPECT_EQ(answers.no, 1);
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_CONSTRUCT), nullptr);
  ExpectNoCeguiFailure();
}

}  // namespace
