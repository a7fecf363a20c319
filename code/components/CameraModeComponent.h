// Swaps the camera entity's active behaviour.
#pragma once

#include "engine/core/IVObjectComponent.h"

class CameraBaseComponent_cl;

class CameraModeComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(CameraModeComponent)
 public:
  CameraModeComponent();

  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Removes the owner's behaviour, adds the new one (when not null) and runs its
  // Init; nothing without an owner.
  void SetCameraMode(CameraBaseComponent_cl* mode);
  // The owner's behaviour; null without an owner or behaviour.
  CameraBaseComponent_cl* GetCurrentCameraMode() const;

  virtual void Init() {}
  virtual void Update() {}
  virtual void DeInit() {}
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {}
};
