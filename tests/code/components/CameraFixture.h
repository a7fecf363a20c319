// Fixture of the camera tests: a "CameraEntity" of the camera entity class and
// engine frames of a fixed length in the engine's order (scene update, think pass,
// the camera callback, the main camera following its entity).
#pragma once

#include "entities/CameraEntity.h"
#include "support/NavalScenario.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

class CameraFixture : public ::testing::Test {
 protected:
  static constexpr float kStep = 1.0f / 60.0f;

  void SetUp() override {
    naval_scenario::StartFixedStep(20240611u, kStep);
    Vision::Key.Reset();
    camera = static_cast<CameraEntity_cl*>(Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(0, 0, 0)));
    camera->SetEntityKey("CameraEntity");
  }
  void TearDown() override {
    Vision::Key.Reset();
    Vision::Mouse.Poll();  // no wheel turn left for the next test
    Vision::Mouse.Poll();
    Vision::Camera.Detach();
    Vision::Game.RemoveAllEntities();
    naval_scenario::CleanBattleManagers();
    naval_scenario::EndFixedStep();
  }

  static void Frame() {
    Vision::Key.Poll();
    Vision::Mouse.Poll();
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
    Vision::Camera.Update();
    Vision::Game.FreeRemovedEntities();
  }
  static void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }

  CameraEntity_cl* camera = nullptr;
};
