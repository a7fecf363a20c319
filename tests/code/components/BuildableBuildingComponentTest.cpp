// Construction: progress by the clock, the plot's range, highlight and tutorial,
// beginning by message 203 or the dialog's Yes, the stage models over the build
// time, the rise out of the ground, the dialog's texts and price, and the save block.
#include "code/components/BuildingFixture.h"

#include "support/ArchiveRoundTrip.h"

#include "components/BuildableBuildingComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "entities/PlayerStats.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameConstruct.h"
#include "Managers/LocalizationTable.h"

#include "engine/base/VArchive.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VMeshManager.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisLightSource.h"
#include "engine/core/VisWorld.h"
#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"

#include <cmath>
#include <string>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;

const char kSite[] = "models\\buildings\\construction_site.model";
// The shipyard model is 12 x 10, 8 high.
constexpr float kHalfLength = 6.0f;

class BuildableTest : public BuildingFixture {
 protected:
  // The shipyard plot of the stronghold: the final model, the site's stage models.
  BuildableBuildingComponent* MakePlot(float buildTime, bool withSpecial = true) {
    plot = MakeBuilding("scripts\\buildings\\shipyard.lua", "models\\buildings\\shipyard.model");
    if (withSpecial) {
      auto* special = new SpecialBuildingComponent();
      special->SetWindowType(WT_SHIPYARD);
      EXPECT_TRUE(plot->AddComponent(special));
    }
    auto* buildable = new BuildableBuildingComponent();
    buildable->SetBuildTime(buildTime);
    buildable->SetConstructionMeshFile(kSite);
    buildable->SetUpdateInterval(0.0f);
    buildable->SetUseWorldTime(true);
    EXPECT_TRUE(plot->AddComponent(buildable));
    return buildable;
  }
  UnitEntity* Near() { return MakeUnit(CHARACTER, kHalfLength + 1.0f); }
  static void SetClock(float t) { GameManager::GetInstance()->SetWorldTime(t); }
  void TearDown() override {
    VSoundManager::GlobalManager().SetInitialized(false);
    BuildingFixture::TearDown();
  }
  const char* Model() const { return plot->GetMesh() ? plot->GetMesh()->GetFilename() : ""; }
  BuildingBaseEntity* plot = nullptr;
};

TEST_F(BuildableTest, ProgressRunsFromTheStartOverTheBuildTime) {
  struct Case {
    float buildTime, start, now, progress;
  };
  const Case cases[] = {
      {100.0f, 10000.0f, 10000.0f, 0.0f}, {100.0f, 10000.0f, 10050.0f, 0.5f}, {100.0f, 10000.0f, 10100.0f, 1.0f},
      {100.0f, 10000.0f, 10500.0f, 1.0f}, {100.0f, 10000.0f, 9000.0f, 0.0f},  // a clock set back
      {0.0f, 5.0f, 5.0f, 1.0f},           {-3.0f, 5.0f, 5.0f, 1.0f},
  };
  for (const Case& c : cases) {
    BuildableBuildingComponent* buildable = MakePlot(c.buildTime, false);
    UnitEntity* character = Near();
    SetClock(c.start);
    Frames(1);
    EXPECT_EQ(buildable->GetProgress(), 0.0f) << "not begun";
    EXPECT_FALSE(buildable->IsContructing());
    plot->SendMsg(203);
    ASSERT_TRUE(buildable->IsContructing());
    EXPECT_EQ(buildable->GetStartTime(), c.start);
    SetClock(c.now);
    EXPECT_FLOAT_EQ(buildable->GetProgress(), c.progress) << c.buildTime << " " << c.now;
    plot->Remove();
    RemoveUnit(character);
  }
}

