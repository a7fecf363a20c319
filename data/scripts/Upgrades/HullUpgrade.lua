-- A ship upgrade lying in a shipyard scene: bought, it makes the player's ship faster.

function OnBuy(self)
  GameManager.UpgradeShipSpeed(1.1)
  return 1
end
