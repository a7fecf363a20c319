// A unit the player never selects, walked along a scene path by its own update
// (which comes with the unit AI); the unit hands it the path named in the scene.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VRefCounter.h"
#include "engine/core/VisPath.h"

class NPCUnitComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(NPCUnitComponent)
 public:
  NPCUnitComponent() = default;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;

  void SetFollowPath(VisPath_cl* path) { m_spFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_spFollowPath.GetPtr(); }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  float m_fReactRange = 2.0f;
  float m_fSpeechTime = 0.0f;
  // Held: the scene's paths go when the world unloads.
  VSmartPtr<VisPath_cl> m_spFollowPath;
};
