// The game's event bus: eight callbacks announcing unit and entity life, the
// mouse pick trace and the frame boundaries (GameManager::Callbacks).
#pragma once

#include "engine/base/VCallback.h"

class VisBaseEntity_cl;

// Data of the bus: the sender callback and one entity (null for the trace and frame events).
class BaseEntityDataObject : public IVisCallbackDataObject_cl {
 public:
  BaseEntityDataObject(VCallback* sender, VisBaseEntity_cl* entity)
      : IVisCallbackDataObject_cl(sender), m_pEntity(entity) {}
  VisBaseEntity_cl* m_pEntity;
};

class CallbackManager {
 public:
  VCallback OnUnitRemoved;
  VCallback OnUnitCreated;
  VCallback OnEntityCreated;
  VCallback OnEntityDestroyed;
  VCallback OnBeginMouseTrace;
  VCallback OnEndMouseTrace;
  VCallback OnPreFrame;
  VCallback OnPostFrame;
};
