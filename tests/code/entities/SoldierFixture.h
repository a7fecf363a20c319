// Shared set-up of the soldier tests: a scratch data folder with the game's script
// classes registered, a small soldier model with the sequences and events the states
// play, soldiers with records, and a fixed frame step.
#pragma once

#include "support/ScriptBindingFixture.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/NoiseManagerProto.h"
#include "core/VEntityHighlightManager.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

#include <memory>
#include <string>
#include <vector>

class SoldierFixture : public ScriptBindingFixture {
 protected:
  static constexpr float kStep = 0.25f;

  void SetUp() override {
    ScriptBindingFixture::SetUp();
    m_mesh = new VDynamicMesh("soldier.model");
    ASSERT_TRUE(m_mesh->LoadFromXml(
        "<model><bbox min=\"-0.4/-0.4/0\" max=\"0.4/0.4/1.8\"/>"
        "<bone name=\"Bip01\" position=\"0/0/0.95\"/>"
        "<bone name=\"Bip01 Pelvis\" parent=\"Bip01\" position=\"0/0/0.95\"/>"
        "<bone name=\"Bip01 Head\" parent=\"Bip01\" position=\"0/0/1.6\"/>"
        "<bone name=\"weapon01\" parent=\"Bip01\" position=\"-0.3/-0.1/0.9\"/>"
        "<sequence name=\"Idle\" length=\"2.0\"/>"
        "<sequence name=\"Run\" length=\"0.8\"/>"
        "<sequence name=\"Attack\" length=\"1.0\"><event time=\"0.2\" name=\"trail_start\"/>"
        "<event time=\"0.45\" name=\"attack\"/><event time=\"0.7\" name=\"trail_end\"/>"
        "<event time=\"1.0\" name=\"end\"/></sequence>"
        "<sequence name=\"Attack1\" length=\"0.9\"><event time=\"0.4\" name=\"attack1\"/>"
        "<event time=\"0.9\" name=\"end\"/></sequence>"
        "<sequence name=\"Attack2\" length=\"1.2\"><event time=\"0.6\" name=\"attack2\"/>"
        "<event time=\"1.2\" name=\"end\"/></sequence>"
        "<sequence name=\"Die\" length=\"1.5\"/>"
        "</model>"));
    m_fOldMaxStep = Vision::Timer.GetMaxTimeDifference();
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Timer.SetFixedTimeStep(kStep);
    Vision::Timer.Update();
  }

  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    m_records.clear();
    m_mesh = nullptr;
    GameSessionManager::CleanInstance();
    AchievementManager::CleanInstance();
    ArtifactManager::CleanInstance();
    FogOfWarManager::CleanInstance();
    NoiseManagerProto::CleanInstance();
    if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::Shutdown();
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.SetMaxTimeDifference(m_fOldMaxStep);
    ScriptBindingFixture::TearDown();
  }

  // A soldier at the position, with the test model and a record of 100 hit points.
  SoldierEntity* MakeSoldier(const VisVector_cl& position = VisVector_cl(0, 0, 0), bool withMesh = true,
                             bool withStats = true) {
    auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", position));
    if (withMesh) soldier->SetMesh(m_mesh);
    if (withStats) {
      m_records.push_back(std::make_unique<SoldierStats>());
      SoldierStats* stats = m_records.back().get();
      stats->m_Hitpoints.SetMaximum(100);
      stats->m_Hitpoints.SetCurrent(100);
      soldier->SetStats(stats);
    }
    return soldier;
  }

  // Attaches a script written to the scratch folder.
  void GiveScript(SoldierEntity* soldier, const std::string& code) {
    std::string name = "scripts/soldier" + std::to_string(m_scripts++) + ".lua";
    Write(name, code);
    ASSERT_TRUE(soldier->SetAIScript(name.c_str()));
  }

  // The sequence the soldier's animation plays, or "" for none.
  static std::string Playing(const SoldierEntity* soldier) {
    VisAnimConfig_cl* config = soldier->GetAnimConfig();
    VisSkeletalAnimControl_cl* control = config ? config->GetSkeletalAnimControl() : nullptr;
    return control && control->GetSequence() ? control->GetSequence()->GetName() : "";
  }

  static State<SoldierEntity>* Current(const SoldierEntity* soldier) {
    return soldier->GetStateMachine() ? soldier->GetStateMachine()->GetCurrentState() : nullptr;
  }

  // One frame of the soldier's states, as its unit runs them.
  static void Step(SoldierEntity* soldier, float dt = kStep) {
    if (soldier->GetStateMachine()) soldier->GetStateMachine()->Update(dt);
  }

  VSmartPtr<VDynamicMesh> m_mesh;
  std::vector<std::unique_ptr<SoldierStats>> m_records;
  int m_scripts = 0;
  float m_fOldMaxStep = 0.0f;
};
