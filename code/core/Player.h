// The human player's side of a land battle: the player's units and the enemy
// units, the selection, the player character's unit, and the orders that turn
// clicks into unit targets. RtsManager owns the one Player.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisTraceLineInfo.h"

#include <cstdint>
#include <vector>

class BaseEntity;
class SoldierEntity;
class TriggerBoxEntity_cl;
class UnitEntity;
class VInputMap;
class VisBaseEntity_cl;

class Player : public IVisCallbackHandler_cl {
 public:
  // Listens to units created and removed (GameManager::Callbacks).
  Player();
  ~Player() override;

  // A created unit joins the player's units when its nation is the player's,
  // else the enemy units; a removed unit leaves every list.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The unit whose key is "PlayerCharacter" becomes the player character.
  void AddPlayerUnit(UnitEntity* unit);
  void AddEnemyUnit(UnitEntity* unit);
  void UnitRemoved(UnitEntity* unit);

  // Selection ------------------------------------------------------------------------
  // Replaces the selection with the entity's unit (a soldier stands for its unit),
  // with the acknowledgement, unless it is selected already.
  void SetSelected(VisBaseEntity_cl* entity);
  // Adds without sound.
  void AddToSelection(VisBaseEntity_cl* entity);
  // Null clears; NPC units are never selected; only units of the player's nation.
  void DoSelection(VisBaseEntity_cl* entity, bool replace, bool playSound);
  // Unit highlights, health bars, selection effects and radar marks go too.
  void ClearSelection();
  // A selected unit or a soldier of one.
  bool IsSelected(const VisBaseEntity_cl* entity) const;
  bool IsSelected(int64_t uniqueId) const;
  // Mean x and y of the selected units (z 0); for a non-empty selection.
  VisVector_cl CalculateSelectedUnitsCenter() const;
  // The four ground corners of the left-drag rectangle.
  void SetLeftDragSelectionArea(const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c,
                                const VisVector_cl& d);
  // Adds the player's units inside the drag area; the area empties.
  void CheckLeftDragSelection();

  // Orders ---------------------------------------------------------------------------
  // A right click: at sea it steers the ship; on land the nearer of the two traces
  // gives a move, an attack or (queued) a waypoint.
  void GiveTarget(const VisTraceLineInfo_t& entityTrace, const VisTraceLineInfo_t& groundTrace, bool queued);
  // Move order in a grid around the position (the selection, or all player units).
  void GiveTargetPosition(const VisVector_cl& position, bool useSelection);
  // Attack order on the entity (a move for a soldier of a nation of type 0).
  void GiveTargetEntity(BaseEntity* entity, bool useSelection);
  // Message 163 with the point to every soldier of the selection.
  void QueueTargetPosition(const VisVector_cl& point);
  // One instance of the effect on the terrain at the position.
  void ShowEffectOnTerrain(VisParticleEffectFile_cl* effect, const VisVector_cl& position, bool alignToTerrain);
  // Puts the position on the terrain (0.1 above it) and gives the orientation of
  // its surface; (0, 0, 0) and the position unchanged without terrain under it.
  void GetTerrainEffectOrientation(VisVector_cl& position, VisVector_cl& orientation);

  // The player's ship by mouse (at sea) ------------------------------------------------
  // Where the mouse ray meets the water; the zero vector when it never does.
  VisVector_cl GetMousePositionOnZeroLevel() const;
  // A left click: fires the side of the ship the cursor is on. True when it fired.
  bool MakePlayerShipFireDecision();
  // A right click: the ship turns towards the cursor. True when it steered.
  bool SetPlayerShipHeadingToMouse();

  // Grouping keys (every land-battle frame).
  void CheckGroupingInputProto();
  void Update(float dt) { CheckGroupingInputProto(); }

  // Escape area --------------------------------------------------------------------
  bool IsPlayerInside(TriggerBoxEntity_cl* trigger) const;
  // Message 162 to each player soldier inside; returns their count (kept).
  int HandleEscapeArea(TriggerBoxEntity_cl* trigger);
  int GetSoldiersInsideEscapeArea() const { return m_iSoldiersInEscapeArea; }

  // Null beyond the end.
  UnitEntity* GetSelectionAt(unsigned index) const;
  int GetNumSelected() const { return (int)m_selection.size(); }
  int GetPlayerUnitCount() const { return (int)m_playerUnits.size(); }
  UnitEntity* GetPlayerUnit(unsigned index) const { return m_playerUnits[index]; }
  int GetEnemyUnitCount() const { return (int)m_enemyUnits.size(); }
  UnitEntity* GetPlayerCharacter() const { return m_pPlayerCharacter; }
  // The nearest unit of the other side (the player's units for a unit of another
  // nation), by 3-D distance; units of nation 0 are skipped. Null when none.
  UnitEntity* GetClosestEnemyUnit(UnitEntity* unit) const;
  // The nearest unit of the unit's own side, not the unit itself.
  UnitEntity* GetClosestPlayerUnit(UnitEntity* unit) const;
  // The nearest soldier of the nearest enemy unit to the point.
  SoldierEntity* GetNearestEnemySoldier(const VisVector_cl& point) const;
  UnitEntity* GetEnemyUnit(unsigned index) const { return m_enemyUnits[index]; }
  int GetPlayerNation() const { return m_iPlayerNation; }
  void SetPlayerNation(int nation) { m_iPlayerNation = nation; }
  // End of a land battle: the lists and the player character go.
  void CleanUp();

 private:
  std::vector<UnitEntity*> m_selection;
  std::vector<UnitEntity*> m_playerUnits;
  std::vector<UnitEntity*> m_enemyUnits;
  int m_iPlayerNation = 1;
  UnitEntity* m_pPlayerCharacter = nullptr;
  std::vector<VisVector_cl> m_dragArea;
  int m_iSoldiersInEscapeArea = 0;
  VInputMap* m_pGroupingInput = nullptr;
  // Loaded with the first move order on land.
  VSmartPtr<VisParticleEffectFile_cl> m_spGotoEffect;
};
