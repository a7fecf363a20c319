// The whole save-game file over arbitrary bytes, in a campaign of the bundled data
// with the GUI headless: the file's check, and for what it lets through the read
// into a freshly started campaign (end, start, read, as a load from the screens
// does). No crash, no sanitizer report, no leak; a file that reads whole is played
// for a frame and written again, and what it writes passes the check.
//
// Seeds: FUZZ_WRITE_SEEDS=<folder> writes the save of a freshly started campaign into
// the folder and ends the program. The richer seed comes from the round-trip test's
// campaign (tests/code/Managers/SaveGameFileTest.cpp), which writes its save where
// FUZZ_WRITE_SAVE_SEED names.
// fuzz-libs: Tidework
#include "support/CampaignShutdown.h"
#include "support/GuiTestEnvironment.h"

#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "core/VisMainApp.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/os/VOs.h"
#include "engine/physics/vPhysXModule.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

// Lives until the process ends: its engine must not be shut down by static
// destruction after the engine's own statics are gone.
GuiTestEnvironment* g_env = new GuiTestEnvironment();
GUIManager* g_gui = nullptr;
std::string g_documents;
// The campaign was read into (or began to be): the next read needs a fresh one.
bool g_campaignUsed = false;

void SceneFrame() {
  Vision::Timer.Update();
  BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
  GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  g_env->RenderGui();
  BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
  GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
}

// A new campaign as the main menu starts it.
void StartCampaign() {
  g_gui->ShowFrame(WT_BATTLE_HUD);
  MissionManager::GlobalManager().StartCampaign();
  for (int i = 0; i < 3; ++i) SceneFrame();
}

// At the end of the run, before the engine's statics go: the campaign ends and the
// game and engine shut down as the program does.
void Shutdown() {
  EndCampaignAndStopGame();
  vPhysXModule* physics = vPhysXModule::GetInstance();
  vPhysXModule::SetInstance(nullptr);
  delete physics;
  Vision::GetScriptManager()->Reset();
  g_env->Stop();
  std::filesystem::remove_all(g_documents);
}

}  // namespace

// A started campaign takes most of the run's memory budget: the sanitizer's
// quarantine of freed memory is kept small so that a campaign per input fits in it.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/fuzz_save_file_XXXXXX";
  Require(mkdtemp(folder) != nullptr);
  g_documents = folder;
  setenv("ENGINE_DOCUMENTS_DIR", folder, 1);

  g_env->Start(0.02f);
  g_gui = g_env->StartGui();
  Require(g_gui->IsInitialized());
  g_gui->InitLayouts();
  Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
  VLocalTime t;
  t.year = 2011, t.month = 5, t.day = 9, t.hour = 14, t.minute = 7, t.second = 3, t.milliseconds = 45;
  VSetFixedLocalTime(&t);
  vPhysXModule::SetInstance(new vPhysXModule());
  srand(7);
  RegisterLuaBindings();
  RtsManager::GlobalManager().OneTimeInit();
  GameManager::GetInstance()->OneTimeInit();
  Require(Vision::GetScriptManager()->GetGameScript() != nullptr);
  StartCampaign();
  atexit(&Shutdown);

  if (const char* seeds = getenv("FUZZ_WRITE_SEEDS")) {
    const std::vector<uint8_t> bytes = SaveGameManagerProto::GetInstance()->WriteSaveGameBytes();
    const std::string path = std::string(seeds) + "/campaign_start.gam";
    FILE* f = fopen(path.c_str(), "wb");
    Require(f != nullptr && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    fclose(f);
    exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  const std::vector<uint8_t> bytes(data, data + size);
  // A refused file leaves the game as it was: the campaign stays fresh.
  if (!saves->CheckSaveGameBytes(bytes)) return 0;
  if (g_campaignUsed) {
    MissionManager::GlobalManager().EndCampaign(false, false);
    StartCampaign();
  }
  g_campaignUsed = true;
  if (!saves->ReadSaveGameBytes(bytes)) return 0;
  SceneFrame();
  Require(saves->CheckSaveGameBytes(saves->WriteSaveGameBytes()));
  return 0;
}
