// Turns the hit messages a ship receives into damage on its record's hull and
// sails, decides when the ship sinks and drives the sinking, engages the sea
// battle, and carries the ship's god mode, armour and private-fighter switches.
#pragma once

#include "core/BaseComponent.h"
#include "Managers/NoiseData.h"

#include "engine/base/VCallback.h"

class ShipEntity;
class VArchive;

class ShipBattleComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipBattleComponent)
 public:
  enum SinkingStyle { SINKING_NONE = 0, SINKING_LINEAR = 1, SINKING_BOW_FIRST = 2 };
  // How deep a wreck goes before it dies and is removed.
  static constexpr float SINK_DEPTH = -12.0f;
  static constexpr float MAX_SINKING_PITCH = 60.0f;
  // Radius around the player's ship within which attackers keep the battle going.
  static constexpr float BATTLE_RANGE = 150.0f;

  ShipBattleComponent();
  ~ShipBattleComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the per-frame update while it has an owner.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // The hit messages (11, 12, 20, 21, 23, 24, 25, 30, 32, 33).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;
  // "ARCH", version 2, sinking, god mode, sinking speed, z offset, pitch, pitch
  // speed, style, armour, roll rate, pitch rate, private fighter, "EOA".
  virtual bool SerializeX(VArchive& ar);

  // Applies one hit; hitRecord is the address of the sender's MsgPosOri (0: none).
  // kind is for the caller's information only.
  void TakeHit(float hullDamage, int kind, float sailDamage, float criticalChance, float sinkingSpeed,
               bool destroyed, INT_PTR hitRecord, INT_PTR extra);
  // One-way: effects, message 16, game over for the player's ship, experience.
  void StartSinking(float sinkingSpeed, bool destroyed);
  void UpdateSinkingLinear(float dt);
  void UpdateSinkingBowFirst(float dt);
  virtual void Update(float dt);
  // Lets the ship's AI answer an attack (nothing for an attacker of its own nation).
  void EngageToBattle(ShipEntity* attacker);
  void MakeNoise(eNoiseType type);
  // On every cannon component of every cannon entity of the ship.
  void SetAutoFire(bool on);

  bool IsSinking() const { return m_bSinking; }
  float GetSinkingSpeed() const { return m_fSinkingSpeed; }
  void SetSinkingSpeed(float s) { m_fSinkingSpeed = s; }
  float GetSinkingZOffset() const { return m_fSinkingZOffset; }
  void SetSinkingZOffset(float z) { m_fSinkingZOffset = z; }
  float GetSinkingPitchSpeed() const { return m_fSinkingPitchSpeed; }
  float GetSinkingPitch() const { return m_fSinkingPitch; }
  int GetSinkingStyle() const { return m_iSinkingStyle; }
  ShipEntity* GetLatestShooter() const { return m_pLatestShooter; }
  void SetGodMode(bool on) { m_bGodMode = on ? 1 : 0; }
  int GetGodMode() const { return m_bGodMode; }
  int GetArmor() const { return m_iArmor; }
  void SetArmor(int armor) { m_iArmor = armor; }
  bool IsPrivateFighter() const { return m_PrivateFighter != 0; }
  void SetPrivateFighter(bool on) { m_PrivateFighter = on ? 1 : 0; }
  bool GetAttackOnHumanCBHit() const { return m_bAttackOnHumanCBHit != 0; }
  float GetRollRate() const { return m_fRollRate; }
  float GetPitchRate() const { return m_fPitchRate; }

 protected:
  static void BuildVarList(VARTABLE& t);
  ShipEntity* GetShip() const;
  // Hull and sail damage of a cannon-ball hit (11, 12); false when the attacker is a
  // ship without a record (no hit at all).
  bool CannonBallDamage(INT_PTR hitRecord, float& hull, float& sails) const;
  // The sinking motion step shared by both styles; removes the wreck at the depth.
  void SinkBy(float step, bool bowFirst);
  // The ship's rigid body stops floating and colliding once it sinks.
  void SinkingPhysicsStart(ShipEntity* ship);
  // Drives the sinking through the rigid body; false when the ship has none.
  bool SinkingPhysicsStep(ShipEntity* ship, bool bowFirst, bool tilting);
  static void SpawnEffect(const char* file, const VisVector_cl& position);

  // Editor values; the damage model reads the ship's record instead.
  int m_iHullHitPoints = 200;
  int m_iHullHitPointsMax = 200;
  int m_iSailsHitPoints = 200;
  int m_iSailsHitPointsMax = 200;
  bool m_bSinking = false;
  int m_bGodMode = 0;
  int m_bAttackOnHumanCBHit = 1;
  float m_fSinkingSpeed = 0.0f;
  float m_fSinkingZOffset = 0.0f;
  float m_fSinkingPitch = 0.0f;
  float m_fSinkingPitchSpeed = 5.0f;
  int m_iSinkingStyle = SINKING_NONE;
  int m_iArmor = 0;
  float m_fRollRate = 0.0f;
  float m_fPitchRate = 0.0f;
  int m_PrivateFighter = 0;
  ShipEntity* m_pLatestShooter = nullptr;
  bool m_bSkipEngage = false;
};
