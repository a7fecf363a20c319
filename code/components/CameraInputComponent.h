// Reads the keyboard and mouse every frame and sends the camera messages 101 to
// 133 to the camera entity, where the active behaviour handles those it knows.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class VInputMap;

class CameraInputComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CameraInputComponent)
 public:
  CameraInputComponent();
  ~CameraInputComponent() override;

  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Builds the input map and registers on the per-frame update while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  virtual void Update();
  virtual void InitInputMap();
  virtual VInputMap* GetInputMap() const { return m_pInputMap; }

 private:
  VInputMap* m_pInputMap = nullptr;
};
