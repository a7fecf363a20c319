// Emptying the world before a saved state is read into it, and the progress through
// the downloadable levels.
#include "Managers/SaveGameManager.h"

#include "Managers/SettingsManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/CameraEntity.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"

#include "engine/Vision.h"

#include <algorithm>
#include <vector>

namespace {

// Message every entity gets before the world is emptied for a load.
const int kMsgBeforeWorldCleared = 500;

}  // namespace

void SaveGameManagerProto::ClearWorld() {
  // A copy: entities may go or come while they handle the message.
  const std::vector<VisBaseEntity_cl*> entities = Vision::Game.GetEntities();
  for (VisBaseEntity_cl* entity : entities)
    if (entity && !entity->IsMarkedRemoved() && entity->IsOfType(V_RUNTIME_CLASS(BaseEntity)))
      Vision::Game.SendMsg(entity, kMsgBeforeWorldCleared);

  for (VisBaseEntity_cl* entity : Vision::Game.GetEntities()) {
    if (!entity || entity->IsMarkedRemoved()) continue;
    bool free = false;
    if (entity->IsOfType(V_RUNTIME_CLASS(ShipEntity)) || entity->IsOfType(V_RUNTIME_CLASS(CameraEntity_cl)))
      free = true;
    else if (entity->IsOfType(V_RUNTIME_CLASS(BaseEntity)))
      // Towns are kept: the towns zone owns them and they keep their script values.
      free = static_cast<BaseEntity*>(entity)->GetSave() && !entity->IsOfType(V_RUNTIME_CLASS(TownEntity));
    if (free) entity->Remove();
  }
  Vision::Game.FreeRemovedEntities();

  if (GameManager::HasInstance()) GameManager::GetInstance()->ClearNationShips();
  // The escape area, the selection (and with it the followed unit), the player's own
  // and enemy units, the highlights and the animation configurations.
  RtsManager::GlobalManager().CleanUp();
  // The land radar comes with the land combat; nothing of it to reset yet.
}

void SaveGameManagerProto::ResetTypes(VType* type) {
  if (!type) return;
  for (VisBaseEntity_cl* entity : Vision::Game.GetEntities())
    if (entity && !entity->IsMarkedRemoved() && entity->IsOfType(type)) entity->Remove();
  Vision::Game.FreeRemovedEntities();
}

bool SaveGameManagerProto::IsDlcLevelUnlocked(int level) {
  m_iHighestDlcLevelPassed = SettingsManager::GetInstance()->GetDlcLevelPassed();
  return level <= m_iHighestDlcLevelPassed;
}

void SaveGameManagerProto::DlcLevelPassed(int level) {
  SettingsManager* settings = SettingsManager::GetInstance();
  m_iHighestDlcLevelPassed = std::max(level, settings->GetDlcLevelPassed());
  settings->SetDlcLevelPassed(m_iHighestDlcLevelPassed);
}
