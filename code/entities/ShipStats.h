// The persistent record of one ship: what the campaign keeps of it while no
// entity exists, and what the live ship reads and writes while it sails.
#pragma once

#include "entities/Hitpoints.h"
#include "Managers/SerializableStream.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <cstdint>
#include <vector>

class UpgradeEntityTemplate;
class VArchive;

// The record's values apart from the owned upgrades: copyable, so that a saved block
// is read into a copy and taken over only when it is whole.
struct ShipStatsValues {
  VString m_sShipName;
  VString m_sScript;
  VString m_sLocation;
  bool m_bPlayerShip = false;
  int m_iNation = 0;
  int m_iColorScheme = 0;
  std::vector<int> m_numbers;
  std::vector<int> m_specialWeapons;
  int m_iCurrentSpecialWeapon = 0;
  int m_iCurrentSpecialIndex = 0;
  float m_fSpeedMultiplier = 1.0f;
  float m_fDamageFactor = 1.0f;
  float m_fTurnMultiplier = 1.0f;
  float m_fBallFlightFactor = 1.0f;
  float m_fReloadFactor = 1.0f;
  float m_fBoardingTime = -1.0f;
  Hitpoints m_hull;
  Hitpoints m_sails;
  float m_fCannonBallDamage = 1.0f;
  float m_fRocketDamage = 1.0f;
  float m_fMineDamage = 1.0f;
  float m_fMortarDamage = 1.0f;
  float m_fMirvDamage = 1.0f;
  int m_iExperienceAmount = 0;
  int m_iMinLoot = 0;
  int m_iMaxLoot = 1;
  VisVector_cl m_vSavedPosition{0, 0, 0};
  VisVector_cl m_vSavedOrientation{0, 0, 0};
  VString m_sIcon;
  float m_fDamageRating = 0.0f;
  float m_fSpeedRating = 0.0f;
  float m_fManeuveringRating = 0.0f;
  float m_fToughnessRating = 0.0f;
  int m_iLevel = 3;
  int m_iPrice = 100;
  int m_iUnlockPrice = 0;
  int m_iSellValue = 50;
  VString m_sFlagTexture;
  int m_bCanCapture = 1;
  int64_t m_iUniqueID = 0;
  VSmartPtr<SerializableStream> m_spComponentStream;
};

class ShipStats : private ShipStatsValues {
 public:
  ShipStats() = default;
  // Deletes the upgrade templates; the component stream is shared and only released.
  virtual ~ShipStats();
  ShipStats(const ShipStats&) = delete;
  ShipStats& operator=(const ShipStats&) = delete;

  // Appends and buys an upgrade whose name is not present yet (the record then owns
  // it); an upgrade of a name already present is ignored and stays the caller's.
  virtual void AddUpgrade(UpgradeEntityTemplate* upgrade);
  virtual void ChangeColorScheme(int scheme) { m_iColorScheme = scheme; }
  // Null for an index beyond the count.
  virtual UpgradeEntityTemplate* GetUpgrade(unsigned int i) const;
  // Block: "ARCH", version 12, the fields, "EOA"; older blocks are read by version.
  virtual bool SerializeX(VArchive& ar);

  bool CheckUpgradeByName(const char* name) const { return GetUpgradeByName(name) != nullptr; }
  UpgradeEntityTemplate* GetUpgradeByName(const char* name) const;
  int GetPlayerUpgradeCount() const { return (int)m_upgrades.size(); }

  // Special weapons (ProjectileType values). Adding never changes the selection.
  bool AddSpecialWeapon(int type);
  bool HasSpecialWeapon(int type) const;
  void NextSpecialWeapon();
  void PrevSpecialWeapon();
  const std::vector<int>& GetSpecialWeapons() const { return m_specialWeapons; }
  int GetCurrentSpecialWeapon() const { return m_iCurrentSpecialWeapon; }
  void SetCurrentSpecialWeapon(int type) { m_iCurrentSpecialWeapon = type; }
  int GetCurrentSpecialIndex() const { return m_iCurrentSpecialIndex; }
  void SetCurrentSpecialIndex(int index) { m_iCurrentSpecialIndex = index; }

  // Fills another record for a bought ship: everything but the weapon damages, the
  // loot range, can-capture and the upgrades. The component stream is shared.
  void CopyFrom(const ShipStats& source) { source.CopyTo(*this); }
  void CopyTo(ShipStats& target) const;

  // Names and texts.
  const VString& GetShipName() const { return m_sShipName; }
  void SetShipName(const char* name) { m_sShipName = name; }
  const VString& GetScript() const { return m_sScript; }
  void SetScript(const char* script) { m_sScript = script; }
  // The town the ship lies in, for ships kept by the campaign (empty at sea).
  const VString& GetLocation() const { return m_sLocation; }
  void SetLocation(const char* location) { m_sLocation = location; }
  const VString& GetShipIcon() const { return m_sIcon; }
  void SetShipIcon(const char* icon) { m_sIcon = icon; }
  const VString& GetFlagTexture() const { return m_sFlagTexture; }
  void SetFlagTexture(const char* texture) { m_sFlagTexture = texture; }

