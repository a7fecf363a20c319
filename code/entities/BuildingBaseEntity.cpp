// Buildings: the building script, life through the destructible component, the
// editor's spawner links and the save block.
#include "entities/BuildingBaseEntity.h"

#include "components/DestructableBuildingComponent.h"

#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VScriptManager.h"

namespace {

const char kDefaultBuildingScript[] = "scripts/buildings/empty_building.lua";
const char kBuildingVersion = 1;
const int kMaxPathLength = 1024;
const unsigned kAllBits = 0xffffffffu;

// Shows an entity and, below it, every entity attached to it.
void ShowWithChildren(VisObject3D_cl* object) {
  if (object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
    auto* entity = static_cast<VisBaseEntity_cl*>(object);
    entity->SetVisibleBitmask(kAllBits);
    entity->SetLightInfluenceBitMask(kAllBits);
  }
  for (int i = 0; i < object->GetNumChildren(); ++i) ShowWithChildren(object->GetChild(i));
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(BuildingBaseEntity, BaseEntity, &BuildingBaseEntity::BuildVarList)

void BuildingBaseEntity::BuildVarList(VARTABLE& t) {
  VAR_TEXT(t, BuildingBaseEntity, m_sBuildingScript, VULPTYPE_SCRIPT_FILE, "building script file",
           kDefaultBuildingScript);
}

BuildingBaseEntity::BuildingBaseEntity() : m_sBuildingScript(kDefaultBuildingScript) {}

BuildingBaseEntity::~BuildingBaseEntity() = default;

void BuildingBaseEntity::InitFunction() {
  BaseEntity::InitFunction();
  CommonInit();
}

void BuildingBaseEntity::CommonInit() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (m_sBuildingScript.IsEmpty() || !scripts || scripts->GetScriptInstance(this)) return;
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sBuildingScript.AsChar()))
    scripts->SetScriptInstance(this, script);
}

int BuildingBaseEntity::GetBuildingType() { return -1; }

bool BuildingBaseEntity::IsAlive() {
  if (auto* destructable = Components<DestructableBuildingComponent>()) return destructable->GetHitPoints() > 0;
  return false;
}

void BuildingBaseEntity::Reborn() {
  if (auto* destructable = Components<DestructableBuildingComponent>())
    destructable->SetHitPoints(destructable->GetHitPointsMax());
  ShowWithChildren(this);
}

void BuildingBaseEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  BaseEntity::MessageFunction(id, p1, p2);
  switch (id) {
    case VIS_MSG_EDITOR_GETLINKS:
      if (auto* slots = reinterpret_cast<BuildingLinkSlots*>(p1)) {
        slots->assign(2, BuildingLinkSlot());
        (*slots)[0] = {"Spawner source", "spawner_source"};
        (*slots)[1] = {"Spawner target", "spawner_target"};
      }
      break;
    case VIS_MSG_EDITOR_CANLINK:
      if (auto* other = reinterpret_cast<VTypedObject*>(p1))
        Vision::Error.EngineMessage("Can link object: %s", other->GetClassTypeName());
      if (auto* answer = reinterpret_cast<bool*>(p2)) *answer = true;
      break;
    case VIS_MSG_EDITOR_ONLINK:
      if (auto* other = reinterpret_cast<VisTypedEngineObject_cl*>(p1))
        Vision::Error.EngineMessage("Linked object: %s (%s)", other->GetObjectKey(), other->GetClassTypeName());
      break;
    default:
      break;
  }
}

void BuildingBaseEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBuildingVersion);
    ar << m_sBuildingScript;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, GetClassTypeName(), kBuildingVersion);
  if (!block.IsOpen()) return;
  VString script = m_sBuildingScript;
  if (block.Has(1) && !ArchiveLimits::ReadString(ar, script, kMaxPathLength)) return (void)block.Fail();
  if (!block.End()) return;
  m_sBuildingScript = script;
}

void BuildingBaseEntity::OnDeserializationCallback(void* context) {
  BaseEntity::OnDeserializationCallback(context);
  CommonInit();
}
