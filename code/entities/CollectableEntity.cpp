// Collectables: their script, highlight, stored form and saved block; claiming,
// pulling in, collecting and buying them.
#include "entities/CollectableEntity.h"

#include "Managers/ArtifactManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "components/ShipMovementComponent.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/CollectableId.h"
#include "entities/HeroStats.h"
#include "entities/PlayerStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisParticleEffect.h"

#include <cmath>

namespace {

const char kCollectableVersion = 11;
const int kMaxText = 4096;
// Closer than this to its collector an item stops moving and is taken.
const float kArrivedDistance = 0.5f;
const float kCollectedDistanceSquared = 0.25f;
const float kCarriedPullSpeed = 15.0f;
const float kPullSpeed = 30.0f;
const float kShipPullFactor = 4.0f;
const char* const kBlueprintType = "Blueprint";

bool ReadText(VArchive& ar, VString& out) { return ArchiveLimits::ReadString(ar, out, kMaxText); }

bool InConversation() { return SpeechManager::HasInstance() && SpeechManager::GetInstance()->IsInConversation(); }

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(CollectableEntity, BaseEntity, &CollectableEntity::BuildVarList)

void CollectableEntity::BuildVarList(VARTABLE& t) {
  VAR_BOOL(t, CollectableEntity, m_bHidden, "If true the collectable is not visible and must be discovered.", "FALSE");
  VAR_BOOL(t, CollectableEntity, m_bCarriable,
           "If true the collectable can be carried (otherwise it's collected right away).", "TRUE");
  VAR_BOOL(t, CollectableEntity, m_bRemoveWhenUsed, "If true the collectable will be removed when Use returns true.",
           "TRUE");
  VAR_BOOL(t, CollectableEntity, m_bUseWhenCollected, "If true the collectable will be used when picked up.", "TRUE");
  VAR_BOOL(t, CollectableEntity, m_bIsRandomCollectable, "Spawned randomly from script.", "FALSE");
  VAR_TEXT(t, CollectableEntity, m_sCollectableScriptFile, VULPTYPE_SCRIPT_FILE,
           "Optional script file for this collectable", "");
  VAR_STRING(t, CollectableEntity, m_sScreenName, "Screen name.", "");
  VAR_STRING(t, CollectableEntity, m_sType, "Type name", "");
  VAR_BOOL(t, CollectableEntity, m_bIsCollected, "Indicate that this is collected", "FALSE");
  VAR_FLOAT(t, CollectableEntity, m_fPickDistance, "Picking distance in meters (at sea scene)", "10.0");
  VAR_FLOAT(t, CollectableEntity, m_fPickDistanceLand, "Picking distance in meters (at land scene)", "6.0");
  VAR_FLOAT(t, CollectableEntity, m_fCooldownTimer, "Cooldown time in seconds", "0.0");
  VAR_STRING(t, CollectableEntity, m_sDescription, "Description", "");
  VAR_STRING(t, CollectableEntity, m_sImage, "GUI image id", "");
  VAR_TEXT(t, CollectableEntity, m_sHighlightEffect, VULPTYPE_FILE, "Highlight particle effect file", "");
  VAR_INT(t, CollectableEntity, m_iItemType, "Item type", "0");
  VAR_INT(t, CollectableEntity, m_iPrice, "Item price", "0");
  VAR_STRING(t, CollectableEntity, m_sLargeImage, "Large image for inventory", "");
  VAR_INT(t, CollectableEntity, m_iMinValue, "Item min value", "0");
  VAR_INT(t, CollectableEntity, m_iMaxValue, "Item Max value", "1");
}

CollectableEntity::CollectableEntity() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

CollectableEntity::~CollectableEntity() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void CollectableEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (gone == m_pCollector) m_pCollector = nullptr;
    if (gone == m_pCarrier) m_pCarrier = nullptr;
    return;
  }
  BaseEntity::OnHandleCallback(data);
}

