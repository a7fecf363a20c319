// The human player's side of a land battle: the player's units and the enemy
// units, the selection, the player character's unit, and the orders that turn
// clicks into unit targets. RtsManager owns the one Player.
#pragma once

#include "engine/base/VCallback.h"

#include <vector>

class UnitEntity;

class Player : public IVisCallbackHandler_cl {
 public:
  // Listens to units created and removed (GameManager::Callbacks).
  Player();
  ~Player() override;

  // A created unit joins the player's units when its nation is the player's,
  // else the enemy units; a removed unit leaves every list.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The unit whose key is "PlayerCharacter" becomes the player character.
  void AddPlayerUnit(UnitEntity* unit);
  void AddEnemyUnit(UnitEntity* unit);
  void UnitRemoved(UnitEntity* unit);
  // Selecting and ordering come with the land-battle controls; so far nothing
  // selects a unit, and clearing empties the selection.
  void ClearSelection();
  // Null beyond the end.
  UnitEntity* GetSelectionAt(unsigned index) const;
  int GetNumSelected() const { return (int)m_selection.size(); }
  int GetPlayerUnitCount() const { return (int)m_playerUnits.size(); }
  UnitEntity* GetPlayerUnit(unsigned index) const { return m_playerUnits[index]; }
  int GetEnemyUnitCount() const { return (int)m_enemyUnits.size(); }
  UnitEntity* GetPlayerCharacter() const { return m_pPlayerCharacter; }
  // The nearest unit of the other side (the player's units for a unit of another
  // nation), by 3-D distance; units of nation 0 are skipped. Null when none.
  UnitEntity* GetClosestEnemyUnit(UnitEntity* unit) const;
  int GetPlayerNation() const { return m_iPlayerNation; }
  void SetPlayerNation(int nation) { m_iPlayerNation = nation; }
  // End of a land battle: the lists and the player character go.
  void CleanUp();

 private:
  std::vector<UnitEntity*> m_selection;
  std::vector<UnitEntity*> m_playerUnits;
  std::vector<UnitEntity*> m_enemyUnits;
  int m_iPlayerNation = 1;
  UnitEntity* m_pPlayerCharacter = nullptr;
};
