// Game manager: start and end of the game side, the engine callbacks, the hot
// keys, the per-frame update, nations, weapons and the scene collectables.
#include "core/GameManager.h"

#include "Managers/AchievementManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TutorialManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "components/HealthBarComponent.h"
#include "components/NameTagComponent.h"
#include "core/ComponentMessages.h"
#include "core/MouseInputHandler.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "core/VModelScheduler.h"
#include "core/VisMainApp.h"
#include "entities/AnimalEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/TownEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/FrameMap.h"
#include "gui/GUIManager.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"
#include "engine/core/VisLightSource.h"

#include <limits>
#include <utility>

CallbackManager GameManager::Callbacks;

namespace {
const char* const kGameScript = "scripts\\GameScript.lua";

enum HotKey {
  SC_MAP = 50,
  SC_CHARACTER = 46,
  SC_INVENTORY = 23,
  SC_CAPTAINS_LOG = 38,
  SC_TOOLBOX = 20,
  SC_RUM_POTION = 34,
  SC_FOLLOW_CAMERA = 33,
  SC_TUTORIALS = 59,
};
// Keys that count once per press: M, C, L, I, T, G and F. F1 stays a held key.
const int kSingleHitScanCodes[] = {SC_MAP,     SC_CHARACTER,  SC_CAPTAINS_LOG, SC_INVENTORY,
                                   SC_TOOLBOX, SC_RUM_POTION, SC_FOLLOW_CAMERA};
// Engine key code of the name-tag key.
const int kKeyNameTags = VGLK_NAMETAG;
// Input-map trigger of the left control key.
const int kTriggerLeftControl = 25;

// Achievement values and achievements the update drives.
const BrinemarkAchievements kAchLowHullSeconds = 26;
const BrinemarkAchievements kAchSecondsWithoutMission = 13;
const BrinemarkAchievements kAchTwentyShips = 39;

const float kNameTagRange = 125.0f;
const float kSeagullRange = 100.0f;
const float kHealthBarSeconds = 3.0f;
const float kMaxTimeStep = 0.0666f;
const int kEditorPlayMode = 3;

// The scene whose eyepatches are all placed by its own script.
const char* const kCaveScene = "sl_brinemark_cave";

// The scene file's name without folder and extension.
VString SceneName(const char* file) {
  std::string name = file ? file : "";
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return VString(name);
}

void RemoveEntities(const VisEntityCollection_cl& entities) {
  for (VisBaseEntity_cl* entity : entities)
    if (entity && !entity->IsMarkedRemoved()) entity->Remove();
}

// Calls a function of the entity's script, when it has one.
void CallEntityScript(VisBaseEntity_cl* entity, const char* function) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(entity) : nullptr;
  if (script && script->HasFunction(function)) script->ExecuteFunctionArg(function, "*");
}

// Readies a collectable that stays in the scene.
void ActivateCollectable(CollectableEntity* collectable) {
  collectable->InitCollectableItem();
  CallEntityScript(collectable, "OnCreate");
  collectable->StartHighlightEffect();
}
}  // namespace

// Entities are followed for as long as the manager keeps pointers to them.
GameManager::GameManager() : m_nations(32, nullptr) { Callbacks.OnEntityDestroyed.RegisterCallback(this); }

GameManager::~GameManager() {
  Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  OneTimeDeInit();
  m_weapons.clear();
  m_spSeagullSound = nullptr;
  ResetNations();
}

// Start and end -----------------------------------------------------------------

void GameManager::OneTimeInit() {
  m_bPlayTheGame = false;
  m_fCampaignEndCountdown = 0.0f;

  TutorialManager::GetInstance();
  RegisterEngineCallbacks(true);
  if (!m_pMouseInputHandler) m_pMouseInputHandler = new MouseInputHandler(RtsManager::GlobalManager().GetPlayer());

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (scripts && !scripts->GetGameScript()) {
    if (IVScriptInstance* game = scripts->CreateScriptInstanceFromFile(kGameScript)) scripts->SetGameScript(game);
  }
  InitNations();
  InitWeapons();

  if (!m_pNavigation) m_pNavigation = new Navigation();
  for (int scanCode : kSingleHitScanCodes) Vision::Key.SetSingleHitMode_SC(scanCode, true);
}

