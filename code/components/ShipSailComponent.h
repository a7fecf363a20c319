// A ship's sail setting. Every setting is announced to the ship (messages 4, 5 and
// 6), whose other components turn it into speed and turn rate.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

enum SailMode { SAILMODE_NONE = 0, SAILMODE_BATTLE = 1, SAILMODE_FULL = 2 };

class ShipSailComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipSailComponent)
 public:
  ShipSailComponent();
  ~ShipSailComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // 2 raises and 3 lowers the mode (always announced); 4, 5 and 6 set it (announced
  // only when it changes).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // It listens to no callback.
  void OnHandleCallback(IVisCallbackDataObject_cl*) override {}

  // Announced only when the mode changes.
  void SetSailMode(SailMode mode);
  void IncSailMode();
  void DecSailMode();
  SailMode GetSailMode() const { return m_eSailMode; }

 private:
  // Message 4, 5 or 6 for the current mode to the owner, when there is one.
  void Announce();

  SailMode m_eSailMode = SAILMODE_NONE;
};
