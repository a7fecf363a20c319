// The game's central singleton: nations, weapons, the current location, world
// time, unique identifiers and campaign timers; it runs the hot keys and the
// game's per-frame logic inside the engine's scene update.
#pragma once

#include "core/CallbackManager.h"
#include "core/Weapon.h"
#include "util/Singleton.h"

#include "engine/base/DynArray.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VCallback.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include "engine/sound/VSoundObject.h"

#include <cstdint>
#include <vector>

class MouseInputHandler;
class Nation;
class Navigation;
class SoldierEntity;
class TownEntity;
class UnitEntity;
class UnitEntityTemplate;
class VisBaseEntity_cl;

enum GameMode { GAME_MODE_CAMPAIGN = 0, GAME_MODE_DLC = 1 };

class GameManager : public Singleton<GameManager>, public IVisCallbackHandler_cl {
 public:
  // The game's event bus, built when the plug-in loads.
  static CallbackManager Callbacks;

  ~GameManager() override;

  // Start of the game side (plug-in start) and its end (application de-init; the
  // destructor runs it again, every step checking what it ends).
  void OneTimeInit();
  void OneTimeDeInit();

  // Per-frame scene update, script tick, editor mode, scene load and unload,
  // engine de-init and terrain sectors.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Update does nothing while the game is not played.
  void SetPlayTheGame(bool play);
  bool IsPlayingTheGame() const { return m_bPlayTheGame; }
  void Update();
  // Hot keys, every frame before Update.
  void ProcessKeys();
  void UpdateWindForCloths();

  // At sea the player's ship, on land the player character's unit; null otherwise.
  VisBaseEntity_cl* GetPlayerEntity();

  // -1 none, 0 world map, 1 land or town, 2 sea. Setting it forgets the mouse
  // handler's hover hit.
  int GetLocation() const { return m_iLocation; }
  void SetLocation(int location);
  bool IsPlayerAtSea() const { return m_iLocation == 0 || m_iLocation == 2; }
  bool IsPlayerOnLand() const { return m_iLocation == 1; }

  float GetWorldTime() const { return m_fWorldTime; }
  void SetWorldTime(float t) { m_fWorldTime = t; }
  bool CanTeleport() const { return m_bCanTeleport; }
  void SetCanTeleport(bool can) { m_bCanTeleport = can; }
  // The per-frame update teleports once teleporting is allowed.
  void SetTeleportTarget(const char* target) { m_sTeleportTarget = target; }
  VString GetCurrentTeleportTarget() const { return m_sTeleportTarget; }
  // A town's or a scene's name: exits the scene and loads the town or the scene.
  void Teleport(const char* name);
  // Unloads the world, loads the land scene and starts the land battle in it.
  void StartLandBattle(const char* scene);
  // A town within 50 of the player's first ship; asked again at most every 0.5 s.
  bool IsPlayerNearAnyTown();
  // Step 7 of the update once the nearest town is known: its highlight and
  // discovery when it changes, and the town entered within its entering distance
  // (compared with the squared distance).
  void OnNearestTown(TownEntity* nearest, const VisVector_cl& playerPosition);
  // Ship upgrades of the shipyard's selected ship, else the player's ship.
  void UpgradeShipSpeed(float d);
  void UpgradeShipManeuverability(float d);
  void UpgradeShipCannonDamage(float d);
  void UpgradeShipCannonRange(float d);
  void UpgradeShipCannonLoadingTime(float d);
  void UpgradeShipDurability(int hull, int sails);
  MouseInputHandler* GetMouseInputHandler() const { return m_pMouseInputHandler; }
  Navigation* GetNavigation() const { return m_pNavigation; }
  TownEntity* GetNearestTown() const { return m_pNearestTown; }
  GameMode GetGameMode() const { return m_eGameMode; }
  void SetGameMode(GameMode mode) { m_eGameMode = mode; }
  bool HasLowHitPoints() const { return m_bLowHitPoints; }
  // The seagulls' cry near the player, while one has been started.
  VSoundObject* GetSeagullSound() const { return m_spSeagullSound.GetPtr(); }
  void SetFollowCameraState(bool follow) { m_bFollowCamera = follow; }
  bool GetFollowCameraState() const { return m_bFollowCamera; }
  void EndCampaign(float seconds) { m_fCampaignEndCountdown = seconds; }
  float GetCampaignEndCountdown() const { return m_fCampaignEndCountdown; }
  void PlayerDiedLoadSave(float seconds) { m_fPlayerDiedCountdown = seconds; }
  float GetPlayerDiedCountdown() const { return m_fPlayerDiedCountdown; }