void GameManager::OneTimeDeInit() {
  delete m_pNavigation;
  m_pNavigation = nullptr;
  GUIManager::CleanInstance();
  TutorialManager::CleanInstance();
  BattleManager::CleanInstance();
  SpeechManager::CleanInstance();
  RegisterEngineCallbacks(false);
  delete m_pMouseInputHandler;
  m_pMouseInputHandler = nullptr;
  ResetNations();
}

void GameManager::RegisterEngineCallbacks(bool on) {
  if (on == m_bCallbacksRegistered) return;
  m_bCallbacksRegistered = on;
  VCallback* callbacks[] = {&Vision::Callbacks.OnEditorModeChanged,  &Vision::Callbacks.OnWorldDeInit,
                            &Vision::Callbacks.OnAfterSceneLoaded,   &Vision::Callbacks.OnEngineDeInit,
                            &Vision::Callbacks.OnUpdateSceneBegin,   &Vision::Callbacks.OnScriptThink,
                            &Vision::Callbacks.OnTerrainSectorCreated};
  for (VCallback* callback : callbacks) {
    if (on)
      callback->RegisterCallback(this);
    else
      callback->DeregisterCallback(this);
  }
}

// Engine callbacks ---------------------------------------------------------------

void GameManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  VCallback* sender = data->m_pSender;

  if (sender == &Vision::Callbacks.OnUpdateSceneBegin) {
    ProcessKeys();
    Update();
  } else if (sender == &Vision::Callbacks.OnScriptThink) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
    if (game && !scripts->IsSuspended() && game->HasFunction("OnThink")) game->ExecuteFunctionArg("OnThink", "");
  } else if (sender == &Vision::Callbacks.OnEditorModeChanged) {
    if (static_cast<VisEditorModeChangedDataObject_cl*>(data)->m_eNewMode != kEditorPlayMode) SetPlayTheGame(false);
  } else if (sender == &Callbacks.OnEntityDestroyed) {
    // The towns zone can go without the world; the highlighter forgets the town itself.
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == static_cast<VisBaseEntity_cl*>(m_pNearestTown))
      m_pNearestTown = nullptr;
  } else if (sender == &Vision::Callbacks.OnWorldDeInit) {
    // The engine world raises its unloading flag itself before it calls us.
    if (m_pNearestTown) {
      if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->RemoveHighlight(m_pNearestTown);
      m_pNearestTown = nullptr;
    }
  } else if (sender == &Vision::Callbacks.OnAfterSceneLoaded) {
    if (!Vision::Editor.IsInEditor() || Vision::Editor.IsPlayingTheGame()) SetPlayTheGame(true);
    Vision::Timer.SetMaxTimeDifference(kMaxTimeStep);
    ShiftLightPhases();
  } else if (sender == &Vision::Callbacks.OnEngineDeInit) {
    SetPlayTheGame(false);
    ShutdownModelProxies();
  }
  // Terrain sectors: the stand-in's flat terrain creates none.
}

// Play the game ------------------------------------------------------------------

void GameManager::SetPlayTheGame(bool play) {
  if (play == m_bPlayTheGame) return;
  m_bPlayTheGame = play;

  if (play) {
    if (Vision::Editor.IsInEditor() && !GUIManager::GetInstance()->IsInitialized())
      GUIManager::GetInstance()->Init(VVideo::GetD3DDevice());
    InitCollectables();
    if (vPhysXModule* physics = vPhysXModule::GetInstance()) physics->SetGlobalGravity(VisVector_cl(0.0f, 0.0f, -9.8f));
    SpeechManager::GetInstance();
    return;
  }

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (IVScriptInstance* scene = scripts ? scripts->GetSceneScript() : nullptr)
    if (scene->HasFunction("DeInit")) scene->ExecuteFunctionArg("DeInit", "");
  BattleManager::CleanInstance();
  SpeechManager::CleanInstance();
  if (Vision::Editor.IsInEditor()) {
    GUIManager::CleanInstance();
    BattleManager::GetInstance()->ResetBattle();
  }
}

// Per-frame update ---------------------------------------------------------------

