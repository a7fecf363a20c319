// The computer's control of a unit: its attack range, the scene path it follows (the
// unit hands it the path named in the scene) and a line-of-sight test.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/core/VisPath.h"

class VArchive;
class VisBaseEntity_cl;

class AIUnitComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(AIUnitComponent)
 public:
  // Height above the feet from which sight lines are traced.
  static constexpr float EYE_HEIGHT = 1.5f;
  // The artifact that hides the player's hero from the computer's eyes.
  static constexpr int ARTIFACT_UNSEEN = 33;

  AIUnitComponent() = default;
  ~AIUnitComponent() override;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Listens to the frame and to removed units while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Component data, then "ARCH", version 2, the attack range, the int field, "EOA".
  void Serialize(VArchive& ar) override;

  // Whether the soldier sees the enemy: nothing blocks the line between them at eye
  // height. The player's hero is never seen while the hiding artifact is active.
  bool CheckEnemyVisible(VisBaseEntity_cl* soldier, VisBaseEntity_cl* enemy) const;

  void SetFollowPath(VisPath_cl* path) { m_spFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_spFollowPath.GetPtr(); }
  float GetAttackRange() const { return m_fAttackRange; }
  void SetAttackRange(float range) { m_fAttackRange = range; }
  int GetState() const { return m_iState; }
  void SetState(int state) { m_iState = state; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Listen(bool on);

  float m_fAttackRange = 10.0f;
  // Held: the scene's paths go when the world unloads.
  VSmartPtr<VisPath_cl> m_spFollowPath;
  // Kept for the unit's AI script and saved with the range.
  int m_iState = 0;
  bool m_bListening = false;
};