TEST_F(BuildableTest, BeginsOnlyWithThePlayersCharacterInRange) {
  BuildableBuildingComponent* buildable = MakePlot(60.0f);
  UnitEntity* character = MakeUnit(CHARACTER, kHalfLength + 2.0f);  // exactly at the distance
  MakeUnit(HERO, kHalfLength + 1.0f);                                // a hero does not count
  SetClock(100.0f);
  Frames(1);
  EXPECT_FALSE(buildable->IsInRange());
  EXPECT_FALSE(Highlighted(plot));
  plot->SendMsg(203);
  EXPECT_FALSE(buildable->IsContructing()) << "203 out of range does nothing";
  EXPECT_TRUE(TutorialManager::GetInstance()->GetQueue().empty());

  // In range: highlighted, and the tutorial page asked for once.
  character->SetPosition(VisVector_cl(kHalfLength + 1.0f, 0, 0));
  Frames(1);
  EXPECT_TRUE(buildable->CanConstruct());
  EXPECT_TRUE(Highlighted(plot));
  EXPECT_EQ(VEntityHighlightManager::GetInstance()->GetHighlightColour(plot), BuildableBuildingComponent::kHighlightColour);
  ASSERT_EQ(TutorialManager::GetInstance()->GetQueue().size(), 1u);
  EXPECT_STREQ(TutorialManager::GetInstance()->GetQueue()[0].AsChar(), BuildableBuildingComponent::kTutorial);
  character->SetPosition(VisVector_cl(50, 0, 0));
  Frames(1);
  EXPECT_FALSE(Highlighted(plot));
  TutorialManager::GetInstance()->ReleaseQueue();
  character->SetPosition(VisVector_cl(kHalfLength + 1.0f, 0, 0));
  Frames(1);
  EXPECT_TRUE(TutorialManager::GetInstance()->GetQueue().empty()) << "the first time only";

  VSoundManager::GlobalManager().SetInitialized(true);
  const int effects = VisParticleGroupManager_cl::GlobalManager().GetEffectCount();
  const int sounds = VSoundManager::GlobalManager().GetInstanceCount();
  plot->SetVisibleBitmask(0);
  plot->SendMsg(203);
  ASSERT_TRUE(buildable->IsContructing());
  EXPECT_EQ(buildable->GetStartTime(), 100.0f);
  EXPECT_EQ(plot->GetVisibleBitmask(), 0xffffffffu);
  EXPECT_FALSE(Highlighted(plot));
  ASSERT_EQ(VisParticleGroupManager_cl::GlobalManager().GetEffectCount(), effects + 1);
  VisParticleEffect_cl* dust = VisParticleGroupManager_cl::GlobalManager().GetEffect(effects);
  EXPECT_STREQ(dust->GetSourceEffect()->GetFilename(), BuildableBuildingComponent::kConstructionEffect);
  EXPECT_TRUE(dust->GetPosition().IsEqual(plot->GetPosition(), 1e-4f));
  ASSERT_EQ(VSoundManager::GlobalManager().GetInstanceCount(), sounds + 1);
  EXPECT_STREQ(VSoundManager::GlobalManager().GetInstance(sounds)->GetResource()->GetFileName(),
               BuildableBuildingComponent::kConstructionSound);

  // Once begun it is neither in range nor highlighted, and a second 203 changes nothing.
  SetClock(110.0f);
  plot->SendMsg(203);
  Frames(1);
  EXPECT_EQ(buildable->GetStartTime(), 100.0f);
  EXPECT_FALSE(buildable->CanConstruct());
  EXPECT_FALSE(Highlighted(plot));
}

TEST_F(BuildableTest, TheBuildingGrowsThroughTheStagesThatExistAndTakesItsModel) {
  BuildableBuildingComponent* buildable = MakePlot(100.0f);
  EXPECT_STREQ(buildable->GetFinalModelFile().AsChar(), "models\\buildings\\shipyard.model");
  // Stage files exist for 2, 4 and 5 only.
  ASSERT_EQ(buildable->GetStageCount(), 3);
  const char* const records[] = {"construction_site.model", "construction_site_2.model", "construction_site_4.model",
                                 "construction_site_5.model"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_NE(buildable->GetMeshRecord(i), nullptr) << i;
    EXPECT_NE(std::string(buildable->GetMeshRecord(i)->GetFilename()).find(records[i]), std::string::npos) << i;
  }
  EXPECT_EQ(buildable->GetMeshRecord(4), nullptr);

  auto parts = [&] { return VMeshManager::GetMergedPartCount(plot->GetMesh()); };
  UnitEntity* character = Near();
  SetClock(1000.0f);
  Frames(1);
  EXPECT_STREQ(Model(), BuildableBuildingComponent::kMergedModelName);
  EXPECT_EQ(parts(), 1) << "before the start only the construction mesh";
  EXPECT_EQ(VMeshManager::GetMergedPart(plot->GetMesh(), 0), buildable->GetMeshRecord(0));
  EXPECT_EQ(buildable->GetCurrentStage(), 0);

  plot->SendMsg(203);
  RemoveUnit(character);
  struct Step {
    float now;
    int stage;
  };
  // trunc(3 x progress + 0.5)
  for (const Step s : {Step{1010.0f, 0}, Step{1017.0f, 1}, Step{1050.0f, 2}, Step{1090.0f, 3}}) {
    SetClock(s.now);
    Frames(1);
    EXPECT_EQ(buildable->GetCurrentStage(), s.stage) << s.now;
    EXPECT_EQ(parts(), s.stage + 1) << s.now;
    EXPECT_EQ(VMeshManager::GetMergedPart(plot->GetMesh(), s.stage), buildable->GetMeshRecord(s.stage));
  }
  // The merged box spans the tallest stage.
  VisBoundingBox_cl box;
  plot->GetBoundingBox(box);
  EXPECT_FLOAT_EQ(box.m_vMax.z, 8.0f);

  SetClock(1100.0f);
  Frames(2);
  EXPECT_STREQ(Model(), "models\\buildings\\shipyard.model");
  EXPECT_EQ(plot->Components<BuildableBuildingComponent>(), nullptr) << "the finished building keeps no plot";
}

