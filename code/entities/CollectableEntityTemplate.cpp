// Stored collectables.
#include "entities/CollectableEntityTemplate.h"

#include "entities/CollectableEntity.h"

CollectableEntityTemplate::CollectableEntityTemplate() {
  m_sClassName = "CollectableEntity";
  m_bFlag = true;
}

void CollectableEntityTemplate::ApplyToEntity(VisBaseEntity_cl* entity) {
  if (!entity || !entity->IsOfType(CollectableEntity::GetClassTypeId())) return;
  CollectableEntity* collectable = static_cast<CollectableEntity*>(entity);
  collectable->LoadFromTemplate(*this);
  collectable->InitCollectableItem();
}
