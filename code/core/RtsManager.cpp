// Land-battle manager: start, end and the forgetting of destroyed entities.
#include "core/RtsManager.h"

#include "core/AnimConfigManager.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/VEntityHighlightManager.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"

namespace {
RtsManager g_RtsManager;
}  // namespace

RtsManager& RtsManager::GlobalManager() { return g_RtsManager; }

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
}

AnimConfigManager* RtsManager::GetAnimConfigManager() {
  if (!m_pAnimConfigManager) m_pAnimConfigManager = new AnimConfigManager();
  return m_pAnimConfigManager;
}

int RtsManager::GetPlayerNation() const { return m_pPlayer ? m_pPlayer->GetPlayerNation() : 0; }

void RtsManager::SetPlayerNation(int nation) {
  if (m_pPlayer) m_pPlayer->SetPlayerNation(nation);
}

void RtsManager::SetCurrentSellectionToFollowedUnit() {
  m_pFollowedUnit = m_pPlayer ? m_pPlayer->GetSelectionAt(0) : nullptr;
}

void RtsManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisBaseEntity_cl* destroyed = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (destroyed && destroyed == m_pEscapeArea) m_pEscapeArea = nullptr;
    if (destroyed && destroyed == static_cast<const VisBaseEntity_cl*>(m_pFollowedUnit)) m_pFollowedUnit = nullptr;
  }
}
