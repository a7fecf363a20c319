// The land radar's saved list goes through the saved game unchanged.
#include "support/ArchiveRoundTrip.h"

#include "Managers/LandRadarManager.h"

#include <gtest/gtest.h>

namespace {

using archive_test::ByteWriter;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

class LandRadarManagerBlock : public ::testing::Test {
 protected:
  void TearDown() override { LandRadarManager::CleanInstance(); }
  LandRadarManager& Radar() { return *LandRadarManager::GetInstance(); }
};

TEST_F(LandRadarManagerBlock, TheSavedListReadsBackAsWritten) {
  Radar().GetSavedList() = {7, -3, 2000000000};
  const auto bytes = SaveBytes([&](VArchive& ar) { Radar().SerializeX(ar); });
  Radar().GetSavedList() = {1};
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { EXPECT_TRUE(Radar().SerializeX(ar)); }));
  EXPECT_EQ(Radar().GetSavedList(), (std::vector<int32_t>{7, -3, 2000000000}));
  EXPECT_EQ(SaveBytes([&](VArchive& ar) { Radar().SerializeX(ar); }), bytes);
}

TEST_F(LandRadarManagerBlock, AnOldOrDamagedBlockKeepsTheList) {
  struct Case {
    const char* what;
    ByteWriter block;
    bool ok;
  };
  Case cases[] = {
      {"version 0 carries no list", ByteWriter().Str("ARCH").U8(0).Str("EOA"), true},
      {"a length beyond the bytes left", ByteWriter().Str("ARCH").U8(1).I32(1000000).I32(5).Str("EOA"), false},
      {"a negative length", ByteWriter().Str("ARCH").U8(1).I32(-1).Str("EOA"), false},
      {"a newer version", ByteWriter().Str("ARCH").U8(2).I32(0).Str("EOA"), false},
      {"a wrong end tag", ByteWriter().Str("ARCH").U8(1).I32(1).I32(9).Str("EOX"), false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    Radar().GetSavedList() = {4, 5};
    archive_test::ReadArchive ar(c.block.Get());
    EXPECT_EQ(Radar().SerializeX(*ar), c.ok);
    EXPECT_EQ(ar->IsOK(), c.ok);
    EXPECT_EQ(Radar().GetSavedList(), (std::vector<int32_t>{4, 5}));
  }
}

}  // namespace

// The land radar's masks on the screen border.
#include "support/GuiTestEnvironment.h"

#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"
#include "engine/core/VisRenderContext.h"

namespace {

const char* const kMarker = "gui\\textures\\radar\\LandRadarMarker.png";

class LandRadarManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    context->SetCameraPosition(VisVector_cl(0, 0, 0));
    context->SetCameraRotation(VisMatrix3x3_cl());
    context->SetFOV(90.0f, 0.0f);
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->SetLocation(1);
    auto* hero = new UnitEntity();
    hero->SetEntityKey("PlayerCharacter");
    hero->SetNation(RtsManager::GlobalManager().GetPlayerNation());
    BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, hero);
    GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  }
  void TearDown() override {
    LandRadarManager::CleanInstance();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    RtsManager::GlobalManager().OneTimeDeInit();
    GameManager::CleanInstance();
    env.Stop();
  }
  GuiTestEnvironment env;
  LandRadarManager* radar = LandRadarManager::GetInstance();
};

TEST_F(LandRadarManagerTest, AMaskShowsOnTheBorderOnlyWhileItsEntityIsOffScreen) {
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(100, 0, 0));
  radar->Add(entity, kMarker);
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  VisScreenMask_cl* mask = radar->GetMarker(0)->mask;
  EXPECT_EQ(mask->GetOrder(), LandRadarManager::MASK_ORDER);
  EXPECT_EQ(mask->GetTransparency(), VIS_TRANSP_ALPHA);
  radar->Update();
  EXPECT_FALSE(mask->IsVisible());

  struct Case {
    const char* what;
    VisVector_cl at;
    float x, y;  // the mask's top-left corner on the border
  } cases[] = {
      {"right", VisVector_cl(100, -1000, 0), 1280.0f - 51.0f, 360.0f},
      {"left", VisVector_cl(100, 1000, 0), -13.0f, 360.0f},
      {"above", VisVector_cl(100, 0, 1000), 640.0f, -18.0f},
      {"behind, to the left", VisVector_cl(-100, 50, 0), -13.0f, 360.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    entity->SetPosition(c.at);
    radar->Update();
    float x = 0, y = 0;
    mask->GetPos(x, y);
    EXPECT_TRUE(mask->IsVisible());
    EXPECT_NEAR(x, c.x, 0.5f);
    EXPECT_NEAR(y, c.y, 0.5f);
  }

  radar->Remove(entity);
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  radar->Remove(entity);  // none left: nothing
}

TEST_F(LandRadarManagerTest, OneMarkerPerEntityWithItsFirstTextureAndNoneForMissingArguments) {
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(100, 0, 0));
  radar->Add(nullptr, kMarker);
  radar->Add(entity, nullptr);
  radar->Add(entity, "");
  EXPECT_EQ(radar->GetNumMarkers(), 0);
  radar->Add(entity, kMarker);
  radar->Add(entity, "gui\\textures\\radar\\Other.png");
  ASSERT_EQ(radar->GetNumMarkers(), 1);
  EXPECT_STREQ(radar->GetMarker(0)->mask->GetTextureObject()->GetFilename(), kMarker);
}

TEST_F(LandRadarManagerTest, TownsNeverShowOnLand) {
  VisBaseEntity_cl* town = Vision::Game.CreateEntity("TownEntity", VisVector_cl(100, -1000, 0));
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(100, -1000, 0));
  ASSERT_NE(town, nullptr);
  radar->Add(town, kMarker);
  radar->Add(other, kMarker);
  radar->Update();
  EXPECT_FALSE(radar->FindMarker(town)->mask->IsVisible());
  EXPECT_TRUE(radar->FindMarker(other)->mask->IsVisible());
}

}  // namespace
