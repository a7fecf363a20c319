// Turns its owner steadily about one of its orientation angles (windmills, wheels,
// flags).
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class VArchive;

class RotationComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(RotationComponent)
 public:
  RotationComponent() = default;
  ~RotationComponent() override;

  // Listens to the frame while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // One frame's turn; nothing while the game is paused or for an axis other than 1 to 3.
  void Update();

  // Component data, then "ARCH", version 2, speed, direction, axis, "EOA".
  void Serialize(VArchive& ar) override;
  virtual bool SerializeX(VArchive& ar);

  float GetRotationSpeed() const { return m_fRotationSpeed; }
  void SetRotationSpeed(float degreesPerSecond) { m_fRotationSpeed = degreesPerSecond; }
  int GetRotationDirection() const { return m_iRotationDirection; }
  void SetRotationDirection(int direction) { m_iRotationDirection = direction; }
  int GetRotationAxis() const { return m_iRotationAxis; }
  void SetRotationAxis(int axis) { m_iRotationAxis = axis; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Listen(bool on);

  float m_fRotationSpeed = 1.0f;
  int m_iRotationDirection = 1;
  int m_iRotationAxis = 1;
  bool m_bListening = false;
};