TEST_F(BuildableTest, WithoutABuildTimeTheBuildingRisesOutOfTheGround) {
  BuildableBuildingComponent* buildable = MakePlot(0.0f);
  Vision::Timer.SetFixedTimeStep(0.02f);
  EXPECT_EQ(buildable->GetStageCount(), 0);
  EXPECT_STREQ(Model(), kSite) << "the plot shows the construction mesh";
  EXPECT_FLOAT_EQ(buildable->GetRiseTarget(), 0.0f);
  EXPECT_FLOAT_EQ(buildable->GetRiseHeight(), -8.0f) << "one height of the building below";

  // A lamp and a fire on the building wait, off and paused, until it stands.
  auto* lamp = new VisLightSource_cl();
  Vision::World.AddLightSource(lamp);
  lamp->SetEnabled(false);
  lamp->AttachToParent(plot);
  VisParticleEffect_cl* fire = VisParticleGroupManager_cl::GlobalManager()
                                   .LoadFromFile(BuildableBuildingComponent::kConstructionEffect)
                                   ->CreateParticleEffectInstance(plot->GetPosition(), VisVector_cl(0, 0, 0));
  fire->SetPause(true);
  fire->AttachToParent(plot);

  UnitEntity* character = Near();
  Frames(3);
  EXPECT_EQ(plot->GetPosition().z, 0.0f) << "nothing rises before the start";
  plot->SendMsg(203);
  RemoveUnit(character);
  EXPECT_STREQ(Model(), "models\\buildings\\shipyard.model");

  float highest = -100.0f;
  int frames = 0;
  while (plot->Components<BuildableBuildingComponent>() && frames < 500) {
    Frames(1);
    ++frames;
    highest = std::max(highest, plot->GetPosition().z);
    if (plot->Components<BuildableBuildingComponent>() && plot->Components<BuildableBuildingComponent>()->IsRising()) {
      EXPECT_FALSE(lamp->IsEnabled());
      EXPECT_TRUE(fire->IsPaused());
    }
  }
  EXPECT_TRUE(lamp->IsEnabled());
  EXPECT_FALSE(fire->IsPaused());
  EXPECT_NEAR(lamp->GetPosition().z, plot->GetPosition().z, 1e-4f) << "the lamp rose with it";
  ASSERT_EQ(plot->Components<BuildableBuildingComponent>(), nullptr) << "settled within 10 s";
  EXPECT_GT(frames, 10);
  EXPECT_GT(highest, 0.0f) << "it may overshoot: nothing stops it at the target";
  EXPECT_NEAR(plot->GetPosition().z, 0.0f, 0.05f);
  float built = 0.0f;
  ASSERT_TRUE(AchievementManager::GetInstance()->GetValue(BuildableBuildingComponent::kRiseAchievement, built));
  EXPECT_EQ(built, 1.0f);
}

// ---- the construction dialog --------------------------------------------------------------

TEST_F(BuildableTest, TheDialogAsksWithNameProvisionAndPriceAndYesBuildsAndPays) {
  BuildableBuildingComponent* buildable = MakePlot(60.0f);
  Near();
  SetClock(50.0f);
  Frames(1);
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  ASSERT_NE(player, nullptr);
  player->AddMoney(800 - player->GetMoney());

  buildable->ShowFrame();
  auto* dialog = Get<FrameConstruct>(WT_CONSTRUCT);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->GetPlot(), buildable);
  EXPECT_TRUE(dialog->GetRootWindow()->isVisible());
  EXPECT_EQ(dialog->GetPrice(), 500);
  EXPECT_EQ(CeguiCompat::ToUtf8(dialog->GetDescriptionWindow()->getText()),
            "Build the Shipyard here? It provides ships and repairs.\nIt costs 500 gold.");
  EXPECT_FALSE(dialog->GetYesButton()->isDisabled());

  Click(dialog->GetYesButton());
  EXPECT_TRUE(buildable->IsContructing());
  EXPECT_EQ(player->GetMoney(), 300);
  EXPECT_TRUE(dialog->isRequestingRemove());
  SceneFrame();
  EXPECT_EQ(gui->FindWindowA(WT_CONSTRUCT), nullptr);
}

