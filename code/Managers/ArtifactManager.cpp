// Artifact and potion effects: activation, the per-frame countdown, the potion HUD,
// the queries the combat code multiplies its values with, and the saved block.
#include "Managers/ArtifactManager.h"

#include "Managers/BattleManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "components/ShipBattleComponent.h"
#include "core/GameManager.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/CollectableId.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/FSM/DizzyState.h"
#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"

#include <CEGUI/Window.h>

namespace {

const float kStunSeconds = 10.0f;
const int kGhostLimit = 10000;
// One saved entry: id, time, effect.
const int kSavedEntryBytes = 12;
const int kMaxButtonImage = 1024;

}  // namespace

ArtifactManager::ArtifactManager() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

ArtifactManager::~ArtifactManager() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

void ArtifactManager::ActivateArtifact(int id, float duration, float effect, const char* buttonImage, float cooldown) {
  if (duration <= 0.0f) {
    if (!m_permanent.count(id)) m_permanent[id] = Effect{0.0f, effect};
    return;
  }
  if (m_cooldowns.count(id)) return;
  m_timed.clear();
  m_fArtifactFullDuration = duration;
  m_timed[id] = Effect{duration, effect};
  m_cooldowns[id] = Effect{cooldown, effect};
  m_sButtonImage = buttonImage ? buttonImage : "";

  if (id == FLAG) BattleManager::GetInstance()->StopAttackingPlayer();
  if (id == SEASHELL) StunEnemiesAroundHero();
}

void ArtifactManager::ActivatePotion(int id, float duration, float effect) {
  m_potions.clear();
  m_potions[id] = Effect{duration, effect};
  m_fPotionFullDuration = duration;
}

void ArtifactManager::DisableInvisibility() {
  if (m_potions.count(INVISIBILITY_POTION)) m_potions.clear();
}

bool ArtifactManager::IsActive(int id) const {
  auto timed = m_timed.find(id);
  if (timed != m_timed.end()) return timed->second.time > 0.0f;
  auto potion = m_potions.find(id);
  if (potion != m_potions.end()) return potion->second.time > 0.0f;
  return m_permanent.count(id) != 0;
}

float ArtifactManager::GetEffect(int id) const {
  for (const std::map<int, Effect>* table : {&m_timed, &m_potions, &m_permanent}) {
    auto it = table->find(id);
    if (it != table->end()) return it->second.effect;
  }
  return 1.0f;
}

float ArtifactManager::GetTimeRemaining() const { return m_timed.empty() ? 0.0f : m_timed.begin()->second.time; }

float ArtifactManager::GetTimeRemainingPotion() const {
  return m_potions.empty() ? 0.0f : m_potions.begin()->second.time;
}

int ArtifactManager::GetActivePotionId() const { return m_potions.empty() ? ID_NONE : m_potions.begin()->first; }

float ArtifactManager::GetArtifactCooldownTime(int id) const {
  auto it = m_cooldowns.find(id);
  return it == m_cooldowns.end() ? -1.0f : it->second.time;
}

int ArtifactManager::AssignGhost() {
  if (++m_iGhostCounter > kGhostLimit) m_iGhostCounter = 0;
  return m_iGhostCounter;
}

void ArtifactManager::GiveArtifact(int id, int first, int second) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
  VString script;
  if (game && game->HasFunction("GetAllCollectableScript"))
    game->ExecuteFunctionArg("GetAllCollectableScript", "i>s", id, &script);
  const char* pszScript = script.IsEmpty() ? nullptr : script.AsChar();
  VASSERT_MSG(pszScript, "Collectable not found");
  // An item without a script would land in the inventory as a blank entry.
  if (!pszScript) return;

  CollectableEntityTemplate templ;
  templ.m_sCollectableScriptFile = script;
  if (first >= 0 && second >= 0) {
    templ.m_iMinValue = first;
    templ.m_iMaxValue = second;
  }
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (player) templ.m_vPosition = player->GetPosition();
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity(templ);
  auto* item = dynamic_cast<CollectableEntity*>(entity);
  if (!item) {
    if (entity) entity->DisposeObject();
    return;
  }
  item->Collect(player);
  if (item->GetCollector()) item->DoCollect();
  item->DisposeObject();
}

void ArtifactManager::StunEnemiesAroundHero() {
  GameManager* game = GameManager::GetInstance();
  if (game->GetLocation() != 1) return;
  auto* unit = dynamic_cast<UnitEntity*>(game->GetPlayerEntity());
  SoldierEntity* hero = unit ? unit->GetSoldierAtIndex(0) : nullptr;
  if (!hero) return;
  const Nation* heroNation = game->GetNation((unsigned)hero->GetNation());
  if (!heroNation) return;
  const float radius = GetEffect(SEASHELL);
  const float radiusSquared = radius * radius;
  const VisVector_cl centre = hero->GetPosition();
  // Soldiers made while the loop runs (none expected) are not reached.
  const std::vector<VisBaseEntity_cl*> entities = Vision::Game.GetEntities();
  for (VisBaseEntity_cl* entity : entities) {
    auto* soldier = dynamic_cast<SoldierEntity*>(entity);
    if (!soldier || soldier == hero || soldier->IsMarkedRemoved() || !soldier->IsAlive()) continue;
    if (!heroNation->IsEnemy(soldier->GetNation())) continue;
    if (MathTools::DistanceBetweenVectorsSquared(soldier->GetPosition(), centre) > radiusSquared) continue;
    // A draw of 0..1 in steps of 1/32767, as the combat rolls (fixed in the test mode).
    if ((float)MathTools::RandomInt(32768) / 32767.0f >= 0.5f) continue;
    if (soldier->GetStateMachine()) soldier->GetStateMachine()->ChangeState(DizzyState::GetInstance(), kStunSeconds);
  }
}

