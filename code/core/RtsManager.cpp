// Land-battle manager: start and end, the land camera, the per-frame step and the
// range queries over soldiers.
#include "core/RtsManager.h"

#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Managers/GameSessionManager.h"
#include "components/CameraInputComponent.h"
#include "components/UnitContainerComponent.h"
#include "components/CameraModeComponent.h"
#include "components/LandBattleCameraComponent.h"
#include "core/AnimConfigManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/VEntityHighlightManager.h"
#include "entities/CameraEntity.h"
#include "entities/HeroStats.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"
#include "engine/core/VScriptManager.h"
#include "engine/sound/VSoundManager.h"

namespace {
RtsManager g_RtsManager;

const unsigned kAllVisible = 0xffffffffu;

float DistanceSquared(const VisVector_cl& a, const VisVector_cl& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return dx * dx + dy * dy + dz * dz;
}

// Whether some soldier of a player unit (with a record) has the enemy within its view range.
int CountSeeingSoldiers(const Player& player, const SoldierEntity* enemy) {
  int seeing = 0;
  for (int u = 0, units = player.GetPlayerUnitCount(); u < units; ++u) {
    const UnitEntity* unit = player.GetPlayerUnit((unsigned)u);
    if (!unit) continue;
    for (const SoldierEntity* own : unit->GetSoldiers()) {
      if (!own || !own->GetStats()) continue;
      const float range = own->GetStats()->m_CombatSkills.m_fViewRange;
      if (DistanceSquared(own->GetPosition(), enemy->GetPosition()) < range * range) ++seeing;
    }
  }
  return seeing;
}
}  // namespace

RtsManager& RtsManager::GlobalManager() { return g_RtsManager; }

// Start and stop ---------------------------------------------------------------------

void RtsManager::OneTimeInit() {
  m_bLandBattle = false;
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  m_pEscapeArea = nullptr;
  m_bPlayerInsideEscapeArea = false;
  m_iUnitsInsideEscapeArea = 0;
  m_bFollowSelected = false;
  m_bLeftControlDown = false;
  m_pFollowedUnit = nullptr;
  delete m_pPlayer;
  m_pPlayer = new Player();
  m_visibleCharacters.Reset();
  m_visibleCharacters.Resize(kVisibleCharacterSlots);
  m_iVisibleCharacterCount = 0;
}

void RtsManager::OneTimeDeInit() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  m_bLandBattle = false;
  m_pEscapeArea = nullptr;
  m_pFollowedUnit = nullptr;
  delete m_pAnimConfigManager;
  m_pAnimConfigManager = nullptr;
  VEntityHighlightManager::Shutdown();
  delete m_pPlayer;
  m_pPlayer = nullptr;
  m_visibleCharacters.Reset();
  m_iVisibleCharacterCount = 0;
}

void RtsManager::Initialize() {
  if (Vision::Editor.IsInEditor() && !Vision::Editor.IsPlayingTheGame()) return;
  m_pFollowedUnit = nullptr;
  m_pEscapeArea = Vision::Game.SearchEntity("EscapeArea");
  // The buildings as the player left them.
  if (TownManager::HasInstance()) {
    TownManager* towns = TownManager::GetInstance();
    towns->LoadState(towns->GetCurrentTownInfo().name);
  }
}

void RtsManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisBaseEntity_cl* destroyed = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (destroyed && destroyed == m_pEscapeArea) m_pEscapeArea = nullptr;
    if (destroyed && destroyed == static_cast<const VisBaseEntity_cl*>(m_pFollowedUnit)) m_pFollowedUnit = nullptr;
  } else if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    if (m_bLandBattle) Update();
  }
}

// Entering and leaving -----------------------------------------------------------------

void RtsManager::SetLandBattle(bool on) {
  if (!on) {
    m_bLandBattle = false;
    if (m_pPlayer) m_pPlayer->ClearSelection();
    return;
  }
  if (m_bLandBattle) return;
  EnterLandBattle();
  m_bLandBattle = true;
}