  // The ship the player sails (player-controllable).
  bool IsPlayerShip() const { return m_bPlayerShip; }
  void SetPlayerShip(bool player) { m_bPlayerShip = player; }
  int GetNation() const { return m_iNation; }
  void SetShipNation(int nation) { m_iNation = nation; }
  int GetColorScheme() const { return m_iColorScheme; }
  std::vector<int>& GetNumberList() { return m_numbers; }
  const std::vector<int>& GetNumberList() const { return m_numbers; }

  // Multipliers: movement speed and turn rate, the damage, flight and reload of the
  // ship's cannon balls.
  float GetSpeedMultiplier() const { return m_fSpeedMultiplier; }
  void SetSpeedMultiplier(float f) { m_fSpeedMultiplier = f; }
  float GetDamageFactor() const { return m_fDamageFactor; }
  void SetDamageFactor(float f) { m_fDamageFactor = f; }
  float GetTurnMultiplier() const { return m_fTurnMultiplier; }
  void SetTurnMultiplier(float f) { m_fTurnMultiplier = f; }
  float GetBallFlightFactor() const { return m_fBallFlightFactor; }
  void SetBallFlightFactor(float f) { m_fBallFlightFactor = f; }
  float GetReloadFactor() const { return m_fReloadFactor; }
  void SetReloadFactor(float f) { m_fReloadFactor = f; }
  float GetBoardingTime() const { return m_fBoardingTime; }
  void SetBoardingTime(float t) { m_fBoardingTime = t; }

  Hitpoints& GetHull() { return m_hull; }
  const Hitpoints& GetHull() const { return m_hull; }
  Hitpoints& GetSails() { return m_sails; }
  const Hitpoints& GetSails() const { return m_sails; }

  // Damage of the weapon kinds this ship fires.
  float GetCannonBallDamage() const { return m_fCannonBallDamage; }
  void SetCannonBallDamage(float d) { m_fCannonBallDamage = d; }
  float GetRocketDamage() const { return m_fRocketDamage; }
  void SetRocketDamage(float d) { m_fRocketDamage = d; }
  float GetMineDamage() const { return m_fMineDamage; }
  void SetMineDamage(float d) { m_fMineDamage = d; }
  float GetMortarDamage() const { return m_fMortarDamage; }
  void SetMortarDamage(float d) { m_fMortarDamage = d; }
  float GetMirvDamage() const { return m_fMirvDamage; }
  void SetMirvDamage(float d) { m_fMirvDamage = d; }

  int GetExperienceAmount() const { return m_iExperienceAmount; }
  void SetExperienceAmount(int xp) { m_iExperienceAmount = xp; }
  int GetMinLootAmount() const { return m_iMinLoot; }
  void SetMinLootAmount(int n) { m_iMinLoot = n; }
  int GetMaxLootAmount() const { return m_iMaxLoot; }
  void SetMaxLootAmount(int n) { m_iMaxLoot = n; }

  // Where the ship was when the game was saved; where it is created from the record.
  const VisVector_cl& GetSavedPosition() const { return m_vSavedPosition; }
  void SetSavedPosition(const VisVector_cl& p) { m_vSavedPosition = p; }
  const VisVector_cl& GetSavedOrientation() const { return m_vSavedOrientation; }
  void SetSavedOrientation(const VisVector_cl& o) { m_vSavedOrientation = o; }

  // Shop values.
  float GetDamageRating() const { return m_fDamageRating; }
  void SetDamageRating(float r) { m_fDamageRating = r; }
  float GetSpeedRating() const { return m_fSpeedRating; }
  void SetSpeedRating(float r) { m_fSpeedRating = r; }
  float GetManeuveringRating() const { return m_fManeuveringRating; }
  void SetManeuveringRating(float r) { m_fManeuveringRating = r; }
  float GetToughnessRating() const { return m_fToughnessRating; }
  void SetToughnessRating(float r) { m_fToughnessRating = r; }
  int GetLevel() const { return m_iLevel; }
  void SetLevel(int level) { m_iLevel = level; }
  int GetPrice() const { return m_iPrice; }
  void SetPrice(int price) { m_iPrice = price; }
  int GetUnlockPrice() const { return m_iUnlockPrice; }
  void SetUnlockPrice(int price) { m_iUnlockPrice = price; }
  int GetSellValue() const { return m_iSellValue; }
  void SetSellValue(int value) { m_iSellValue = value; }

  int CanCapture() const { return m_bCanCapture; }
  void SetCanCapture(int can) { m_bCanCapture = can; }
  int64_t GetUniqueID() const { return m_iUniqueID; }
  void SetUniqueID(int64_t id) { m_iUniqueID = id; }

  // The "<ShipStream>" holding the ship's component archive; null until first saved.
  SerializableStream* GetComponentStream() const { return m_spComponentStream.GetPtr(); }
  void SetComponentStream(SerializableStream* stream) { m_spComponentStream = stream; }

  static constexpr char CurrentVersion = 12;

 private:
  std::vector<UpgradeEntityTemplate*> m_upgrades;
};

VArchive& operator<<(VArchive& ar, ShipStats& stats);
VArchive& operator>>(VArchive& ar, ShipStats& stats);
