// A unit the player never selects, walked along a scene path by its own update
// (which comes with the unit AI); the unit hands it the path named in the scene.
#pragma once

#include "core/BaseComponent.h"

class VisPath_cl;

class NPCUnitComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(NPCUnitComponent)
 public:
  NPCUnitComponent() = default;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;

  void SetFollowPath(VisPath_cl* path) { m_pFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_pFollowPath; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  float m_fReactRange = 2.0f;
  float m_fSpeechTime = 0.0f;
  VisPath_cl* m_pFollowPath = nullptr;
};
