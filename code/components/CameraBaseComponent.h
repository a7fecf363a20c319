// Base of the camera behaviours on the scene's camera entity: one behaviour is
// active at a time; it is initialised when a scene has loaded and updated every
// frame while attached.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class VInputMap;

class CameraBaseComponent_cl : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CameraBaseComponent_cl)
 public:
  CameraBaseComponent_cl();
  ~CameraBaseComponent_cl() override;

  // Registers on the scene-loaded (Init) and per-frame (Update) callbacks while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Only camera entities.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  virtual void Init() {}
  virtual void Update() {}
  virtual void DeInit() {}

  // Moves current towards target by a factor shared by every camera, which then
  // grows by the frame time (w set to 1).
  void Intepolate(VisVector_cl& current, VisVector_cl& target, float unused);
  static float GetInterpolationFactor();
  static void ResetInterpolationFactor();

  // The refusal text of the camera components.
  static const char* const kOwnerReason;
};