void RtsManager::EnterLandBattle() {
  VisContextCamera_cl& mainCamera = Vision::Camera;

  VisBaseEntity_cl* camera = Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(0, 0, 0));
  if (!camera) {
    Vision::Error.Warning("RtsManager: the class CameraEntity_cl is not registered; no land camera");
    return;
  }
  camera->SetEntityKey("CameraEntity");

  if (VisRenderContext_cl* context = VisRenderContext_cl::GetCurrentContext()) context->SetFOV(0.0f, kLandCameraFovY);

  VisBaseEntity_cl* start = Vision::Game.SearchEntity("CameraStartPosition");
  if (!start) start = Vision::Game.SearchEntity("StartupCameraPosition");
  if (start) {
    camera->SetPosition(start->GetPosition());
    camera->SetOrientation(start->GetOrientation());
    if (!start->IsMarkedRemoved()) start->Remove();
  }

  camera->AddComponent(new CameraModeComponent());
  auto* landCamera = new LandBattleCameraComponent();
  camera->AddComponent(landCamera);
  camera->AddComponent(new CameraInputComponent());
  if (VScriptResourceManager* scripts = Vision::GetScriptManager()) {
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(kLandCameraScript)) {
      scripts->SetScriptInstance(landCamera, script);
      if (script->HasFunction("OnCreate")) script->ExecuteFunctionArg("OnCreate", "*");
    }
  }

  VSoundManager::GlobalManager().SetListenerCamera(&mainCamera);
  mainCamera.AttachToEntity(camera, VisVector_cl(0, 0, 0));
}

void RtsManager::ExitLandBattle() {
  m_iUnitsInsideEscapeArea = 0;
  SoundManager::GetInstance()->ResetSceneSounds();
  if (MusicManager::HasInstance() && MusicManager::GetInstance()->GetMusicType() == MusicManager::MUSIC_BATTLE)
    MusicManager::GetInstance()->EndBattleMusic();
  // Leaving a town comes with the towns.
  if (m_pPlayer) m_pPlayer->CleanUp();
  m_pEscapeArea = nullptr;
  SetLandBattle(false);
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  if (m_pAnimConfigManager) m_pAnimConfigManager->ClearAnimConfigs();
}

void RtsManager::CleanUp() {
  m_iUnitsInsideEscapeArea = 0;
  m_pEscapeArea = nullptr;
  if (m_pPlayer) m_pPlayer->CleanUp();
  if (VEntityHighlightManager::HasInstance()) {
    VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
    highlights->RemoveAllHighlights();
    highlights->ClearUnitHighlights();
  }
  if (m_pAnimConfigManager) m_pAnimConfigManager->ClearAnimConfigs();
}

// Per frame --------------------------------------------------------------------------

void RtsManager::Update() {
  if (m_pPlayer) m_pPlayer->CheckGroupingInputProto();
  UpdateVisibleCharacters();
  UpdateEscapeArea();
  UpdateBattleMusic();
}

void RtsManager::UpdateVisibleCharacters() {
  for (unsigned i = 0, n = m_visibleCharacters.GetSize(); i < n; ++i) m_visibleCharacters[i] = nullptr;
  m_iVisibleCharacterCount = 0;
  if (!m_pPlayer) return;
  for (int u = 0, units = m_pPlayer->GetEnemyUnitCount(); u < units; ++u) {
    const UnitEntity* unit = m_pPlayer->GetEnemyUnit((unsigned)u);
    if (!unit) continue;
    for (SoldierEntity* enemy : unit->GetSoldiers()) {
      if (!enemy) continue;
      const int times = m_bViewRange ? CountSeeingSoldiers(*m_pPlayer, enemy) : 1;
      enemy->SetVisibleBitmask(times > 0 ? kAllVisible : 0u);
      for (int k = 0; k < times; ++k) m_visibleCharacters[(unsigned)m_iVisibleCharacterCount++] = enemy;
    }
  }
}

void RtsManager::UpdateEscapeArea() {
  // The count of units inside comes from the escape area's unit container; without
  // one (no area, or an area that carries none) the player counts as inside.
  m_bPlayerInsideEscapeArea = true;
  m_iUnitsInsideEscapeArea = 0;
  UnitContainerComponent* container =
      m_pEscapeArea ? m_pEscapeArea->Components<UnitContainerComponent>() : nullptr;
  if (!container) return;
  const std::vector<UnitEntity*> inside = container->GetUnitsInside();
  if (inside.empty()) {
    m_bPlayerInsideEscapeArea = false;
    return;
  }
  const int nation = GetPlayerNation();
  int counted = 0;
  for (UnitEntity* unit : inside) {
    if (unit->GetNumSoldiers() < 1 || unit->GetNation() != nation) continue;
    ++counted;
    // Loot carried in is delivered.
    const std::vector<SoldierEntity*> soldiers = unit->GetSoldiers();
    for (SoldierEntity* soldier : soldiers) Vision::Game.SendMsg(soldier, VIS_MSG_USER_UNIT_DELIVER, 0, 0);
  }
  // Everyone must be in: the player's character, his units, and each living hero
  // with the units he leads.
  int expected = 1;
  if (GameSessionManager::HasInstance()) {
    const GameSessionManager* session = GameSessionManager::GetInstance();
    if (session->GetPlayer()) expected += session->GetPlayer()->GetUnitRecordCount();
    for (int i = 0; i < session->GetHeroCount(); ++i) {
      const HeroStats* hero = session->GetHero(i);
      if (!hero || !hero->GetSoldierStats()) continue;
      expected += hero->GetUnitRecordCount();
      if (hero->GetSoldierStats()->m_Hitpoints.GetCurrent() >= 1) ++expected;
    }
  }
  m_bPlayerInsideEscapeArea = expected <= counted;
  m_iUnitsInsideEscapeArea = counted;
}