void GameManager::Update() {
  if (!m_bPlayTheGame) return;
  const float dt = Vision::Timer.GetTimeDifference();

  if (IsPlayerAtSea()) m_bCanTeleport = true;

  // The automatic save waits while the loading screen shows.
  if (SaveGameManagerProto::HasInstance() && SaveGameManagerProto::GetInstance()->IsAutoSaveRequested()) {
    const bool loading = GUIManager::HasInstance() && GUIManager::GetInstance()->IsLoadingScreenVisible();
    if (!loading) SaveGameManagerProto::GetInstance()->AutoSave();
  }

  VisBaseEntity_cl* player = GetPlayerEntity();
  if (Vision::Renderer.IsRendererRunning() && m_bLowHitPoints) {
    if (GUIManager::HasInstance()) GUIManager::GetInstance()->ShowLowHPOverlay();
    // Only a bar made now is shown; one the player already has keeps its own time.
    if (m_iLocation != 1 && player && !player->Components<HealthBarComponent>()) {
      if (HealthBarComponent* bar = ComponentSetup::AddNew<HealthBarComponent>(player)) bar->Show(kHealthBarSeconds);
    }
  }

  VInputMap* input = VisMainApp::GetInputMap();
  RtsManager::GlobalManager().SetLeftControlDown(input && input->GetTrigger(kTriggerLeftControl) != 0.0f);

  if (IsPlayerAtSea()) {
    m_fWorldTime += dt;
    UpdateSeagulls(player);

    AchievementManager* achievements = AchievementManager::GetInstance();
    ShipEntity* ship = player && player->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(player) : nullptr;
    if (ship && ship->GetStats()) {
      const Hitpoints& hull = ship->GetStats()->GetHull();
      if ((float)hull.GetCurrent() > 0.5f * (float)hull.GetMaximum()) {
        m_bLowHitPoints = false;
        achievements->SetValue(kAchLowHullSeconds, 0.0f, true);
      } else {
        m_bLowHitPoints = true;
        if ((float)hull.GetCurrent() <= 0.2f * (float)hull.GetMaximum()) achievements->IncValue(kAchLowHullSeconds, dt, true);
      }
    }

    if (player && Vision::Key.IsPressed(kKeyNameTags)) {
      DynArray_cl<ShipEntity*> ships;
      BattleManager::GetInstance()->GetShipsWithinRange(player->GetPosition(), kNameTagRange, &ships);
      const unsigned count = ships.GetValidSize();
      for (unsigned i = 0; i < count; ++i) {
        if (ShipEntity* near = ships.Get(i)) ComponentSetup::TakeOrAdd<NameTagComponent>(near);
      }
    }

    if (!PauseManager::GetInstance()->IsAnyPaused()) {
      if (MissionManager::GlobalManager().GetOngoingMissions().empty()) {
        achievements->IncValue(kAchSecondsWithoutMission, dt, true);
      } else {
        achievements->SetValue(kAchSecondsWithoutMission, 0.0f, true);
        achievements->CheckAchievements();
      }
    }

    if (const Nation* own = GetPlayerNation()) {
      const DynArray_cl<ShipEntity*>& ships = own->GetShips();
      int count = 0;
      for (unsigned i = 0, used = ships.GetValidSize(); i < used; ++i)
        if (ships.Get(i)) ++count;
      if (count >= 20) achievements->SetAchievement(kAchTwentyShips);
    }
  } else if (player && player->IsOfType(UnitEntity::GetClassTypeId())) {
    // On land the hero's hit points count: those of the unit's first soldier.
    const SoldierEntity* hero = static_cast<UnitEntity*>(player)->GetSoldierAtIndex(0);
    const SoldierStats* stats = hero ? hero->GetStats() : nullptr;
    if (stats && stats->m_Hitpoints.IsTracked())
      m_bLowHitPoints = (float)stats->m_Hitpoints.GetCurrent() <= 0.5f * (float)stats->m_Hitpoints.GetMaximum();
  }

  if (m_pMouseInputHandler) m_pMouseInputHandler->Update();
  UpdateNearestTown();
  UpdateWindForCloths();
  UpdateCountdowns(dt);

  if (!m_sTeleportTarget.IsEmpty() && m_bCanTeleport) {
    const VString target = m_sTeleportTarget;
    Teleport(target);
    m_sTeleportTarget.Reset();
  }

  if (GUIManager::HasInstance()) GUIManager::GetInstance()->UpdateDelayAfterConversation();
}