TEST_F(BuildableTest, ThePriceGreysYesWhenThePlayerCannotPay) {
  BuildableBuildingComponent* buildable = MakePlot(60.0f, false);
  PlayerStats* player = GameSessionManager::GetInstance()->GetPlayer();
  player->AddMoney(499 - player->GetMoney());
  ASSERT_TRUE(plot->SetScriptValue("sName", ""));
  buildable->ShowFrame();
  auto* dialog = Get<FrameConstruct>(WT_CONSTRUCT);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->GetYesButton()->isDisabled());
  EXPECT_EQ(std::string(dialog->GetComponent("Construct/Window/ButtonYes/Text")->getProperty("TextColours").c_str()),
            "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000");
  EXPECT_EQ(std::string(dialog->GetComponent("Construct/Window/ButtonYes/Text1")->getProperty("TextColours").c_str()),
            "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC");
  // Without a name of its own, nor a building kind, the plot is a plain "building".
  EXPECT_EQ(CeguiCompat::ToUtf8(dialog->GetDescriptionWindow()->getText()),
            "Build the building here? It provides ships and repairs.\nIt costs 500 gold.");

  // No closes without building or paying.
  Click(dialog->GetComponent("Construct/Window/ButtonNo"));
  EXPECT_FALSE(buildable->IsContructing());
  EXPECT_EQ(player->GetMoney(), 499);
  EXPECT_TRUE(dialog->isRequestingRemove());
}

TEST_F(BuildableTest, APlotThatGoesClosesItsDialog) {
  BuildableBuildingComponent* buildable = MakePlot(60.0f);
  buildable->ShowFrame();
  auto* dialog = Get<FrameConstruct>(WT_CONSTRUCT);
  ASSERT_NE(dialog, nullptr);
  plot->RemoveComponent(buildable);
  buildable->DisposeObject();
  EXPECT_EQ(dialog->GetPlot(), nullptr);
  EXPECT_TRUE(dialog->isRequestingRemove());
  // Nothing is left to call, nor to pay for.
  const int money = GameSessionManager::GetInstance()->GetPlayer()->GetMoney();
  dialog->ButtonYesClicked(CEGUI::EventArgs());
  EXPECT_EQ(GameSessionManager::GetInstance()->GetPlayer()->GetMoney(), money);
}

// ---- the save block -----------------------------------------------------------------------

TEST_F(BuildableTest, TheBlockRoundTripsAndAPassedBuildTimeCompletesOnLoad) {
  BuildableBuildingComponent* buildable = MakePlot(100.0f);
  Near();
  SetClock(2000.0f);
  Frames(1);
  plot->SendMsg(203);
  BuildableBuildingComponent fresh;
  Bytes written;
  ASSERT_TRUE(archive_test::RoundTripSerialize(*buildable, fresh, &written));
  EXPECT_EQ(fresh.GetStartTime(), 2000.0f);
  EXPECT_EQ(fresh.GetBuildTime(), 100.0f);
  EXPECT_STREQ(fresh.GetConstructionMeshFile().AsChar(), kSite);
  EXPECT_STREQ(fresh.GetFinalModelFile().AsChar(), "models\\buildings\\shipyard.model");

  // Read back after the build time has passed, the building is complete at once.
  SetClock(2500.0f);
  auto* loaded = new BuildableBuildingComponent();
  {
    archive_test::ReadArchive ar(written);
    loaded->Serialize(*ar);
    ASSERT_TRUE(ar->IsOK());
  }
  BuildingBaseEntity* other = MakeBuilding("", kSite);
  ASSERT_TRUE(other->AddComponent(loaded));
  EXPECT_STREQ(other->GetMesh()->GetFilename(), "models\\buildings\\shipyard.model");
  Frames(1);
  EXPECT_EQ(other->Components<BuildableBuildingComponent>(), nullptr);
}

TEST_F(BuildableTest, ADamagedBlockChangesNothing) {
  const Bytes cases[] = {
      // a text longer than the block
      ByteWriter().Str("ARCH").U8(2).F32(5).F32(7).F32(9).F32(2).I32(1 << 30).Get(),
      ByteWriter().Str("ARCH").U8(2).F32(5).F32(7).F32(9).F32(2).Str("a").Str("b").I32(0).Str("EOB").Get(),
      ByteWriter().Str("ARCH").U8(3).Get(),
      ByteWriter().Str("ARHC").Get(),
  };
  for (const Bytes& block : cases) {
    BuildableBuildingComponent reader;
    archive_test::ReadArchive ar(block);
    reader.Serialize(*ar);
    EXPECT_FALSE(ar->IsOK());
    EXPECT_EQ(reader.GetStartTime(), 0.0f);
    EXPECT_EQ(reader.GetBuildTime(), 120.0f);
    EXPECT_STREQ(reader.GetConstructionMeshFile().AsChar(), "");
  }
}

}  // namespace
