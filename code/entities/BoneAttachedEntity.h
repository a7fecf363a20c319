// An entity that follows one bone of another entity's model, with a fixed offset
// and rotation in the bone's frame.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisBaseEntity.h"

// The target is not referenced; while attached the entity watches for its
// destruction and detaches then, staying where it was last placed.
class BoneAttachedEntity : public VisBaseEntity_cl, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(BoneAttachedEntity)
 public:
  BoneAttachedEntity() = default;
  ~BoneAttachedEntity() override;

  // Detaches first when attached. True, placing the entity at once, when the target's
  // model has a skeleton with the bone; otherwise false and detached (the bone index
  // is -1 when the name was not found).
  virtual bool Attach(VisBaseEntity_cl* target, const char* bone, const VisQuaternion_cl& rotation,
                      const VisVector_cl& offset);
  // False when not attached.
  virtual bool Detach();
  virtual void SetUpdateOrientation(bool on) { m_bUpdateOrientation = on; }
  virtual void SetUpdatePosition(bool on) { m_bUpdatePosition = on; }

  // Follows the bone.
  void ThinkFunction() override;
  // Detaches when the target is destroyed.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  bool IsAttached() const { return m_bAttached; }
  int GetBoneIndex() const { return m_iBoneIndex; }
  VisBaseEntity_cl* GetTarget() const { return m_pTarget; }

 private:
  void Place();

  bool m_bAttached = false;
  bool m_bUpdatePosition = true;
  bool m_bUpdateOrientation = true;
  int m_iBoneIndex = -1;
  VisQuaternion_cl m_localRotation{0, 0, 0, 1};
  VisVector_cl m_vLocalOffset{0, 0, 0, 1};
  VisBaseEntity_cl* m_pTarget = nullptr;
};