void GameManager::UpdateCountdowns(float dt) {
  if (m_fNearTownCountdown > 0.0f) m_fNearTownCountdown -= dt;

  if (m_fCampaignEndCountdown != 0.0f) {
    m_fCampaignEndCountdown -= dt;
    if (m_fCampaignEndCountdown < 0.0f) {
      m_fCampaignEndCountdown = 0.0f;
      MissionManager::GlobalManager().EndCampaign(true, false);
    }
  }

  if (m_fPlayerDiedCountdown != 0.0f) {
    m_fPlayerDiedCountdown -= dt;
    VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
    Vision::Camera.SetPosition(Vision::Camera.GetPosition() + main->GetCameraDirection() * (5.0f * dt));
    if (m_fPlayerDiedCountdown < 0.0f) {
      m_fPlayerDiedCountdown = 0.0f;
      // The newest save is loaded; without one that loads the campaign starts afresh.
      SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
      const int newest = saves->GetNewestSlot();
      GUIManager* gui = GUIManager::GetInstance();
      if (newest <= 0 || !saves->LoadSlotIntoNewCampaign(newest)) {
        MissionManager& missions = MissionManager::GlobalManager();
        missions.EndCampaign(false, false);
        gui->ShowFrame(WT_BATTLE_HUD);
        missions.StartCampaign();
      }
      gui->CloseWindow(WT_FADE_OUT, false);
    }
  }
}

// The seagulls' cry follows the nearest gull while one flies near the player.
void GameManager::UpdateSeagulls(VisBaseEntity_cl* player) {
  AnimalEntity* gull = player ? WildLifeManager::GetInstance()->GetAnimalFromRange(player, kSeagullRange, "Seagull") : nullptr;
  if (!gull) {
    if (m_spSeagullSound) m_spSeagullSound->SetPaused(true);
    return;
  }
  if (!m_spSeagullSound) {
    m_spSeagullSound = SoundManager::GetInstance()->PlaySFXSound(SOUND_SFX_SEAGULLS, 1.0f, gull->GetPosition(), 5.0f, 50.0f, false);
    if (m_spSeagullSound) m_spSeagullSound->AddStateFlags(VSOUND_KEPT);
  } else if (!m_spSeagullSound->IsPlaying() || m_spSeagullSound->IsPaused()) {
    m_spSeagullSound->SetPaused(false);
    m_spSeagullSound->Play(0.0f);
  } else {
    m_spSeagullSound->SetPosition(gull->GetPosition());
  }
}

// Cloth objects come with the physics scene; the stand-in's scene has none.
void GameManager::UpdateWindForCloths() {}

void GameManager::ShiftLightPhases() {
  for (int i = 0, n = Vision::World.GetLightSourceCount(); i < n; ++i) {
    VisLightSource_cl* light = Vision::World.GetLightSource(i);
    if (!light || !light->HasVisibilityData() || !light->HasAnimatedColor()) continue;
    light->ResetVisibilityZoneAssignment();
    light->SetColorAnimationPhase(MathTools::RandomFloat(0.0f, 1.0f));
  }
}

// Hot keys -----------------------------------------------------------------------

bool GameManager::KeysAllowed() const {
  if (Vision::Actions.IsConsoleOpen()) return false;
  if (SpeechManager::HasInstance() && SpeechManager::GetInstance()->HasBubble()) return false;
  if (GUIManager::HasInstance()) {
    GUIManager* gui = GUIManager::GetInstance();
    if (gui->IsWindowVisible(WT_MAIN_MENU) || gui->IsWindowVisible(WT_INGAME_MENU)) return false;
  }
  return true;
}

void GameManager::ProcessKeys() {
  if (!KeysAllowed()) return;
  VisKey_cl& keys = Vision::Key;

  if (keys.IsPressed_SC(SC_MAP)) {
    if (BaseWindow* map = GUIManager::GetInstance()->GetWindow(WT_MAP)) static_cast<FrameMap*>(map)->ToggleMap();
  }
  if (keys.IsPressed_SC(SC_CHARACTER)) GUIManager::GetInstance()->ToggleWindow(WT_CHARACTER_SCREEN);
  if (keys.IsPressed_SC(SC_INVENTORY)) GUIManager::GetInstance()->ToggleWindow(WT_INVENTORY);
  if (keys.IsPressed_SC(SC_CAPTAINS_LOG)) GUIManager::GetInstance()->ToggleWindow(WT_CAPTAINS_LOG);
  if (keys.IsPressed_SC(SC_TOOLBOX)) GameSessionManager::GetInstance()->UseCollectableByName("Toolbox");
  if (keys.IsPressed_SC(SC_RUM_POTION)) GameSessionManager::GetInstance()->UseCollectableByName("RumPotion");

  if (keys.IsPressed_SC(SC_FOLLOW_CAMERA) && m_iLocation == 1) {
    if (VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity")) {
      if (!m_bFollowCamera) {
        RtsManager::GlobalManager().SetCurrentSellectionToFollowedUnit();
        Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_FOLLOW_START, 0, 0);
        m_bFollowCamera = true;
      } else {
        m_bFollowCamera = false;
        Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_FOLLOW_STOP, 0, 0);
      }
    }
  }

  if (keys.IsPressed_SC(SC_TUTORIALS)) {
    TutorialManager* tutorials = TutorialManager::GetInstance();
    tutorials->SetFastTutorial(true);
    tutorials->ShowAllSeenTutorials();
  }
}

