// The mouse as game input: once per frame it casts the pick ray under the cursor
// over the entities it keeps for tracing, and turns clicks into the player's
// selections and orders.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisTraceLineInfo.h"

class Player;

class MouseInputHandler : public IVisCallbackHandler_cl {
 public:
  explicit MouseInputHandler(Player* player);
  ~MouseInputHandler() override;

  // The per-frame step, run by GameManager::Update while the game is played.
  // Picking, selection, orders, cursor shapes and tooltips come with the player's
  // land and sea controls; so far it reads the mouse buttons, and nothing at all
  // while the cursor is over a GUI window.
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

  Player* GetPlayer() const { return m_pPlayer; }
  bool IsLeftButtonDown() const { return m_iLeftButton != 0; }
  bool IsRightButtonDown() const { return m_iRightButton != 0; }

 private:
  // Whether the entity belongs in the trace collection.
  static bool CanTrace(VisBaseEntity_cl* entity);

  int m_iLeftButton = 0;
  int m_iRightButton = 0;
  VisTraceLineInfo_t m_clickEntityTrace;
  VisTraceLineInfo_t m_clickGroundTrace;
  VisTraceLineInfo_t m_hoverEntityTrace;
  VisTraceLineInfo_t m_hoverGroundTrace;
  VisEntityCollection_cl m_traceEntities{128, 512};
  Player* m_pPlayer;
};
