// Steers and fights a computer-controlled ship. Every 0.04 s it decides, by its
// mode, where the ship heads and which broadside fires; each frame it picks the
// sails; it steers round ships and land ahead, joins fights it hears of, removes a
// ship the player has long not seen, and loads the ship's own script.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

class ShipEntity;
class ShipPathComponent;
class TownEntity;
class VArchive;
class VisBaseEntity_cl;

class AIShipComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(AIShipComponent)
 public:
  enum AIMode {
    AIMODE_ATTACK = 0,
    AIMODE_HOLD_FIRE = 1,
    AIMODE_FLEE = 2,
    AIMODE_GOTO_TOWN = 3,
    AIMODE_SAILING = 4,
    AIMODE_IDLE = 5,
  };

  AIShipComponent();
  ~AIShipComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Seconds between two decisions.
  static constexpr float DECISION_INTERVAL = 0.04f;
  // Seconds an unseen removable ship lasts.
  static constexpr float LIFETIME = 10.0f;

  // Updates every frame and loads the script once owned; a null owner stops it.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // The frame update; targets and towns that are destroyed are dropped.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Modes (13, 14, 15, 26, 27, 28), sinking (16), a dead target (17), a noise
  // heard (300) during a sea battle from a ship of the own nation: joins its fight.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Per frame: the decision when due (heading, message 10), the sails (4, 5, 6) and
  // the lifetime of a removable ship.
  virtual void Update();
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;
  // "ARCH", version 5, the decision state, the script, coward, lifetime, can-remove,
  // attack nation, "EOA". Reading reloads the script.
  virtual bool SerializeX(VArchive& ar);

  // Mode 5 (idle) also forgets the attack nation.
  void SetAIMode(int mode);
  int GetAIMode() const { return m_iMode; }
  // Mode 3's destination: the path leads 25 units off the town's right side.
  void SetTargetTown(TownEntity* town);
  TownEntity* GetTargetTown() const { return m_pTargetTown; }
  // At the target town: a ship of the player's nation records the town as its
  // location and leaves the world; any other turns back along its path.
  void EnterTown();
  // A ship becomes the target; the path leads to the entity (the path component
  // tells the AI first when notify is set).
  void SetTargetEntity(VisBaseEntity_cl* entity, bool notify);
  // The closest ship of the nation (any hostile one for -1), chosen anew when the
  // target timer (0.5 to 1.5 s) runs out, else the current target.
  ShipEntity* SelectTargetShip(int nation);
  // Outside an attack: once per encounter with enemies within range, attacks the
  // closest hostile ship with the given chance in 100 (and makes it attack back).
  void MakeAttackDecision(float range, int chance);
  // 0 none, 1 battle, 2 full sails for the mode, the target's distance and avoidance.
  int CalcSailMode() const;
  // Yaw in degrees from the ship towards the point; the last heading when the point
  // is where the ship is.
  float CalculateHeadingTo(const VisVector_cl& point) const;
  void SetAttackTargetNation(int nation) { m_iAttackTargetNation = nation; }
  int GetAttackTargetNation() const { return m_iAttackTargetNation; }
  ShipEntity* GetTargetShip() const { return m_pTargetShip; }
  void SetTargetShip(ShipEntity* ship) { m_pTargetShip = ship; }
  void SetCoward(bool coward) { m_bCoward = coward; }
  bool IsCoward() const { return m_bCoward; }
  void SetOnManualPath(bool on) { m_bOnManualPath = on; }
  bool IsOnManualPath() const { return m_bOnManualPath; }
  void SetCanRemove(int can) { m_iCanRemove = can; }
  int CanRemove() const { return m_iCanRemove; }
  void SetLifeTime(float seconds) { m_fLifeTime = seconds; }
  float GetLifeTime() const { return m_fLifeTime; }
  bool IsActive() const { return m_bActive; }
  // The heading and sails last sent, and the attack run's state (0 far, 1 run, 2 too close).
  float GetHeading() const { return m_fHeading; }
  int GetSailMode() const { return m_iSailMode; }
  int GetApproachState() const { return m_iApproachState; }
  float GetSideOffset() const { return m_fSideOffset; }
  void SetTryPreventCollision(bool on) { m_bTryPreventCollision = on ? 1 : 0; }

  // The ship's script: replaces the owner's script instance when a file is named.
  void SetScript(const char* file);
  const char* GetScript() const { return m_sScriptFile.AsChar(); }
  void LoadScript();
  void RemoveScript();

  // Collision avoidance: a probe found something ahead (state other than 0: 1 and 2
  // something in the way on the right or left, 3 and 4 land there, 5 both sides);
  // the free-water ratio is the smallest hit fraction of the probe (1 = nothing hit).
  bool IsAvoidingCollision() const { return m_iAvoidanceState != 0; }
  int GetAvoidanceState() const { return m_iAvoidanceState; }
  float GetFreeWaterRatio() const { return m_fFreeWaterRatio; }
  void SetAvoidance(int state, float freeWaterRatio) {
    m_iAvoidanceState = state;
    m_fFreeWaterRatio = freeWaterRatio;
  }

  VString m_sScriptFile;

 protected:
  static void BuildVarList(VARTABLE& t);

  int m_bTryPreventCollision = 1;
  ShipEntity* m_pTargetShip = nullptr;
  int m_iSailMode = 0;
  float m_fHeading = 0.0f;
  TownEntity* m_pTargetTown = nullptr;
  float m_fDecisionTimer = 0.0f;
  float m_fTargetTimer = 0.0f;
  float m_fAvoidanceTimer = 0.0f;
  int m_iApproachState = 0;
  int m_iMode = AIMODE_ATTACK;
  int m_iAvoidanceState = 0;
  bool m_bActive = true;
  bool m_bOnManualPath = false;
  bool m_bDecided = false;
  bool m_bCoward = true;
  float m_fLifeTime = 10.0f;
  float m_fFreeWaterRatio = 1.0f;
  int m_iCanRemove = 0;
  int m_iAttackTargetNation = -1;
  float m_fSideOffset = 90.0f;
  bool m_bFired = false;
  int m_iPlusSideCount = 0;
  int m_iMinusSideCount = 0;
  // Frame time gathered since the last decision (not saved).
  float m_fSinceDecision = 0.0f;

 private:
  ShipEntity* GetShip() const;
  ShipPathComponent* GetPath() const;
  ShipEntity* SelectTargetShip(int nation, float elapsed);
  // The mode's heading, starting from the stored one.
  float Decide(float elapsed);
  float ApproachTarget(float heading);
  void FireCheck(int nation);
  float AvoidCollision(float heading, float elapsed);
  // Counts ship, object and land hits left and right ahead of the ship and returns
  // the avoidance state.
  int ProbeObstacles();
  void UpdateLifetime(float dt);
  void OnNoiseHeard(INT_PTR noise);
};
