// Render contexts and the main camera. Headless, a context keeps its settings.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class VisObject3D_cl;
class VisVisibilityCollector_cl;

class VBASE_IMPEXP VisRenderContext_cl {
 public:
  static VisRenderContext_cl* GetMainRenderContext();
  static VisRenderContext_cl* GetCurrentContext();
  // Makes this the context rendered to (the main context after the engine start).
  void Activate();
  // Fields of view in degrees. One axis given as 0 is derived from the other and the
  // aspect of the context's size (tan(v/2) = tan(h/2) * height / width); while the
  // context has no size it stays 0 and is derived when used. Both 0 keep both.
  void SetFOV(float horizontal, float vertical);
  void GetFOV(float& horizontal, float& vertical) const { horizontal = m_fovX; vertical = m_fovY; }
  void SetClipPlanes(float nearClip, float farClip) { m_near = nearClip; m_far = farClip; }
  void GetClipPlanes(float& n, float& f) const { n = m_near; f = m_far; }
  // The current video size.
  void GetSize(int& w, int& h) const;
  const VisVector_cl& GetCameraPosition() const { return m_camPos; }
  void SetCameraPosition(const VisVector_cl& p) { m_camPos = p; }
  const VisMatrix3x3_cl& GetCameraRotation() const { return m_camRot; }
  void SetCameraRotation(const VisMatrix3x3_cl& m) { m_camRot = m; }
  VisVector_cl GetCameraDirection() const { return m_camRot.GetColumn(0); }
  // A world point in screen pixels (x right, y down) through the camera: local x
  // forward, y left, z up, the horizontal field of view across the width (the
  // vertical one from the aspect when it is 0). False for a point not in front of
  // the near plane.
  bool Project2D(const VisVector_cl& point, float& x, float& y) const;
  // The reverse: the world direction (unit length) of the view ray through a
  // screen point. The camera's forward direction while the context has no size.
  VisVector_cl GetViewRayDirection(float x, float y) const;
  // What this context's camera saw last frame (filled by the world pass).
  VisVisibilityCollector_cl* GetVisibilityCollector();
  // Tangents of the half fields of view across and down the screen, for the
  // context's size (square when it has none).
  void GetHalfFovTangents(float& tanX, float& tanY) const;

 private:
  void GetHalfFovTangents(int w, int h, float& tanX, float& tanY) const;
  float m_fovX = 90.0f, m_fovY = 0.0f;
  float m_near = 5.0f, m_far = 32000.0f;
  VisVector_cl m_camPos{0, 0, 0};
  VisMatrix3x3_cl m_camRot;
};

// The camera the main context renders from; it can follow an entity (position plus
// the offset, and its rotation). While it follows one it listens to OnObjectDestroyed
// and lets go of the entity when the world destroys it.
class VBASE_IMPEXP VisContextCamera_cl : public IVisCallbackHandler_cl {
 public:
  void AttachToEntity(VisObject3D_cl* entity, const VisVector_cl& offset);
  void Detach();
  VisObject3D_cl* GetAttachedEntity() const { return m_pFollow; }
  void SetPosition(const VisVector_cl& p);
  VisVector_cl GetPosition() const;
  void SetRotationMatrix(const VisMatrix3x3_cl& m);
  // Follows the attached entity (called once per frame).
  void Update();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  VisObject3D_cl* m_pFollow = nullptr;
  VisVector_cl m_vOffset{0, 0, 0};
};

namespace Vision {
VBASE_IMPEXP extern VisContextCamera_cl Camera;
}  // namespace Vision
