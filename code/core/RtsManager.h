// The one global object of the land-battle mode: started by the plug-in start
// and ended by the application's de-init and the plug-in stop. It sets up the
// land camera, keeps the enemy soldiers the player can see, counts the player's
// units in the escape area, switches the battle music and answers range queries.
#pragma once

#include "engine/base/DynArray.h"
#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class AnimConfigManager;
class Player;
class SoldierEntity;
class UnitEntity;
class VisBaseEntity_cl;

class RtsManager : public IVisCallbackHandler_cl {
 public:
  // The land camera's script and its field of view (vertical; the horizontal one
  // follows from the aspect).
  static constexpr const char* kLandCameraScript = "scripts\\LandBattleCameraScript.lua";
  static constexpr float kLandCameraFovY = 26.23187f;
  // Slots of the visible-characters array after the start.
  static constexpr unsigned kVisibleCharacterSlots = 128;

  static RtsManager& GlobalManager();

  // Plug-in start: a new Player. Stop: leaves every callback, the highlight
  // manager, the animation cache and the Player go.
  void OneTimeInit();
  void OneTimeDeInit();
  // Object destroyed: forgets the followed unit or the escape area. Per frame (while
  // registered on the scene update): the land-battle step.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // A land scene has loaded: the escape area is looked up (nothing outside the
  // editor's play mode).
  void Initialize();
  // true: the land camera is set up, once per land battle. false: the battle is off
  // and the selection is cleared.
  void SetLandBattle(bool on);
  // Leaves the land battle: battle music fades, the Player's lists empty and the
  // per-frame step stops.
  void ExitLandBattle();
  // Between scenes: the escape area, the Player's lists, the unit highlights and
  // the animation cache are forgotten.
  void CleanUp();
  // The land-battle frame: grouping keys, visible soldiers, escape area, battle music.
  void Update();
  // Fills the visible characters (and shows or hides the enemy soldiers).
  void UpdateVisibleCharacters();

  bool IsInLandBattle() const { return m_bLandBattle; }
  // Whether the land scene being entered keeps fog of war (set by the town entry).
  void SetFogOfWar(bool on) { m_bFogOfWar = on; }
  bool IsFogOfWar() const { return m_bFogOfWar; }
  VisBaseEntity_cl* GetEscapeArea() const { return m_pEscapeArea; }
  void SetEscapeArea(VisBaseEntity_cl* entity) { m_pEscapeArea = entity; }
  bool IsPlayerIsInsideEscapeArea() const { return m_bPlayerInsideEscapeArea; }
  void SetPlayerIsInsideEscapeArea(bool inside) { m_bPlayerInsideEscapeArea = inside; }
  int GetUnitsInsideEscapeArea() const { return m_iUnitsInsideEscapeArea; }
  void SetFollowSelected(bool on) { m_bFollowSelected = on; }
  bool IsFollowSelectedOn() const { return m_bFollowSelected; }
  bool IsViewRangeEnabled() const { return m_bViewRange; }
  void SetViewRangeEnabled(bool on) { m_bViewRange = on; }
  void SetLeftControlDown(bool down) { m_bLeftControlDown = down; }
  bool IsLeftControlDown() const { return m_bLeftControlDown; }

  Player* GetPlayer() const { return m_pPlayer; }
  // The cache of shared animation configurations, made on first use.
  AnimConfigManager* GetAnimConfigManager();
  // The Player's nation; 0 without a Player.
  int GetPlayerNation() const;
  void SetPlayerNation(int nation);
  UnitEntity* GetClosestEnemyUnit(UnitEntity* unit) const;
  UnitEntity* GetClosestPlayerUnit(UnitEntity* unit) const;
  bool IsUnitSelected(UnitEntity* unit) const;
  // The player character's position; zero without one (or once it is removed).
  VisVector_cl GetPlayerPosition() const;
  // The first selected unit's position, else the player character's, else zero.
  VisVector_cl GetSelectedUnitPosition() const;
  // The camera follows the first selected unit (none without a selection).
  void SetCurrentSellectionToFollowedUnit();
  UnitEntity* GetFollowedUnit() const { return m_pFollowedUnit; }
  // The camera follows this unit (a click on its radar indicator).
  void SetFollowedUnit(UnitEntity* unit) { m_pFollowedUnit = unit; }

  // Enemy soldiers seen this frame: a soldier seen by several player soldiers is
  // listed once for each of them; empty slots are null.
  const DynArray_cl<SoldierEntity*>& GetVisibleCharacters() const { return m_visibleCharacters; }
  int GetVisibleCharacterCount() const { return m_iVisibleCharacterCount; }

  // The nearest soldier of another nation than 'nation' closer than range; null for
  // nation 0 or when none is.
  SoldierEntity* GetClosestEnemyInRange(const VisVector_cl& point, float range, int nation) const;
  // Every soldier the nation is at war with closer than range, each into the first
  // free slot of 'out'; nothing for a nation without a record.
  void GetEnemySoldiersInRange(int nation, const VisVector_cl& point, float range,
                               DynArray_cl<SoldierEntity*>& out) const;

 private:
  void EnterLandBattle();
  void UpdateEscapeArea();
  void UpdateBattleMusic();

  bool m_bLandBattle = false;
  bool m_bFogOfWar = false;
  Player* m_pPlayer = nullptr;
  AnimConfigManager* m_pAnimConfigManager = nullptr;
  UnitEntity* m_pFollowedUnit = nullptr;
  VisBaseEntity_cl* m_pEscapeArea = nullptr;
  bool m_bPlayerInsideEscapeArea = false;
  int m_iUnitsInsideEscapeArea = 0;
  bool m_bFollowSelected = false;
  DynArray_cl<SoldierEntity*> m_visibleCharacters;
  int m_iVisibleCharacterCount = 0;
  bool m_bViewRange = false;
  bool m_bLeftControlDown = false;
};
