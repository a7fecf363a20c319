// The campaign state: the player, heroes, inventory, ships and potions.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <cstdint>
#include <set>
#include <vector>

class CollectableEntityTemplate;
class UnitEntityTemplate;
class VArchive;
class ShipEntity;
class ShipStats;
class HeroStats;
class PlayerStats;
class SoldierEntity;
class SoldierStats;
class TownEntity;
class UnitEntity;

// A potion recipe from the game script.
struct Potion {
  std::vector<int> ingredients;  // collectable ids
  int collectableId = 0;         // the potion's own collectable id
  VString captionKey;
  VString largeImage;
  VString buttonImage;
};

class GameSessionManager : public Singleton<GameSessionManager> {
 public:
  virtual ~GameSessionManager();

  // A new campaign: records cleared, settings applied, a new player record with the
  // chosen character, ships for sale, potions and the game area from the script.
  void StartNewGameSession();
  // Deletes every record and list of the campaign; the player is alive again. The
  // town manager forgets its current town and kept state, and a land battle ends
  // with the selection cleared.
  void ClearSession();
  // The save block (version 5). A block that does not check out keeps the running
  // campaign; false then.
  virtual bool SerializeX(VArchive& ar);

  // Scene changes. LoadScene(scene, location 0 world map / 1 land / 2 sea, scene
  // type, name, town argument, auto-save on the world map); ExitScene for the old
  // scene first. Both log each step.
  void LoadScene(const char* scene, int location, int sceneType, VString name, int townArg, bool flag);
  void ExitScene();
  // Creates the ships of the records, skipping player ships that lie in a town.
  void SpawnShips(const std::set<ShipStats*>& ships);
  // Places the hero's character and units in the scene (found by unique id or made).
  void SpawnHero(HeroStats* hero, const VisVector_cl& pos);
  // Every soldier record of the player and the heroes back to its maximum hit points.
  void HealAll();
  // Units of heroes standing in the escape area (its unit container's units) take
  // their place in their records and no longer wait in a town.
  void StoreEscapedUnits();
  VString GetLastLoadedSceneName() const { return m_sLastLoadedScene; }
  void SetLastLoadedSceneName(const char* name) { m_sLastLoadedScene = name; }

  // Heroes. Null when 3 heroes exist already.
  HeroStats* AddHero(const char* name, VisVector_cl pos);
  HeroStats* AddHeroById(unsigned id, VisVector_cl pos);
  HeroStats* GetHeroByTemplateId(int64_t id) const;
  // Fills the template from the game script's "InitUnitEntityTemplate"; returns it.
  UnitEntityTemplate* InitCharacter(UnitEntityTemplate* t, unsigned id, bool newId);
  void AddUnitToHero(HeroStats* hero, UnitEntity* unit);
  void RemoveUnitFromHero(UnitEntity* unit);
  int GetUnitType(UnitEntity* unit) const { return 0; }
  bool HasUnit(int unitType) const;
  // The localisation key of a unit type's name ("" for others).
  static VString GetUnitTypeName(int unitType);
  // GUI ratings of a unit template; 0 for null.
  int GetUnitDamage(UnitEntityTemplate* t) const;
  float GetPlayerCharacterDamage(UnitEntityTemplate* t) const;
  int GetUnitSpeed(UnitEntityTemplate* t) const;
  float GetPlayerCharacterSpeed(UnitEntityTemplate* t) const;
  int GetUnitToughness(UnitEntityTemplate* t) const;
  float GetPlayerCharacterToughness(UnitEntityTemplate* t) const;
  void GetAvailableSkills(std::vector<VString>& out, HeroStats* hero) const;

  // Campaign records. The manager owns the player, the heroes and the soldier records.
  PlayerStats* GetPlayer() const { return m_pPlayer; }
  int GetHeroCount() const { return (int)m_heroes.size(); }
  // The unit rank the selection's acknowledgements use: the first selected unit's
  // with fewer than two selected, else the lowest; 0 without a selection.
  int GetHighestUnitRank() const;
  // Null when out of range.
  HeroStats* GetHero(int i) const { return i >= 0 && i < (int)m_heroes.size() ? m_heroes[i] : nullptr; }
  // Experience needed per level (index = level), from the game script's
  // "GetLevelCount" and "GetLevelExp"; read when the manager is made.
  const std::vector<int>& GetLevelTable() const { return m_levelTable; }
  void LoadLevelTable();
  // The entry of level + 1, or -1 beyond the table.
  int GetNextLevelExp(int level) const;
  // Ties a soldier to its record: a hero's unit record or, without a hero, the records
  // of soldiers that follow no hero; a new default record when it has none yet. A
  // hero's own unit is left alone.
  void AddSoldierToUnit(HeroStats* hero, UnitEntity* unit, SoldierEntity* soldier);
  // Moves the record of a soldier that left its unit to the dead soldier records.
  void RemoveSoldierFromUnit(UnitEntity* unit, SoldierEntity* soldier);
  // A new record with the defaults, filled by the game script's "GetSoldierStats" for
  // the unit type. The caller owns it.
  SoldierStats* GetSoldierStats(int unitType) const;
  int GetNPCCharacterCount() const { return (int)m_npcCharacters.size(); }
  SoldierStats* GetNPCCharacter(int i) const { return m_npcCharacters[i]; }
  int GetDeadSoldierCount() const { return (int)m_deadSoldiers.size(); }
  // False once the player's own character has died.
  bool IsPlayerAlive() const { return m_bPlayerAlive; }
  void SetPlayerAlive(bool alive) { m_bPlayerAlive = alive; }

