// Fixture of the audio manager tests: the bundled sounds, a started sound plug-in,
// fixed frames, fresh managers and an ordinary seeded random source.
#pragma once

#include "support/LogCapture.h"
#include "support/SoundTestEnvironment.h"

#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "util/MathTools.h"

#include "engine/os/VOs.h"
#include "engine/sound/VSoundManager.h"

#include <gtest/gtest.h>

#include <string>

class AudioFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanManagers();
    VSeedRandom(20240611u);
  }
  void TearDown() override {
    CleanManagers();
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
  }
  static void CleanManagers() {
    SoundManager::CleanInstance();
    MusicManager::CleanInstance();
    SpeechManager::CleanInstance();
  }

  static std::string FileOf(const VSoundObject* obj) {
    return obj && obj->GetResource() ? obj->GetResource()->GetFileName() : std::string();
  }
  static VSoundManager& Plugin() { return VSoundManager::GlobalManager(); }

  SoundTestEnvironment env;
};