// Player and location ------------------------------------------------------------

VisBaseEntity_cl* GameManager::GetPlayerEntity() {
  if (IsPlayerAtSea()) {
    const Nation* own = GetPlayerNation();
    return own ? own->GetPlayerShip() : nullptr;
  }
  Player* player = RtsManager::GlobalManager().GetPlayer();
  return player ? player->GetPlayerCharacter() : nullptr;
}

void GameManager::SetLocation(int location) {
  // Only the ship sets the flag at sea; on land a damaged ship's flag would stay
  // set whenever no player unit reports its hit points.
  if (IsPlayerAtSea() && location != 0 && location != 2) m_bLowHitPoints = false;
  m_iLocation = location;
  if (m_pMouseInputHandler) m_pMouseInputHandler->ResetHoverEntityTrace();
}

// Particles ----------------------------------------------------------------------

int GameManager::GetOverallParticleCount() const {
  const VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  int count = 0;
  for (int i = 0, n = particles.GetEffectCount(); i < n; ++i) {
    const VisParticleEffect_cl* effect = particles.GetEffect(i);
    for (int layer = 0, layers = effect->GetLayerCount(); layer < layers; ++layer)
      count += effect->GetLayer(layer)->GetNumOfParticles();
  }
  return count;
}

void GameManager::PauseParticles(bool pause) {
  const VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  for (int i = 0, n = particles.GetEffectCount(); i < n; ++i) {
    VisParticleEffect_cl* effect = particles.GetEffect(i);
    effect->SetPause(pause);
    for (int layer = 0, layers = effect->GetLayerCount(); layer < layers; ++layer)
      effect->GetLayer(layer)->SetPause(pause);
  }
}

// Unique identifiers -------------------------------------------------------------

// An id read from a file may be anything: one the counter could not count past
// (only damage makes one) leaves it where it is rather than overflow it.
void GameManager::AddUniqueID(int64_t id) {
  if (id >= m_iNextUniqueID && id < std::numeric_limits<int64_t>::max() - 1) m_iNextUniqueID = id + 1;
}

VisBaseEntity_cl* GameManager::FindEntityByUniqueID(int64_t id) const { return Vision::Game.FindEntityByUniqueID(id); }

VisBaseEntity_cl* GameManager::FindEntityByUniqueID(uint32_t low, uint32_t high) const {
  return Vision::Game.FindEntityByUniqueID(low, high);
}

void GameManager::AddTraceEntity(VisBaseEntity_cl* entity) {
  if (m_pMouseInputHandler) m_pMouseInputHandler->AddTraceEntity(entity);
}

void GameManager::RemoveTraceEntity(VisBaseEntity_cl* entity) {
  if (m_pMouseInputHandler) m_pMouseInputHandler->RemoveTraceEntity(entity);
}

// Nations ------------------------------------------------------------------------

void GameManager::InitNations() {
  ResetNations();
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
  if (game && game->HasFunction("InitNations")) game->ExecuteFunctionArg("InitNations", "");
}

void GameManager::AddNation(Nation* nation) {
  if (nation) m_nations.Insert(nation);
}

void GameManager::ResetNations() {
  for (unsigned i = 0, n = m_nations.GetSize(); i < n; ++i) delete m_nations.Get(i);
  m_nations.Reset();
}

void GameManager::ClearNationShips() {
  for (unsigned i = 0, n = m_nations.GetSize(); i < n; ++i)
    if (Nation* nation = m_nations.Get(i)) nation->ResetShips();
}

Nation* GameManager::GetNation(unsigned i) const { return m_nations.Get(i); }

Nation* GameManager::GetNation(const VString& name) const {
  for (unsigned i = 0, n = m_nations.GetSize(); i < n; ++i) {
    Nation* nation = m_nations.Get(i);
    if (nation && nation->GetName().CompareNoCase(name) == 0) return nation;
  }
  return nullptr;
}

unsigned GameManager::GetNationCount() const { return m_nations.GetValidSize(); }

