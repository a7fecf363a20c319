-- Faction: the corsairs want a tribute of 500 gold, paid on the next visit to
-- their town. Without the money the mission waits for a later visit.
TRIBUTE = 500
TARGET_TOWN = "town_saltmarsh"

function OnEnterScene(self)
  if GameManager.GetTownName() ~= TARGET_TOWN or GameManager.GetMoney() < TRIBUTE then return end
  GameManager.DecMoney(TRIBUTE)
  print("Mission: the tribute is paid")
  self:SetCompleted(true)
end