  // Live particles of every running effect, over all its layers.
  int GetOverallParticleCount() const;
  // Pauses or resumes every running effect and each of its layers.
  void PauseParticles(bool pause);

  // Unique identifiers: new ones never collide with those of loaded entities.
  int64_t GetNextUniqueID() { return m_iNextUniqueID++; }
  void AddUniqueID(int64_t id);
  void ResetUniqueID() { m_iNextUniqueID = 1; }
  VisBaseEntity_cl* FindEntityByUniqueID(int64_t id) const;
  VisBaseEntity_cl* FindEntityByUniqueID(uint32_t low, uint32_t high) const;

  // The entities the mouse pick ray tests; the collection grows as needed.
  void AddTraceEntity(VisBaseEntity_cl* entity);
  void RemoveTraceEntity(VisBaseEntity_cl* entity);

  // Nations. Slot 1 is the player's nation; a slot may be empty (null). The
  // table owns its nations.
  void InitNations();
  // Into the first empty slot, growing the table when none is empty.
  void AddNation(Nation* nation);
  void ResetNations();
  void ClearNationShips();
  // Null for an empty slot or one beyond the table.
  Nation* GetNation(unsigned i) const;
  // The first nation whose name matches without regard to case, or null.
  Nation* GetNation(const VString& name) const;
  // Index of the last filled slot + 1.
  unsigned GetNationCount() const;
  Nation* GetPlayerNation() const;
  // The name of nation i; nation 0's name beyond the count; empty for an empty slot.
  VString GetNationString(int i) const;
  // 0 for an empty slot or one beyond the table (the table never grows on a read).
  float GetReputation(unsigned i) const;
  // The mean reputation of "Pirate", "Corsair" and "Buccaneer"; 0 unless all three exist.
  float GetTotalFactionReputation() const;

  // Land units: the engine creates the unit from the template, and it casts
  // shadows. Null when the template names no unit class.
  UnitEntity* CreateUnit(UnitEntityTemplate& templ);

  // A new soldier in the unit, made without a statistics record; null without a unit.
  SoldierEntity* CreateSoldier(UnitEntity* unit);

  // Weapons, in the order the script added them.
  void InitWeapons();
  // Appends a copy; an id already present is not looked for.
  void AddWeapon(const Weapon& weapon);
  // The first record with that id, else the default record.
  const Weapon& GetWeapon(int id) const;
  int GetWeaponCount() const { return (int)m_weapons.size(); }

 private:
  friend class Singleton<GameManager>;
  GameManager();

  void RegisterEngineCallbacks(bool on);
  // Scene collectables of a land scene: one wind charm per town, the eyepatches not yet collected.
  void InitCollectables();
  void UpdateSeagulls(VisBaseEntity_cl* player);
  void UpdateCountdowns(float dt);
  // The nearest town around the player entity, then OnNearestTown.
  void UpdateNearestTown();
  // Animated scene lights do not all pulse alike.
  void ShiftLightPhases();
  bool KeysAllowed() const;

  MouseInputHandler* m_pMouseInputHandler = nullptr;
  Navigation* m_pNavigation = nullptr;
  bool m_bCanTeleport = true;
  DynArray_cl<Nation*> m_nations;
  bool m_bPlayTheGame = false;
  bool m_bNearAnyTown = false;
  float m_fNearTownCountdown = 0.5f;
  float m_fWorldTime = 0.0f;
  int m_iLocation = -1;
  VString m_sTeleportTarget;
  VSmartPtr<VSoundObject> m_spSeagullSound;
  float m_fCampaignEndCountdown = 0.0f;
  float m_fPlayerDiedCountdown = 0.0f;
  int64_t m_iNextUniqueID = 1;
  std::vector<Weapon> m_weapons;
  TownEntity* m_pNearestTown = nullptr;
  GameMode m_eGameMode = GAME_MODE_CAMPAIGN;
  bool m_bLowHitPoints = false;
  bool m_bFollowCamera = false;
  bool m_bCallbacksRegistered = false;
};