void ArtifactManager::EndMist() {
  GameManager* game = GameManager::GetInstance();
  if (game->GetLocation() == 1 || game->GetNationCount() < 2) return;
  const Nation* own = game->GetNation(1);
  if (!own) return;
  const DynArray_cl<ShipEntity*>& ships = own->GetShips();
  for (unsigned i = 0; i < ships.GetSize(); ++i) {
    ShipEntity* ship = ships.Get(i);
    if (!ship) continue;
    if (ShipBattleComponent* battle = ship->Components<ShipBattleComponent>()) battle->SetGodMode(false);
  }
}

void ArtifactManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update(Vision::Timer.GetTimeDifference());
}

void ArtifactManager::Update(float dt) {
  if (PauseManager::GetInstance()->IsAnyPaused()) return;
  const bool anyRan = !m_timed.empty() || !m_potions.empty();

  if (!m_timed.empty()) {
    Effect& entry = m_timed.begin()->second;
    entry.time -= dt;
    if (entry.time <= 0.0f) m_timed.clear();
  }
  if (!m_potions.empty()) {
    auto potion = m_potions.begin();
    potion->second.time -= dt;
    if (potion->second.time <= 0.0f) {
      if (potion->first == MIST_SHIP) EndMist();
      m_potions.clear();
    }
  }
  for (auto it = m_cooldowns.begin(); it != m_cooldowns.end(); ++it) {
    if (it->second.time <= 0.0f) {
      m_cooldowns.erase(it);
      break;
    }
    it->second.time -= dt;
  }

  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized()) {
    GUIManager* gui = GUIManager::GetInstance();
    if (!anyRan) {
      if (gui->IsWindowVisible(WT_POTION_HUD)) gui->CloseWindow(WT_POTION_HUD, false);
    } else if (gui->GetCurrentFrame() && gui->GetCurrentFrame()->GetRootWindow()) {
      BaseWindow* hud = gui->GetWindow(WT_POTION_HUD);
      if (hud && hud->GetRootWindow() && !hud->GetRootWindow()->isVisible()) gui->ShowWindow(hud, nullptr);
    }
  }

  m_fGrogCooldown -= dt;
  m_fToolCooldown -= dt;
}

void ArtifactManager::ResetForNewGame() {
  m_timed.clear();
  m_permanent.clear();
  m_potions.clear();
  m_cooldowns.clear();
  m_iGhostCounter = 0;
  m_fGrogCooldown = 0.0f;
  m_fToolCooldown = 0.0f;
  m_sButtonImage.Reset();
}

namespace {

void WriteEffects(VArchive& ar, const std::map<int, ArtifactManager::Effect>& effects) {
  ar << (int)effects.size();
  for (const auto& entry : effects) ar << entry.first << entry.second.time << entry.second.effect;
}

bool ReadEffects(VArchive& ar, std::map<int, ArtifactManager::Effect>& effects) {
  int count = 0;
  if (!ArchiveLimits::ReadCount(ar, count, kSavedEntryBytes)) return false;
  for (int i = 0; i < count; ++i) {
    int id = 0;
    ArtifactManager::Effect effect;
    ar >> id >> effect.time >> effect.effect;
    effects[id] = effect;
  }
  return ar.IsOK();
}

}  // namespace

bool ArtifactManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    WriteEffects(ar, m_cooldowns);
    WriteEffects(ar, m_timed);
    WriteEffects(ar, m_potions);
    WriteEffects(ar, m_permanent);
    ar << m_fGrogCooldown << m_fToolCooldown << m_sButtonImage << m_fPotionFullDuration << m_fArtifactFullDuration;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ArtifactManager", 1);
  if (!block.IsOpen()) return false;
  std::map<int, Effect> cooldowns, timed, potions, permanent;
  float grog = 0.0f, tool = 0.0f, potionDuration = 0.0f, artifactDuration = 0.0f;
  VString image;
  if (!ReadEffects(ar, cooldowns) || !ReadEffects(ar, timed) || !ReadEffects(ar, potions) ||
      !ReadEffects(ar, permanent))
    return block.Fail();
  ar >> grog >> tool;
  if (!ArchiveLimits::ReadString(ar, image, kMaxButtonImage)) return block.Fail();
  ar >> potionDuration >> artifactDuration;
  if (!block.End()) return false;
  ResetForNewGame();
  m_cooldowns.swap(cooldowns);
  m_timed.swap(timed);
  m_potions.swap(potions);
  m_permanent.swap(permanent);
  m_fGrogCooldown = grog;
  m_fToolCooldown = tool;
  m_sButtonImage = image;
  m_fPotionFullDuration = potionDuration;
  m_fArtifactFullDuration = artifactDuration;
  return true;
}
