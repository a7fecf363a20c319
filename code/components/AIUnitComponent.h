// The computer's control of a unit: its attack range and the scene path it follows.
// The unit hands it the path named in the scene; the AI itself comes with the unit AI.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VRefCounter.h"
#include "engine/core/VisPath.h"

class AIUnitComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(AIUnitComponent)
 public:
  AIUnitComponent() = default;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;

  void SetFollowPath(VisPath_cl* path) { m_spFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_spFollowPath.GetPtr(); }
  float GetAttackRange() const { return m_fAttackRange; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  float m_fAttackRange = 10.0f;
  // Held: the scene's paths go when the world unloads.
  VSmartPtr<VisPath_cl> m_spFollowPath;
};
