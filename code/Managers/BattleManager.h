// The sea battle: whether one is running, the ship queries over the ships the
// nations hold, and the clean-up when a sea scene is left.
#pragma once

#include "util/Singleton.h"

#include "engine/base/DynArray.h"
#include "engine/base/VBase.h"
#include "engine/base/VisMath.h"

class IVScriptInstance;
class ShipEntity;
class VisBaseEntity_cl;
class VArchive;

class BattleManager : public Singleton<BattleManager> {
 public:
  virtual ~BattleManager();

  // Ship messages the ships pass on (13, 14, 15, 17; p2 the ship): handed to the
  // GUI unless the GUI sent them; 17 also takes the dead ship out of the battle.
  virtual void MessageFunction(int id, INT_PTR p1, INT_PTR p2);
  // Takes the ship out of every nation's list; the battle ends unless a ship still
  // has its AI in attack mode.
  void RemoveShip(ShipEntity* ship);

  // Loads a sea scene (world map or battle): the world unloaded, the scene loaded,
  // its navigation picture read, the scene script set. Logged step by step.
  void InitWorld(int scriptArg, const char* scene);
  // The scene script's "PostInit".
  void PostInit();
  // "DeInit" of the old scene script, then "scripts\Battle1.lua" as the new one and its "Init".
  void SetSceneScript(int scriptArg);
  IVScriptInstance* GetSceneScript() const;
  // Every AI ship attacking the player's ship gives up (mode 5, no target).
  void StopAttackingPlayer();
  // The save block (version 3): the scene script with its state, the battle flag.
  bool SerializeX(VArchive& ar);

  // A battle starts once and ends once.
  void StartBattle();
  // Tells the camera entity (message 113) that the battle is over and fades the
  // battle music out.
  void EndBattle();
  bool IsBattleActive() const { return m_bBattleActive; }
  // Removes the mines, the debris and the camera entity of the scene and ends the battle.
  void ResetBattle();

  // The sea camera: finds or makes "CameraEntity", gives it a fresh mode, sea
  // camera and input component, and puts the main camera and the listener on it.
  void InitCamera();
  // Moves the player's ship (world map and sea battle only), stops it, and moves
  // the sea camera's target with it so that the camera does not sweep.
  void TeleportPlayerShip(const VisVector_cl& position);

  // Appends every ship of every nation within range (plane distance, inclusive),
  // skipping ships the engine removes; nothing for a null list.
  void GetShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out) const;

  // 1 when a ship of any nation is nearer than range (plane distance), else 0.
  int ShipsWithinRange(const VisVector_cl& position, float range) const;

  // Ship queries relative to a nation id. A nation is friendly to that id unless it
  // counts the id among its enemies, and hostile (an enemy) when it does. Every
  // query skips ships the engine removes and appends to its list.
  void GetFriendlyShips(DynArray_cl<ShipEntity*>& out, int nation) const;
  void GetEnemyShips(DynArray_cl<ShipEntity*>& out, int nation) const;
  // Plane distance within range (inclusive); ships that are sinking are skipped.
  void GetShipsWithinRangeFromArray(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out,
                                    const DynArray_cl<ShipEntity*>& ships) const;
  void GetFriendlyShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out,
                                   int nation) const;
  void GetEnemyShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out,
                                int nation) const;
  // Ships whose bearing from position lies less than angle (degrees) off direction;
  // ships the engine removes are left out.
  void GetShipsInsideSectorFromArray(const VisVector_cl& position, const VisVector_cl& direction, float angle,
                                     DynArray_cl<ShipEntity*>* out, const DynArray_cl<ShipEntity*>& ships) const;
  void GetFriendlyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range,
                                    float angle, DynArray_cl<ShipEntity*>* out, int nation) const;
  void GetEnemyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range, float angle,
                                 DynArray_cl<ShipEntity*>* out, int nation) const;
  // Ships of other nations whose AI attacks this nation.
  void GetHostileShips(DynArray_cl<ShipEntity*>& out, int nation) const;
  ShipEntity* GetClosestFriendlyShip(const VisVector_cl& position, int nation) const;
  ShipEntity* GetClosestEnemyShip(const VisVector_cl& position, int nation) const;
  ShipEntity* GetClosestHostileShip(const VisVector_cl& position, int nation) const;
  ShipEntity* GetClosestShip(const VisVector_cl& position, int nation) const;
  // The ship's index in its nation's list; -1 for null or none.
  int GetIndexInGroup(ShipEntity* ship) const;
  // Mean position of the ships; (0, 0, 0, 1) for none.
  VisVector_cl CalculateCenter(const DynArray_cl<ShipEntity*>* ships) const;
  VisVector_cl CalculateFriendlyCenter(int nation) const;
  VisVector_cl CalculateEnemyCenter(int nation) const;
  bool AnyEnemiesInRange(const VisVector_cl& position, float range, int nation) const;
  bool AnyHostileEnemiesInRange(const VisVector_cl& position, float range, int nation) const;
  void GetShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range, float angle,
                            DynArray_cl<ShipEntity*>* out) const;
  // Entities keyed "Mine" within range (plane distance, inclusive).
  void GetMinesWithinRange(const VisVector_cl& position, float range, DynArray_cl<VisBaseEntity_cl*>* out) const;

  // Ground height at the position, the terrain's offset included; 0.0 without
  // terrain. Unforced, only a terrain sector whose heights are in memory (flag
  // bit 0) answers; elsewhere the terrain's offset alone.
  float GetTerrainHeight(const VisVector_cl& position, bool force) const;

  // The closest ship of the list (nation < 0: of any nation), never a sinking one;
  // null when there is none.
  ShipEntity* GetClosestShipFromArray(const VisVector_cl& position, const DynArray_cl<ShipEntity*>* ships,
                                      int nation) const;

 private:
  friend class Singleton<BattleManager>;
  BattleManager() = default;
  // An enemy ship of another nation within range that the AI sails (attacking,
  // when asked) or the player sails.
  bool AnyEnemyInRange(const VisVector_cl& position, float range, int nation, bool attackingOnly) const;

  bool m_bBattleActive = false;
};
