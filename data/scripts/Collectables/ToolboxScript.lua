-- The toolbox the shops sell: bought for its price, it goes into the inventory
-- under the key "Toolbox", as the one found at sea does.

TOOLBOX_PRICE = 50

function OnCreate(self)
  self:SetKey("Toolbox")
end

function OnBuy(self)
  if GameManager.GetMoney() < TOOLBOX_PRICE then
    return 0
  end
  GameManager.AddMoney(-TOOLBOX_PRICE)
  return 1
end

function UseCollectable(self)
  ArtifactManager.ResetToolCooldown()
  return 1
end