void CollectableEntity::InitFunction() {
  BaseEntity::InitFunction();
  CommonInit();
}

void CollectableEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  CommonInit();
}

void CollectableEntity::CommonInit() {
  if (m_bHidden) SetVisibleBitmask(0u);
  InitCollectableItem();
}

void CollectableEntity::SetHidden(int hidden) {
  m_bHidden = hidden;
  SetVisibleBitmask(hidden ? 0u : 0xffffffffu);
}

IVScriptInstance* CollectableEntity::GetScript() const {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(const_cast<CollectableEntity*>(this)) : nullptr;
  return script && script->IsValid() ? script : nullptr;
}

void CollectableEntity::InitCollectableItem() {
  if (m_sCollectableScriptFile.IsEmpty()) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (scripts && !scripts->GetScriptInstance(this)) {
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sCollectableScriptFile, this)) {
      scripts->SetScriptInstance(this, script);
      // The engine starts a script that joins an object with its "OnCreate" (the
      // item's key comes from it).
      if (script->HasFunction("OnCreate")) script->ExecuteFunctionArg("OnCreate", "*");
    }
  }
  StartHighlightEffect();
}

void CollectableEntity::StartHighlightEffect() {
  StopHighlightEffect();
  if (!m_sHighlightEffect.IsEmpty() && !m_bHidden) m_bHighlightRunning = true;
}

bool CollectableEntity::PlayerMayCollect() {
  IVScriptInstance* script = GetScript();
  bool may = true;
  if (script && script->HasFunction("CanPlayerCollect")) script->ExecuteFunctionArg("CanPlayerCollect", "*>b", &may);
  return may;
}

bool CollectableEntity::Collect(VisBaseEntity_cl* collector) {
  if (m_pCollector) return true;
  if (collector && collector == GameManager::GetInstance()->GetPlayerEntity() && !PlayerMayCollect()) return true;
  m_pCollector = collector;
  return true;
}

int CollectableEntity::Use() {
  IVScriptInstance* script = GetScript();
  int used = 0;
  if (script && script->HasFunction("UseCollectable")) script->ExecuteFunctionArg("UseCollectable", "*>i", &used);
  return used;
}

bool CollectableEntity::DoCollect() {
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  const bool byPlayer = m_pCollector && m_pCollector == player;
  if (byPlayer) {
    if (!PlayerMayCollect()) {
      m_pCollector = nullptr;
      return false;
    }
    auto* templ = new CollectableEntityTemplate();
    SaveToTemplate(*templ);
    GameSessionManager::GetInstance()->AddCollectable(templ);
    if (IVScriptInstance* script = GetScript(); script && script->HasFunction("OnCollect"))
      script->ExecuteFunctionArg("OnCollect", "*o", m_pCollector);
  }
  if (m_bUseWhenCollected) Use();
  m_pCollector = nullptr;
  if (m_bIsRandomCollectable && byPlayer) {
    GameContentManager::GetInstance()->RelocateRandomCollectable(this);
    return true;
  }
  if (!IsMarkedRemoved()) Remove();
  if (m_sType == kBlueprintType && GetParent()) {
    // The glow its parent shows for it goes with it.
    VisObject3D_cl* parent = GetParent();
    for (int i = 0; i < parent->GetNumChildren(); ++i) {
      if (auto* effect = dynamic_cast<VisParticleEffect_cl*>(parent->GetChild(i))) {
        effect->SetHandleWhenVisible(false);
        effect->SetFinished();
      }
    }
    DetachFromParent();
  }
  return true;
}

void CollectableEntity::Buy() {
  IVScriptInstance* script = GetScript();
  if (!script || !script->HasFunction("OnBuy")) return;
  int bought = 0;
  script->ExecuteFunctionArg("OnBuy", "*>i", &bought);
  if (!bought) return;
  auto* templ = new CollectableEntityTemplate();
  SaveToTemplate(*templ);
  if (PlayerMayCollect()) {
    GameSessionManager::GetInstance()->AddCollectable(templ);
    if (!IsMarkedRemoved()) Remove();
  } else {
    m_pCollector = nullptr;
    delete templ;
  }
}

