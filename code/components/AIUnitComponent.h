// The computer's control of a unit: its attack range and the scene path it follows.
// The unit hands it the path named in the scene; the AI itself comes with the unit AI.
#pragma once

#include "core/BaseComponent.h"

class VisPath_cl;

class AIUnitComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(AIUnitComponent)
 public:
  AIUnitComponent() = default;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;

  void SetFollowPath(VisPath_cl* path) { m_pFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_pFollowPath; }
  float GetAttackRange() const { return m_fAttackRange; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  float m_fAttackRange = 10.0f;
  VisPath_cl* m_pFollowPath = nullptr;
};
