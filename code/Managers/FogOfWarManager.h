// The fog of war over the land-battle map: the set of entities that reveal it (the
// player's own soldiers), whether it is switched on and the look handed to its
// drawing.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/core/VisGame.h"

class BaseEntity;

class FogOfWarManager : public Singleton<FogOfWarManager>, public IVisCallbackHandler_cl {
 public:
  ~FogOfWarManager() override;

  // The fog over the scene: on or off, its falloff power and visibility. The
  // renderer has no fog post-process of its own: the values are kept for the
  // world drawing to show.
  void SetEnabled(bool enabled);
  bool IsEnabled() const { return m_bEnabled; }
  void SetParameters(float falloffPower, float visibility);
  float GetFalloffPower() const { return m_fFalloffPower; }
  float GetVisibility() const { return m_fVisibility; }

  // Each entity at most once, in the order added; a destroyed entity leaves the set.
  void AddTrackedEntity(BaseEntity* entity);
  void RemoveTrackedEntity(BaseEntity* entity);
  int IsEntityTracked(const BaseEntity* entity) const;
  const VisEntityCollection_cl& GetTrackedEntities() const { return m_trackedEntities; }

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<FogOfWarManager>;
  FogOfWarManager();

  VisEntityCollection_cl m_trackedEntities{48, 48};
  bool m_bEnabled = false;
  float m_fFalloffPower = 4.0f;
  float m_fVisibility = 0.85f;
};
