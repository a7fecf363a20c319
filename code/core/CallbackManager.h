// The game's event bus: eight callbacks announcing unit and entity life, the
// mouse pick trace and the frame boundaries (GameManager::Callbacks).
//
// Entity and component pointers kept across frames: whoever keeps a raw pointer to
// an entity listens to OnEntityDestroyed and drops the pointer when the event names
// it. Game entities fire it from their destructor (so also when deleted outside the
// world's frame); the bus relays the world's destruction of every other engine
// entity onto it as well. Handlers compare addresses only: by then the entity is
// half destroyed and must not be read or downcast. A component pointer is cleared by
// the component itself when it leaves its owner.
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
  CallbackManager();
  ~CallbackManager();
  CallbackManager(const CallbackManager&) = delete;
  CallbackManager& operator=(const CallbackManager&) = delete;

  VCallback OnUnitRemoved;
  VCallback OnUnitCreated;
  VCallback OnEntityCreated;
  VCallback OnEntityDestroyed;
  VCallback OnBeginMouseTrace;
  VCallback OnEndMouseTrace;
  VCallback OnPreFrame;
  VCallback OnPostFrame;

 private:
  // Fires OnEntityDestroyed for engine entities that are not game entities.
  class EngineEntityRelay : public IVisCallbackHandler_cl {
   public:
    explicit EngineEntityRelay(CallbackManager& bus) : m_bus(bus) {}
    void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

   private:
    CallbackManager& m_bus;
  };
  EngineEntityRelay m_engineRelay{*this};
};
