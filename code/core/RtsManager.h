// The one global object of the land-battle mode: started by the plug-in start
// and ended by the application's de-init and the plug-in stop.
#pragma once

#include "engine/base/VCallback.h"

class AnimConfigManager;
class Player;
class UnitEntity;
class VisBaseEntity_cl;

class RtsManager : public IVisCallbackHandler_cl {
 public:
  static RtsManager& GlobalManager();

  // Plug-in start: a new Player. Stop: the Player goes.
  void OneTimeInit();
  void OneTimeDeInit();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  bool IsInLandBattle() const { return m_bLandBattle; }
  VisBaseEntity_cl* GetEscapeArea() const { return m_pEscapeArea; }
  void SetEscapeArea(VisBaseEntity_cl* entity) { m_pEscapeArea = entity; }
  bool IsPlayerIsInsideEscapeArea() const { return m_bPlayerInsideEscapeArea; }
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
  // The camera follows the first selected unit (none without a selection).
  void SetCurrentSellectionToFollowedUnit();
  UnitEntity* GetFollowedUnit() const { return m_pFollowedUnit; }

 private:
  bool m_bLandBattle = false;
  Player* m_pPlayer = nullptr;
  AnimConfigManager* m_pAnimConfigManager = nullptr;
  UnitEntity* m_pFollowedUnit = nullptr;
  VisBaseEntity_cl* m_pEscapeArea = nullptr;
  bool m_bPlayerInsideEscapeArea = false;
  int m_iUnitsInsideEscapeArea = 0;
  bool m_bFollowSelected = false;
  bool m_bViewRange = false;
  bool m_bLeftControlDown = false;
};