void RtsManager::UpdateBattleMusic() {
  bool enemySeen = false;
  const bool talking = SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation();
  const Nation* own = GameManager::GetInstance()->GetNation((unsigned)GetPlayerNation());
  if (!talking && own) {
    for (int i = 0; i < m_iVisibleCharacterCount && !enemySeen; ++i) {
      const SoldierEntity* soldier = m_visibleCharacters.Get((unsigned)i);
      enemySeen = soldier && !soldier->IsMarkedRemoved() && own->IsEnemy(soldier->GetNation());
    }
  }
  if (enemySeen) {
    MusicManager::GetInstance()->PlayBattleMusic();
  } else if (MusicManager::HasInstance() &&
             MusicManager::GetInstance()->GetMusicType() == MusicManager::MUSIC_BATTLE) {
    MusicManager::GetInstance()->EndBattleMusic();
  }
}

// Queries ----------------------------------------------------------------------------

AnimConfigManager* RtsManager::GetAnimConfigManager() {
  if (!m_pAnimConfigManager) m_pAnimConfigManager = new AnimConfigManager();
  return m_pAnimConfigManager;
}

int RtsManager::GetPlayerNation() const { return m_pPlayer ? m_pPlayer->GetPlayerNation() : 0; }

void RtsManager::SetPlayerNation(int nation) {
  if (m_pPlayer) m_pPlayer->SetPlayerNation(nation);
}

UnitEntity* RtsManager::GetClosestEnemyUnit(UnitEntity* unit) const {
  return m_pPlayer ? m_pPlayer->GetClosestEnemyUnit(unit) : nullptr;
}

UnitEntity* RtsManager::GetClosestPlayerUnit(UnitEntity* unit) const {
  return m_pPlayer ? m_pPlayer->GetClosestPlayerUnit(unit) : nullptr;
}

bool RtsManager::IsUnitSelected(UnitEntity* unit) const { return m_pPlayer && m_pPlayer->IsSelected(unit); }

VisVector_cl RtsManager::GetPlayerPosition() const {
  const UnitEntity* character = m_pPlayer ? m_pPlayer->GetPlayerCharacter() : nullptr;
  if (!character || character->IsMarkedRemoved()) return VisVector_cl(0, 0, 0);
  return character->GetPosition();
}

VisVector_cl RtsManager::GetSelectedUnitPosition() const {
  if (const UnitEntity* first = m_pPlayer ? m_pPlayer->GetSelectionAt(0) : nullptr) return first->GetPosition();
  if (const UnitEntity* character = m_pPlayer ? m_pPlayer->GetPlayerCharacter() : nullptr)
    return character->GetPosition();
  return VisVector_cl(0, 0, 0);
}

void RtsManager::SetCurrentSellectionToFollowedUnit() {
  m_pFollowedUnit = m_pPlayer ? m_pPlayer->GetSelectionAt(0) : nullptr;
}

SoldierEntity* RtsManager::GetClosestEnemyInRange(const VisVector_cl& point, float range, int nation) const {
  if (nation == 0) return nullptr;
  SoldierEntity* best = nullptr;
  float bestDistance = range * range;
  for (unsigned i = 0, n = SoldierEntity::ElementManagerGetSize(); i < n; ++i) {
    SoldierEntity* soldier = SoldierEntity::ElementManagerGet(i);
    if (!soldier || soldier->IsMarkedRemoved() || soldier->GetNation() == nation) continue;
    const float d = DistanceSquared(soldier->GetPosition(), point);
    if (d < bestDistance) {
      bestDistance = d;
      best = soldier;
    }
  }
  return best;
}

void RtsManager::GetEnemySoldiersInRange(int nation, const VisVector_cl& point, float range,
                                         DynArray_cl<SoldierEntity*>& out) const {
  const Nation* record = GameManager::GetInstance()->GetNation((unsigned)nation);
  if (!record) return;
  const float rangeSquared = range * range;
  for (unsigned i = 0, n = SoldierEntity::ElementManagerGetSize(); i < n; ++i) {
    SoldierEntity* soldier = SoldierEntity::ElementManagerGet(i);
    // A soldier counts once it has entered the running game (alive).
    if (!soldier || !soldier->IsAlive() || soldier->IsMarkedRemoved()) continue;
    if (!record->IsEnemy(soldier->GetNation())) continue;
    if (DistanceSquared(soldier->GetPosition(), point) < rangeSquared) out.Insert(soldier);
  }
}