void CollectableEntity::SetCarriableAgain() {
  m_pCollector = nullptr;
  m_pCarrier = nullptr;
  m_bCarriable = 1;
  m_bIsCollected = 0;
}

void CollectableEntity::FindCollector(HeroStats* stats) {
  if (!stats || m_pCollector) return;
  GameManager* game = GameManager::GetInstance();
  auto ask = [&](UnitEntity* unit) {
    if (!unit || m_pCollector) return;
    if (SoldierEntity* soldier = unit->SetCarryTargetForSoldier(this)) m_pCollector = soldier;
  };
  if (UnitEntityTemplate* own = stats->GetCharacterTemplate()) {
    VisBaseEntity_cl* entity = game->FindEntityByUniqueID(own->m_iUniqueID);
    ask(entity && entity->IsOfType(UnitEntity::GetClassTypeId()) ? static_cast<UnitEntity*>(entity) : nullptr);
  }
  for (int i = 0; i < stats->GetUnitRecordCount() && !m_pCollector; ++i) ask(stats->GetUnitByIndex(i));
}

void CollectableEntity::GetCollectorFromStats() {
  if (!GameSessionManager::HasInstance()) return;
  GameSessionManager* session = GameSessionManager::GetInstance();
  FindCollector(session->GetPlayer());
  for (int i = 0; i < session->GetHeroCount() && !m_pCollector; ++i) FindCollector(session->GetHero(i));
}

void CollectableEntity::MoveToward(const VisVector_cl& target, float step) {
  VisVector_cl direction = target - GetPosition();
  const float length = direction.GetLength();
  if (length <= 0.0f) return;
  SetPosition(GetPosition() + direction * (step / length));
}

void CollectableEntity::UpdateBlueprintMarker() {
  if (m_sType != kBlueprintType || !ArtifactManager::GetInstance()->IsActive(COMPASS)) return;
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  bool shown = false;
  if (player) {
    const float d = MathTools::DistanceToEntityBoundingBox(player->GetPosition(), this);
    shown = ArtifactManager::GetInstance()->GetEffect(COMPASS) > d &&
            RadarManager::GetInstance()->PollBlueprintDistance(this, d) == d;
  }
  RadarManager* radar = RadarManager::GetInstance();
  if (shown) {
    radar->Add(this, TRACK_BLUEPRINT);
  } else {
    radar->Remove(this);
  }
}

