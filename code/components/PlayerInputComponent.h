// Turns the keyboard into ship messages for the ship the player sails: steering,
// sails, the two broadsides and the special weapon.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class PlayerInputComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(PlayerInputComponent)
 public:
  PlayerInputComponent();
  ~PlayerInputComponent() override;

  // Ships and units (on a unit it attaches but sends nothing).
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers on the per-frame update while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 16: the ship sinks and takes no more orders.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  virtual void Update();
  // The held keys, each binding sending its message once per frame.
  virtual void UpdateShip();

  bool DoesUpdate() const { return m_bDoUpdate != 0; }
  bool IsCharging() const { return m_bCharging; }

 protected:
  static void BuildVarList(VARTABLE& t);
  // Message 53 with the selected special weapon, when firing is allowed.
  void FireSpecial();

  int m_bDoUpdate = 1;
  bool m_bCharging = false;
};