  // The player's inventory: the stored form of each collectable owned, found by
  // its key. The inventory owns the templates. One of a kind already owned raises
  // that entry's count and is disposed of.
  void AddCollectable(CollectableEntityTemplate* collectable);
  CollectableEntityTemplate* GetCollectableByName(const char* name) const;
  int GetPlayerCollectableCount() const { return (int)m_collectables.size(); }
  // Uses one item of the inventory through its script ("UseCollectable"); an item
  // used up goes when its count falls below 1. False when the player has none.
  bool UseCollectableByName(const char* name);
  CollectableEntityTemplate* GetCollectable(unsigned i) const;
  int GetPlayerCollectableCountByName(const char* name) const;
  int GetPlayerConsumableCount() const;
  bool DecreaseCollectableCountByName(const char* name, int n);
  void RemoveCollectable(unsigned i);
  bool RemoveCollectableByName(const char* name);
  // A new template of collectable id (the caller owns it); null beyond the catalogue.
  CollectableEntityTemplate* GetCollectableById(int id) const;

  // Potions from the game script.
  int GetNumPotions() const { return (int)m_potions.size(); }
  Potion* GetPotionAt(int i) const { return i >= 0 && i < (int)m_potions.size() ? m_potions[i] : nullptr; }
  Potion* GetPotionId(int collectableId) const;

  // Ships. AddShip finds the ship's record among the player's ships and the NPC
  // ships (by record or unique id) or makes one, and gives it to the ship.
  ShipStats* AddShip(ShipEntity* ship);
  // Takes the ship's record out of the player's ships (a player-nation ship) or the
  // NPC ships; with deleteStats it is deleted and the ship forgets it.
  void RemoveShip(ShipEntity* ship, bool deleteStats);
  // The town kept in the NPC-ship record with this unique id; "" when none has it.
  VString GetShipLocation(int64_t id) const;
  // The first of the player's ship records of the player's nation that the player
  // sails; null when none.
  ShipStats* GetPlayerControlledShip() const;
  // A player ship becomes an NPC ship and the other way round.
  void SwapPlayerNPCShip(ShipEntity* ship);
  const std::set<ShipStats*>& GetShipsForSale() const { return m_shipsForSale; }
  ShipStats* GetSelectedShipAtShipYard() const { return m_pSelectedShipAtShipYard; }
  void SetSelectedShipAtShipYard(ShipStats* stats) { m_pSelectedShipAtShipYard = stats; }
  const std::set<ShipStats*>& GetNPCShips() const { return m_npcShips; }
  int GetNPCShipCount() const { return (int)m_npcShips.size(); }

  // The sea game area: four corners from the game script's "GetGameAreaPosition".
  void InitGameArea();
  const std::vector<VisVector_cl>& GetGameArea() const { return m_gameArea; }
  // True without a player entity or while it is inside every edge; otherwise false,
  // with the side value of the last edge it is outside of in *outSide.
  bool IsPlayerShipInsideGameArea(float* outSide) const;

  // Positions of the eyepatches collected in a town, kept under the town's name key.
  void AddEyepatchTown(TownEntity* town, const VisVector_cl& position);
  std::vector<VisVector_cl> GetCollectedEyepatches(TownEntity* town) const;

 private:
  friend class Singleton<GameSessionManager>;
  // Reads the level table and starts a new campaign.
  GameSessionManager();
  // Deletes the records of players, heroes and soldiers.
  void ClearRecords();
  // The ships the towns offer and the potion recipes, from the game script.
  void InitShipsForSale();
  void InitPotions();
  // A hero added while the player's character is in the scene joins it there.
  void PlaceNewHero(HeroStats* hero, VisVector_cl pos);
  // Deletes the NPC ship records.
  void ClearShips();
  // Game over: the fade-out, the message and GameManager's game-over timer.
  void PlayerDied();

  struct Eyepatch {
    VString townNameKey;
    VisVector_cl position;
  };
  std::vector<CollectableEntityTemplate*> m_collectables;
  std::vector<Eyepatch> m_eyepatches;
  std::vector<int> m_levelTable;
  PlayerStats* m_pPlayer = nullptr;
  std::vector<HeroStats*> m_heroes;
  std::vector<SoldierStats*> m_npcCharacters;
  std::vector<SoldierStats*> m_deadSoldiers;
  bool m_bPlayerAlive = true;
  std::set<ShipStats*> m_npcShips;
  std::vector<VisVector_cl> m_gameArea;
  std::set<ShipStats*> m_shipsForSale;
  std::vector<Potion*> m_potions;
  VString m_sLastLoadedScene;
  ShipStats* m_pSelectedShipAtShipYard = nullptr;
  bool m_bConstructing = false;
};
