// Makes a building enterable: a unit of the player close enough lights it up, and
// entering it opens the screen of its window type. It also keeps the building's
// name tag, shown over the building while the name-tag key is held.
#pragma once

#include "core/BaseComponent.h"
#include "gui/WindowTypes.h"

#include "engine/base/VCallback.h"

class FrameBuildingInfo;
class VArchive;
class VisBaseEntity_cl;

class SpecialBuildingComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(SpecialBuildingComponent)
 public:
  // Highlight of a building in entering range: alpha 200, red 255, green 255, blue 100.
  static constexpr uint32_t kHighlightColour = 0xC8FFFF64u;
  // Engine key code of the name-tag key.
  static constexpr int kNameTagKey = 6;

  SpecialBuildingComponent();
  ~SpecialBuildingComponent() override;

  // BuildingBaseEntity owners only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner InitFunction, with null DeInitFunction.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 158 enters the building.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // Per frame: the entering range, then the name tag.
  virtual void Update();
  virtual void InitFunction();
  virtual void DeInitFunction();
  // True when the building was entered (a screen or the construction dialog opened,
  // or the building has nothing to show).
  virtual bool EnterBuilding();
  virtual void ExitBuilding();
  virtual WINDOW_TYPES GetWindowType() const { return (WINDOW_TYPES)m_eWindowType; }
  // Sets the in-range flag and the owner's highlight.
  virtual void CheckDistance();

  void AddToCurrentFrame();
  void RemoveFromCurrentFrame();
  // True for null; otherwise whether the main camera saw the entity last frame.
  static bool IsEntityVisible(VisBaseEntity_cl* entity);

  void SetWindowType(WINDOW_TYPES type) { m_eWindowType = type; }
  float GetEnteringDistance() const { return m_fEnteringDistance; }
  void SetEnteringDistance(float distance) { m_fEnteringDistance = distance; }
  bool IsInRange() const { return m_bInRange; }
  bool IsNameTagHidden() const { return m_iHidden != 0; }
  FrameBuildingInfo* GetNameTag() const { return m_pNameTag; }

  // Component data, then "ARCH", version 2, window type, entering distance, "EOA".
  void Serialize(VArchive& ar) override;
  virtual bool SerializeX(VArchive& ar);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Listen(bool on);
  VisBaseEntity_cl* GetOwnerEntity() const;

  int m_eWindowType = WT_NONE;
  float m_fEnteringDistance = 2.0f;
  bool m_bInRange = false;
  int m_iHidden = 1;
  FrameBuildingInfo* m_pNameTag = nullptr;
  bool m_bListening = false;
};
