// Steers and fights a computer-controlled ship: its mode, target, attack nation,
// collision avoidance and its own script. Only the state, the mode messages, the
// script and the saved block are here yet; the decisions come with the ship AI.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

class ShipEntity;
class TownEntity;
class VArchive;

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
  // Loads the script once owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Targets that are destroyed are dropped.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Modes (13, 14, 15, 26, 27, 28), sinking (16), a dead target (17).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;
  // "ARCH", version 5, the decision state, the script, coward, lifetime, can-remove,
  // attack nation, "EOA". Reading reloads the script.
  virtual bool SerializeX(VArchive& ar);

  // Mode 5 (idle) also forgets the attack nation.
  void SetAIMode(int mode);
  int GetAIMode() const { return m_iMode; }
  // Mode 3's destination (the path toward it comes with the ship AI).
  void SetTargetTown(TownEntity* town) { m_pTargetTown = town; }
  TownEntity* GetTargetTown() const { return m_pTargetTown; }
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

  // The ship's script: replaces the owner's script instance when a file is named.
  void SetScript(const char* file);
  const char* GetScript() const { return m_sScriptFile.AsChar(); }
  void LoadScript();
  void RemoveScript();

  // Collision avoidance: a probe found something ahead (state other than 0); the
  // free-water ratio is the smallest hit fraction of the probe (1 = nothing hit).
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
};
