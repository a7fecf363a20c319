// The player's own record: a hero record with the player's money, ships, unlocked
// upgrades, weapons and ship types, pending level-ups and the level-up increase.
#pragma once

#include "entities/HeroStats.h"
#include "entities/StatsIncrease.h"

#include "engine/base/VString.h"

#include <vector>

class ShipStats;

class PlayerStats : public HeroStats {
  V_DECLARE_DYNAMIC(PlayerStats)
 public:
  // Own block version written after the hero block; 7 and older blocks carry no
  // record of the increase already applied.
  static constexpr char BLOCK_VERSION = 8;

  PlayerStats();
  ~PlayerStats() override;

  // The hero block, then "ARCH", version 8, money (unsigned), selected hero script id,
  // ships (count and blocks), pending level-ups, upgrades, ship names, weapons (count
  // and values each), the level-up increase, the increase already applied to the
  // player's soldier record, "EOA".
  bool SerializeX(VArchive& ar) override;

  // The player's own rule: a level is gained while the experience reaches the entry of
  // the NEXT level; each level adds its increase and every third a pending level-up.
  void AddExperience(int xp) override;

  int GetMoney() const { return m_iMoney; }
  void AddMoney(int amount) { m_iMoney += amount; }
  void DecMoney(int amount) { m_iMoney -= amount; }
  bool CanAfford(int price) const { return m_iMoney - price >= 0; }
  int GetSelectedHeroScriptId() const { return m_iSelectedHeroScriptId; }
  void SetSelectedHeroScriptId(int id) { m_iSelectedHeroScriptId = id; }

  // The player's ships in the order they joined (owned).
  const std::vector<ShipStats*>& GetPlayerShips() const { return m_ships; }
  void AddPlayerShip(ShipStats* ship);
  // Takes the record out of the player's ships without deleting it; false when absent.
  bool RemovePlayerShip(ShipStats* ship);
  // Adds the sell value to the money; a record of the player's ships is then taken out
  // and deleted (true), any other stays the caller's (false).
  bool SellShip(ShipStats* ship);
  bool BuyShip(ShipStats* offer);

  void UnlockUpgrade(int upgrade);
  bool IsUpgradeUnlocked(int upgrade) const;
  void UnlockWeapon(int weapon);
  bool IsWeaponUnlocked(int weapon) const;
  void UnlockShip(ShipStats* ship);
  bool IsShipUnlocked(ShipStats* ship) const;
  // Whether the inventory holds at least n blueprints.
  bool CanUnlock(int n) const;

  // Level-ups.
  StatsIncrease* GetPlayerLevelUpStats() const { return m_pLevelUpStats; }
  const StatsIncrease& GetAppliedIncrease() const { return m_AppliedIncrease; }
  bool IsLevelUp() const { return m_iPendingLevelUps > 0; }
  void SetLevelUp() { --m_iPendingLevelUps; }
  int GetPendingLevelUps() const { return m_iPendingLevelUps; }
  // Brings the player's soldier record up to the accumulated increase: only what is
  // not in it yet is added (combat values and hit points), so the increase counts once
  // however often a level is gained or the soldier is made again.
  void ApplyLevelUpIncrease();

 private:
  // This level's increase from the game script, added to the accumulated one.
  void AddLevelIncrease();

  int m_iSelectedHeroScriptId = 0;
  int m_iMoney = 0;
  std::vector<ShipStats*> m_ships;
  std::vector<int> m_unlockedUpgrades;
  std::vector<int> m_unlockedWeapons;
  std::vector<VString> m_unlockedShips;
  int m_iPendingLevelUps = 0;
  StatsIncrease* m_pLevelUpStats;
  // The part of the accumulated increase that the player's soldier record holds.
  StatsIncrease m_AppliedIncrease;
};