void CollectableEntity::ThinkFunction() {
  if (InConversation()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  GameManager* game = GameManager::GetInstance();
  const int location = game->GetLocation();
  const bool atSea = location == 0 || location == 2;
  // Soldiers carry loot on land only: at sea a carriable item would wait for a
  // carrier for good, so the ship takes it as any other.
  const bool carriable = m_bCarriable && !atSea;

  if (carriable) {
    if (!m_pCollector) {
      GetCollectorFromStats();
      return;
    }
    if (!m_pCarrier) {
      const VisVector_cl target = m_pCollector->GetPosition();
      if (MathTools::DistanceToEntityBoundingBox(GetPosition(), m_pCollector) <= m_fPickDistanceLand &&
          MathTools::DistanceBetweenVectors(GetPosition(), target) > kArrivedDistance)
        MoveToward(target, dt * kCarriedPullSpeed);
    }
  }

  // Made invisible by someone else than its hiding: it is gone.
  if (GetVisibleBitmask() == 0 && !m_bHidden) {
    if (!IsMarkedRemoved()) Remove();
    return;
  }

  UpdateBlueprintMarker();

  if (!m_pCollector && !atSea) {
    Player* player = RtsManager::GlobalManager().GetPlayer();
    UnitEntity* unit = player ? player->GetPlayerCharacter() : nullptr;
    if (!unit) return;
    const float d2 = MathTools::DistanceToEntityBoundingBoxSquared(unit->GetPosition(), this);
    if (m_bHidden) {
      SoldierEntity* first = unit->GetSoldierAtIndex(0);
      const float view = first && first->GetStats() ? first->GetStats()->m_CombatSkills.m_fViewRange : 0.0f;
      if (d2 >= view * view) return;
      m_bHidden = 0;
      SetVisibleBitmask(0xffffffffu);
      StartHighlightEffect();
    }
    if (d2 < m_fPickDistanceLand * m_fPickDistanceLand) Collect(unit);
  } else if (!m_pCollector) {
    VisBaseEntity_cl* ship = game->GetPlayerEntity();
    if (!ship) return;
    if (MathTools::DistanceToEntityBoundingBoxSquared(ship->GetPosition(), this) < m_fPickDistance * m_fPickDistance)
      Collect(ship);
  }

  if (m_pCollector && !carriable) {
    const VisVector_cl target = m_pCollector->GetPosition();
    const float distance = MathTools::DistanceBetweenVectors(GetPosition(), target);
    if (distance <= m_fPickDistance && distance > kArrivedDistance) {
      VisBaseEntity_cl* player = game->GetPlayerEntity();
      if (atSea && player) {
        if (auto* movement = player->Components<ShipMovementComponent>())
          MoveToward(target, dt * movement->GetCurrentSpeed() * kShipPullFactor);
      } else {
        MoveToward(target, dt * kPullSpeed);
      }
    }
    // Pulled in no closer than 0.5, an item exactly that far is there: it would
    // otherwise wait for good.
    if (!m_bHidden && MathTools::DistanceBetweenVectorsSquared(GetPosition(), m_pCollector->GetPosition()) <=
                          kCollectedDistanceSquared) {
      RadarManager::GetInstance()->Remove(this);
      DoCollect();
    }
  }
}

void CollectableEntity::LoadFromTemplate(const CollectableEntityTemplate& templ) {
  m_sCollectableScriptFile = templ.m_sCollectableScriptFile;
  m_sScreenName = templ.m_sScreenName;
  m_sHighlightEffect = templ.m_sHighlightEffect;
  SetNation(templ.m_iNation);
  m_bHidden = templ.m_bHidden;
  m_bCarriable = templ.m_bCarriable;
  m_bRemoveWhenUsed = templ.m_bRemoveWhenUsed;
  m_bUseWhenCollected = templ.m_bUseWhenCollected;
  m_sType = templ.m_sType;
  m_fPickDistance = templ.m_fPickDistance;
  m_fPickDistanceLand = templ.m_fPickDistanceLand;
  m_fCooldownTimer = templ.m_fCooldownTimer;
  m_sDescription = templ.m_sDescription;
  m_sImage = templ.m_sImage;
  m_iItemType = templ.m_iItemType;
  m_iPrice = templ.m_iPrice;
  m_iMinValue = templ.m_iMinValue;
  m_iMaxValue = templ.m_iMaxValue;
  m_sLargeImage = templ.m_sLargeImage;
}

void CollectableEntity::SaveToTemplate(CollectableEntityTemplate& templ) {
  templ.m_sKey = GetObjectKey();
  // Model paths are kept relative to the data folders; a network path stays whole.
  const char* model = GetMeshFileName();
  if (model && (model[0] == '/' || model[0] == '\\') && !(model[0] == '\\' && model[1] == '\\')) ++model;
  templ.m_sModelFile = model ? model : "";
  templ.m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
  templ.m_sCollectableScriptFile = m_sCollectableScriptFile;
  templ.m_sScreenName = m_sScreenName;
  templ.m_sType = m_sType;
  templ.m_iNation = GetNation();
  templ.m_bHidden = m_bHidden;
  templ.m_bCarriable = m_bCarriable;
  templ.m_bRemoveWhenUsed = m_bRemoveWhenUsed;
  templ.m_bUseWhenCollected = m_bUseWhenCollected;
  templ.m_fPickDistance = m_fPickDistance;
  templ.m_fPickDistanceLand = m_fPickDistanceLand;
  templ.m_fCooldownTimer = m_fCooldownTimer;
  templ.m_sDescription = m_sDescription;
  templ.m_sImage = m_sImage;
  templ.m_iItemType = m_iItemType;
  templ.m_iPrice = m_iPrice;
  templ.m_iMinValue = m_iMinValue;
  templ.m_iMaxValue = m_iMaxValue;
  templ.m_sHighlightEffect = m_sHighlightEffect;
  templ.m_sLargeImage = m_sLargeImage;
}

void CollectableEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kCollectableVersion);
    ar << m_bHidden << m_bCarriable << m_sCollectableScriptFile << m_sType << m_sScreenName << GetNation();
    ar << m_fPickDistance << m_bUseWhenCollected << m_sDescription << m_sImage << m_iItemType << m_iPrice;
    ar << m_fCooldownTimer << m_iMinValue << m_iMaxValue << m_fPickDistanceLand << m_sHighlightEffect
       << m_sLargeImage;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "CollectableEntity", kCollectableVersion);
  if (!block.IsOpen()) return;
  int hidden = m_bHidden, carriable = m_bCarriable, nation = GetNation(), useWhenCollected = m_bUseWhenCollected;
  int itemType = m_iItemType, price = m_iPrice, minValue = m_iMinValue, maxValue = m_iMaxValue;
  float pick = m_fPickDistance, pickLand = m_fPickDistanceLand, cooldown = m_fCooldownTimer;
  VString script = m_sCollectableScriptFile, type = m_sType, screenName = m_sScreenName;
  VString description = m_sDescription, image = m_sImage, highlight = m_sHighlightEffect, largeImage = m_sLargeImage;
  VisBaseEntity_cl* collector = nullptr;
  if (block.Has(2)) {
    if (!block.Has(11)) {
      collector = static_cast<VisBaseEntity_cl*>(ar.ReadObject(VisBaseEntity_cl::GetClassTypeId()));
      if (!ar.IsOK()) return (void)block.Fail();
    }
    ar >> hidden >> carriable;
    if (!ReadText(ar, script) || !ReadText(ar, type) || !ReadText(ar, screenName)) return (void)block.Fail();
    ar >> nation;
  }
  if (block.Has(3)) ar >> pick;
  if (block.Has(4)) ar >> useWhenCollected;
  if (block.Has(5)) {
    if (!ReadText(ar, description) || !ReadText(ar, image)) return (void)block.Fail();
    ar >> itemType >> price;
  }
  if (block.Has(6)) ar >> cooldown;
  if (block.Has(7)) ar >> minValue >> maxValue;
  if (block.Has(8)) ar >> pickLand;
  if (block.Has(9) && !ReadText(ar, highlight)) return (void)block.Fail();
  if (block.Has(10) && !ReadText(ar, largeImage)) return (void)block.Fail();
  if (!block.End()) return;
  m_bHidden = hidden;
  m_bCarriable = carriable;
  m_sCollectableScriptFile = script;
  m_sType = type;
  m_sScreenName = screenName;
  SetNation(nation);
  m_fPickDistance = pick;
  m_bUseWhenCollected = useWhenCollected;
  m_sDescription = description;
  m_sImage = image;
  m_iItemType = itemType;
  m_iPrice = price;
  m_fCooldownTimer = cooldown;
  m_iMinValue = minValue;
  m_iMaxValue = maxValue;
  m_fPickDistanceLand = pickLand;
  m_sHighlightEffect = highlight;
  m_sLargeImage = largeImage;
  // Blocks before version 11 name who was about to collect the item.
  if (block.Has(2)) m_pCollector = collector;
}
