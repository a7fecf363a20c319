// The firing end of a trigger link: a named component (trigger boxes use
// "OnObjectEnter" and "OnObjectLeave") linked to any number of targets.
#pragma once

#include "engine/core/IVObjectComponent.h"

#include <vector>

class VisBaseEntity_cl;
class VisTriggerTargetComponent_cl;

class VBASE_IMPEXP VisTriggerSourceComponent_cl : public IVObjectComponent {
  V_DECLARE_DYNCREATE(VisTriggerSourceComponent_cl)
 public:
  explicit VisTriggerSourceComponent_cl(const char* name = nullptr);
  // Unlinks from every target first.
  ~VisTriggerSourceComponent_cl() override;

  // A link is made once; false for null or an existing link.
  static bool Link(VisTriggerSourceComponent_cl* source, VisTriggerTargetComponent_cl* target);
  // False when the two were not linked.
  static bool Unlink(VisTriggerSourceComponent_cl* source, VisTriggerTargetComponent_cl* target);
  bool IsLinkedTo(const VisTriggerTargetComponent_cl* target) const;
  const std::vector<VisTriggerTargetComponent_cl*>& GetTargets() const { return m_targets; }

  // Every linked target in link order; cause is the object that set the trigger off
  // (null for none), readable through GetTriggerObject during the calls. A target
  // unlinked or destroyed during the pass is skipped.
  void TriggerAllTargets(VisBaseEntity_cl* cause = nullptr);
  VisBaseEntity_cl* GetTriggerObject() const { return m_pTriggerObject; }

 private:
  friend class VisTriggerTargetComponent_cl;
  std::vector<VisTriggerTargetComponent_cl*> m_targets;
  VisBaseEntity_cl* m_pTriggerObject = nullptr;
};
