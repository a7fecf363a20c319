-- Collectable 6 (artifact): a shell whose roar leaves nearby enemies dizzy.
-- Kept in the inventory under the key "Seashell".
-- Blown, enemies within 15 of the hero may go dizzy; it can be blown again after 60 s.

function OnCreate(self)
  self:SetKey("Seashell")
end

function UseCollectable(self)
  ArtifactManager.ActivateArtifact(GameManager.GetCollectableIds().SEASHELL, 5.0, 15.0, 60.0,
                                   "set:Buttons_01 image:Skill3Normal")
  return 0
end
