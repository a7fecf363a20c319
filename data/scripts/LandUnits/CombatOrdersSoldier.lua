-- The soldiers of the combat orders scene, on the scripted states (1 idle, 2 walk,
-- 4 attack). Their unit's orders reach them through AttackEntity, ClearTarget and
-- SetLastPositionGiven; each blow through OnAttackBegin and OnAttackHit; a comrade's
-- alarm through OnFriendUnderAttack.

-- Reach of a blow.
REACH = 2.5

target = nil
lastPosition = nil
hits = 0
damageDealt = 0
alarms = 0
attackOrders = 0

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine(2)
  self:SetHitPointsMax(100)
  self:ResetHitpoints()
  self:SetArmor(2, 20)
  self:SetSpeed(3.5)
  self:SetMinCombatValues(4, 3, 1.0)
  self:SetMaxCombatValues(8, 6, 2.0)
  self:SetMeleeSkill(60)
  self:SetRangedSkill(30)
  self:SetViewRange(12.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
end

local function InReach(self, entity)
  local a = self:GetPosition()
  local b = entity:GetPosition()
  local dx, dy = a.x - b.x, a.y - b.y
  return dx * dx + dy * dy <= REACH * REACH
end

-- The unit's attack order: strike when in reach, else walk up to the target.
function AttackEntity(self, entity, forced)
  if entity == nil then return end
  target = entity
  lastPosition = nil
  attackOrders = attackOrders + 1
  if InReach(self, entity) then
    self:ChangeState(4)
  else
    self:MakePathTo(entity:GetPosition(), true)
    self:ChangeState(2)
  end
end

-- A move order: the old target is given up.
function ClearTarget(self)
  target = nil
end

-- Where the move order ends.
function SetLastPositionGiven(self, position)
  lastPosition = position
end

-- The attack animation reached its blow.
function OnAttackBegin(self, second)
  if target ~= nil and InReach(self, target) then
    self:Attack(target, second)
  else
    self:ChangeState(1)
  end
end

function OnAttackHit(self, victim, damage)
  hits = hits + 1
  damageDealt = damageDealt + damage
end

-- Struck: the comrades hear of it, and a soldier without a target fights back.
function OnTakeHit(self, attacker)
  self:AlertUnit(attacker)
  if target == nil then AttackEntity(self, attacker, false) end
end

function OnFriendUnderAttack(self, attacker)
  alarms = alarms + 1
  if target == nil then AttackEntity(self, attacker, false) end
end
