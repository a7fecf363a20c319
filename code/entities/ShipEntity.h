// The engine entity of every ship at sea and in harbours. Its behaviour lives in
// the components the ship factory attaches; the entity links the ship to its
// persistent record, holds its sails, flags and special cannon, routes messages
// to its children and the sea battle, and builds itself from its configuration.
#pragma once

#include "core/BaseEntity.h"

#include "engine/base/DynArray.h"

class CannonComponent;
class ClothEntity;
class PhysXCollisionEntity;
class ShipStats;

class ShipEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(ShipEntity)
 public:
  // Collision groups of ships: neither the player's nor AI-controlled, the player's,
  // AI-controlled.
  static constexpr unsigned COLLISION_GROUP_OTHER = 1;
  static constexpr unsigned COLLISION_GROUP_PLAYER = 3;
  static constexpr unsigned COLLISION_GROUP_AI = 5;

  // Registers on the save manager's before-save and after-load callbacks.
  ShipEntity();
  ~ShipEntity() override;

  // The test every ship component makes of its owner: 1 for a ship, else 0 with
  // the refusal text.
  static int AcceptsComponentOwner(VisTypedEngineObject_cl* object, VString& reason);

  // "ARCH", version 4, config file, sails, flags, a reserved int, "EOA", then the
  // base entity's block.
  void Serialize(VArchive& ar) override;
  // Children first (not back to the sender in p2), then 29 heals, 17 kills, the AI
  // modes and 17 go to the sea battle, then the components.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void DeInitFunction() override;
  // A ship the engine removes loses its components and physics object.
  void ThinkFunction() override;
  // Before a save: position, orientation and component state into the record.
  // After a load: the flag texture again.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The ship's record; not owned (the campaign owns it).
  ShipStats* GetStats() const { return m_pStats; }
  void SetStats(ShipStats* stats) { m_pStats = stats; }
  const VString& GetConfigFile() const { return m_sConfigFile; }
  void SetConfigFile(const char* file) { m_sConfigFile = file; }
  const VString& GetScriptFile() const { return m_sScriptFile; }
  void SetScriptFile(const char* file) { m_sScriptFile = file; }
  DynArray_cl<ClothEntity*>& GetSails() { return m_sails; }
  DynArray_cl<ClothEntity*>& GetFlags() { return m_flags; }
  // The cannon of the special-weapon group.
  CannonComponent* GetSpecialCannon() const { return m_pSpecialCannon; }
  void SetSpecialCannon(CannonComponent* cannon) { m_pSpecialCannon = cannon; }
  // Every ordinary cannon of the configuration gets a second cannon component.
  int HasDoubleCannons() const { return m_bDoubleCannons; }
  void SetDoubleCannons(int on) { m_bDoubleCannons = on; }
  // One frame without movement; reading the flag clears it.
  void DisableMovementOneFrame() { m_bSkipMovement = 1; }
  int GetDisableMovementOneFrame();
  // Set by a stink cloud in each frame it lifts or holds the ship: while set, the
  // ship's height and velocity are the cloud's. Not saved.
  void SetStinkFlag(bool on) { m_bStink = on; }
  bool GetStinkFlag() const { return m_bStink; }

  // Textures of flags, sails and colour schemes.
  void ChangeFlag(const char* texture);
  void ChangeSails(int surface, const char* texture);
  void ChangeColorScheme(int scheme);
  // Player input or AI, the collision group and the player's nation.
  void SetPlayerControllable(bool on);
  // The collision group and name of the physics object and of the sails' cloths,
  // and a damage-texture component on every sail.
  void ApplyCollisionGroup(unsigned group);

  // Hull points within 0 .. maximum (not while god mode takes a loss), then
  // message 18 to the ship.
  void AddHitpoints(int n);
  // Hull and sails to their maxima, then message 18.
  void ResetHitpoints();
  void KillShip();
  void SetBoostTime(float seconds);
  void SetShipNation(int nation);
  void SetCanCapture(int can);
  // Copies the collision entity's shapes into the ship's actor.
  void AddCollision(PhysXCollisionEntity* collision);

  // The configuration archive: rigid body, cloths, cannons and collision shapes.
  void LoadFromConfig(const VString& file);
  void LoadFromConfig();
  // Writes the configuration from the ship's attached children (an editor tool;
  // the children are detached for good).
  void SaveToConfig();

 protected:
  void ResetHullAndSails();

  ShipStats* m_pStats = nullptr;
  VString m_sConfigFile;
  VString m_sScriptFile;
  DynArray_cl<ClothEntity*> m_sails;
  DynArray_cl<ClothEntity*> m_flags;
  CannonComponent* m_pSpecialCannon = nullptr;
  int m_bDoubleCannons = 0;
  int m_bSkipMovement = 0;
  bool m_bStink = false;

  static void BuildVarList(VARTABLE& t);
};
