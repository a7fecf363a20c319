-- Collectable 36 (consumable): a potion that wraps the player's ships in mist.
-- Kept in the inventory under the key "MistShip".
-- Drunk, it is used up and its effect runs for 60 seconds: the ship the player sails
-- takes no damage (god mode of its battle component) until the mist lifts, which
-- the artifact manager does for every ship of the player's nation.

function OnCreate(self)
  self:SetKey("MistShip")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().MIST_SHIP, 60.0, 1.0)
  local ship = GameManager.GetPlayerEntity()
  local battle = ship and ship:GetComponentOfType("ShipBattleComponent")
  if battle then
    battle:SetProperty("m_bGodMode", true)
  end
  return 1
end