Nation* GameManager::GetPlayerNation() const { return GetNationCount() >= 2 ? m_nations.Get(1) : nullptr; }

VString GameManager::GetNationString(int i) const {
  if (i < 0 || (unsigned)i >= GetNationCount()) i = 0;
  const Nation* nation = m_nations.Get((unsigned)i);
  return nation ? nation->GetName() : VString();
}

float GameManager::GetReputation(unsigned i) const {
  const Nation* nation = m_nations.Get(i);
  return nation ? nation->GetReputation() : 0.0f;
}

float GameManager::GetTotalFactionReputation() const {
  const Nation* pirate = GetNation(VString("Pirate"));
  const Nation* corsair = GetNation(VString("Corsair"));
  const Nation* buccaneer = GetNation(VString("Buccaneer"));
  if (!pirate || !corsair || !buccaneer) return 0.0f;
  return (pirate->GetReputation() + corsair->GetReputation() + buccaneer->GetReputation()) * 0.33333334f;
}

// Weapons ------------------------------------------------------------------------

void GameManager::InitWeapons() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
  if (!game || !game->HasFunction("InitWeapons")) return;
  m_weapons.clear();
  game->ExecuteFunctionArg("InitWeapons", "");
}

void GameManager::AddWeapon(const Weapon& weapon) { m_weapons.push_back(weapon); }

SoldierEntity* GameManager::CreateSoldier(UnitEntity* unit) { return unit ? unit->AddSoldier(nullptr) : nullptr; }

const Weapon& GameManager::GetWeapon(int id) const {
  for (const Weapon& weapon : m_weapons)
    if (weapon.m_iId == id) return weapon;
  return Weapon::GetDefault();
}

// Scene collectables -------------------------------------------------------------

void GameManager::InitCollectables() {
  if (m_iLocation != 1) return;
  GameSessionManager* session = GameSessionManager::GetInstance();
  const TownInfo& town = TownManager::GetInstance()->GetCurrentTownInfo();

  // One wind charm per town, unless the player owns it already.
  const Nation* townNation = town.name.IsEmpty() ? nullptr : GetNation((unsigned)town.sceneType);
  VString charmName("WindCharm");
  if (townNation) charmName += townNation->GetName();
  VisEntityCollection_cl charms;
  Vision::Game.SearchEntity(charmName, charms);
  if (session->GetCollectableByName(charmName)) {
    RemoveEntities(charms);
  } else {
    std::vector<VisBaseEntity_cl*> order(charms.begin(), charms.end());
    for (int i = (int)order.size() - 1; i > 0; --i) std::swap(order[(size_t)i], order[(size_t)(VRandomInt() % (i + 1))]);
    for (size_t i = 1; i < order.size(); ++i)
      if (!order[i]->IsMarkedRemoved()) order[i]->Remove();
    if (!order.empty() && order[0]->IsOfType(CollectableEntity::GetClassTypeId())) {
      CollectableEntity* charm = static_cast<CollectableEntity*>(order[0]);
      charm->SetNation(townNation ? townNation->GetNationId() : town.sceneType);
      ActivateCollectable(charm);
    }
  }

  // Eyepatches the player has not picked up yet in this town.
  if (SceneName(Vision::World.GetSceneFile()).CompareNoCase(kCaveScene) == 0) return;
  const std::vector<VisVector_cl> collected = session->GetCollectedEyepatches(town.town);
  VisEntityCollection_cl eyepatches;
  Vision::Game.SearchEntity("Eyepatch", eyepatches);
  for (VisBaseEntity_cl* patch : eyepatches) {
    if (patch->IsMarkedRemoved()) continue;
    bool taken = false;
    for (const VisVector_cl& at : collected) {
      const float dx = at.x - patch->GetPosition().x, dy = at.y - patch->GetPosition().y;
      if (dx * dx + dy * dy < 100.0f) taken = true;
    }
    if (taken)
      patch->Remove();
    else if (patch->IsOfType(CollectableEntity::GetClassTypeId()))
      ActivateCollectable(static_cast<CollectableEntity*>(patch));
  }
}

// ---- land units -------------------------------------------------------------------------

UnitEntity* GameManager::CreateUnit(UnitEntityTemplate& templ) {
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(templ);
  if (!entity) return nullptr;
  if (!entity->IsOfType(UnitEntity::GetClassTypeId())) {
    entity->Remove();
    return nullptr;
  }
  entity->SetCastShadows(true);
  return static_cast<UnitEntity*>(entity);
}
