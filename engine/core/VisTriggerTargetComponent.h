// The receiving end of a trigger link: a named component whose owner gets the
// trigger message (VIS_MSG_TRIGGER, p1 the source, p2 this target) when a linked
// source fires.
#pragma once

#include "engine/core/IVObjectComponent.h"

#include <vector>

class VisTriggerSourceComponent_cl;

class VBASE_IMPEXP VisTriggerTargetComponent_cl : public IVObjectComponent {
  V_DECLARE_DYNCREATE(VisTriggerTargetComponent_cl)
 public:
  explicit VisTriggerTargetComponent_cl(const char* name = nullptr);
  // Unlinks from every source first.
  ~VisTriggerTargetComponent_cl() override;

  // The sources linked to this target, in link order.
  const std::vector<VisTriggerSourceComponent_cl*>& GetSources() const { return m_sources; }
  // Sends the trigger message to the owner (nothing without one).
  void OnTrigger(VisTriggerSourceComponent_cl* source);

 private:
  friend class VisTriggerSourceComponent_cl;
  std::vector<VisTriggerSourceComponent_cl*> m_sources;
};
