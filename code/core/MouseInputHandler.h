// The mouse as game input: once per frame it casts the pick ray under the cursor
// over the entities it keeps for tracing, and turns clicks into the player's
// selections and orders, sets the cursor shape and shows hover feedback.
#pragma once

#include "core/SelectionBox.h"

#include "engine/base/VCallback.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisTraceLineInfo.h"

#include <memory>
#include <vector>

namespace CEGUI {
class Window;
}

class Player;
class VisStaticGeometryInstance_cl;

class MouseInputHandler : public IVisCallbackHandler_cl {
 public:
  explicit MouseInputHandler(Player* player);
  ~MouseInputHandler() override;

  // The per-frame step, run by GameManager::Update while the game is played:
  // nothing at all while the cursor is over a GUI window; else the pick ray, the
  // left click or the right-button step, the hover step and the release.
  void Update();

  // Scene loaded and engine de-init; entities created and destroyed (event bus).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The entities the pick ray tests; the collection grows as needed.
  void AddTraceEntity(VisBaseEntity_cl* entity);
  void RemoveTraceEntity(VisBaseEntity_cl* entity);
  const VisEntityCollection_cl& GetTraceEntities() const { return m_traceEntities; }

  // A new location forgets what the cursor hovered over.
  void ResetHoverEntityTrace() { m_hoverEntityTrace.Clear(); }
  const VisTraceLineInfo_t& GetHoverEntityTrace() const { return m_hoverEntityTrace; }
  const VisTraceLineInfo_t& GetHoverGroundTrace() const { return m_hoverGroundTrace; }
  const VisTraceLineInfo_t& GetClickEntityTrace() const { return m_clickEntityTrace; }
  const VisTraceLineInfo_t& GetClickGroundTrace() const { return m_clickGroundTrace; }

  Player* GetPlayer() const { return m_pPlayer; }
  bool IsLeftButtonDown() const { return m_iLeftButton != 0; }
  bool IsRightButtonDown() const { return m_iRightButton != 0; }
  float GetCursorX() const { return m_fCursorX; }
  float GetCursorY() const { return m_fCursorY; }
  // 0 idle, 1 while the right button is held.
  int GetRightButtonState() const { return m_iRightButtonState; }
  // False while the ground under the cursor cannot be walked by the selection.
  bool IsOrderAllowed() const { return m_bOrderAllowed; }
  bool IsDragging() const { return m_bDragging; }
  const SelectionBox& GetDragBox() const { return m_dragBox; }
  const SelectionBox& GetOrderAnchorBox() const { return m_orderAnchorBox; }
  // The hover tooltip ("Tooltip2"), made on the first land frame.
  CEGUI::Window* GetTooltipWindow() const { return m_pTooltip; }

 private:
  // Whether the entity belongs in the trace collection.
  static bool CanTrace(VisBaseEntity_cl* entity);

  void ReadCursor();
  void CreateTooltip();
  // Ground (visible static geometry of type 2), then the registered entities.
  void TracePickRay(VisTraceLineInfo_t& entityTrace, VisTraceLineInfo_t& groundTrace);
  void LeftClick();
  void DragStep();
  void RightButtonStep();
  void GiveOrder();
  void BuildingUseStep(VisBaseEntity_cl* entity);
  void HoverStep();
  void PlaceTooltip(bool show);
  void PlayReleaseAcknowledgement();

  int m_iLeftButton = 0;
  int m_iRightButton = 0;
  VisTraceLineInfo_t m_clickEntityTrace;
  VisTraceLineInfo_t m_clickGroundTrace;
  VisTraceLineInfo_t m_hoverEntityTrace;
  VisTraceLineInfo_t m_hoverGroundTrace;
  VisEntityCollection_cl m_traceEntities{128, 512};
  float m_fCursorX = 0.0f;
  float m_fCursorY = 0.0f;
  Player* m_pPlayer;
  SelectionBox m_orderAnchorBox;
  SelectionBox m_dragBox;
  int m_iRightButtonState = 0;
  bool m_bOrderAllowed = false;
  bool m_bDragging = false;
  CEGUI::Window* m_pTooltip = nullptr;
  // Scratch list of the ground the pick ray tests; made once, refilled each frame.
  std::unique_ptr<std::vector<VisStaticGeometryInstance_cl*>> m_pGroundScratch;
};
