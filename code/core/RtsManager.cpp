// Land-battle manager: start, end and the forgetting of destroyed entities.
#include "core/RtsManager.h"

#include "engine/Vision.h"

namespace {
RtsManager g_RtsManager;
}  // namespace

RtsManager& RtsManager::GlobalManager() { return g_RtsManager; }

void RtsManager::OneTimeInit() {
  m_bLandBattle = false;
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
  m_pEscapeArea = nullptr;
  m_bPlayerInsideEscapeArea = false;
  m_iUnitsInsideEscapeArea = 0;
  m_bFollowSelected = false;
  m_bLeftControlDown = false;
}

void RtsManager::OneTimeDeInit() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
  m_bLandBattle = false;
  m_pEscapeArea = nullptr;
}

void RtsManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnObjectDestroyed) {
    const VTypedObject* destroyed = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    if (destroyed && destroyed == m_pEscapeArea) m_pEscapeArea = nullptr;
  }
}
