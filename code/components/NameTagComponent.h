// The name tag over a ship or a town while the player holds the name-tag key: the
// player's own ship shows the player ship panel, other ships the enemy ship panel,
// towns the town tag.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class BaseWindow;

class NameTagComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(NameTagComponent)
 public:
  // Scan code of the name-tag key (the 5 of the main row).
  static constexpr int NAME_TAG_SCAN_CODE = 6;

  // Registers on the per-frame update at once.
  NameTagComponent();
  // The panel goes with the component.
  ~NameTagComponent() override;

  // Ships and towns only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner the panel is made (CommonInit); without, it leaves the GUI.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Makes the owner's panel and puts it under the GUI's root, behind the other
  // windows. Only one player ship panel exists at a time: a second player ship
  // gets none.
  virtual void CommonInit();
  // Takes the panel out of the GUI's root.
  virtual void DeInit();
  // Hidden while the key is up or the owner is invisible; shown, filled and placed
  // over the owner while the key is held and the owner is in view (off screen it
  // keeps its last state).
  virtual void Update();

  BaseWindow* GetPanel() const { return m_pPanel; }
  bool IsHidden() const { return m_iHidden != 0; }

 private:
  void DestroyPanel();

  BaseWindow* m_pPanel = nullptr;
  int m_iHidden = 1;
};
