// Sails, flags and ropes as entities: configuration name, linked collision
// entities, parenting and scaling with the ship, hit pushes, and the saved block.
#include "entities/ClothEntity.h"

#include "core/GameManager.h"

#include "entities/MsgPosOri.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"

#include <algorithm>

namespace {
const char kClothVersion = 4;
// Hit messages that push the cloth: a cannon ball through the sails, a blast.
const int kMsgSailsHit = 12;
const int kMsgBlast = 24;
// Fallback values of old blocks (versions 2 and 3): nine floats, solver
// iterations, grid spacing, ten switches.
const int kFallbackFloats = 9;
const int kFallbackFlags = 10;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ClothEntity, VisBaseEntity_cl, &ClothEntity::BuildVarList)

void ClothEntity::BuildVarList(VARTABLE& t) {
  VAR_TEXT(t, ClothEntity, m_sConfigFile, VULPTYPE_FILE, "Config xml file", "");
}

ClothEntity::ClothEntity() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

ClothEntity::~ClothEntity() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void ClothEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisTypedEngineObject_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  m_links.erase(std::remove(m_links.begin(), m_links.end(), gone), m_links.end());
}

// The cloth simulation builds its cloth from the configuration here; until it
// exists the sail keeps its model as a rigid mesh and needs no pre-think pass.
void ClothEntity::CommonInit() { SetPreThinkFunctionStatus(false); }

void ClothEntity::AttachToParent(VisObject3D_cl* parent) {
  for (VisTypedEngineObject_cl* link : m_links)
    if (link && link->IsOfType(VisObject3D_cl::GetClassTypeId())) static_cast<VisObject3D_cl*>(link)->AttachToParent(parent);
  VisBaseEntity_cl::AttachToParent(parent);
}

int ClothEntity::SetScaling(const VisVector_cl& scaling) {
  const VisVector_cl origin = GetPosition();
  for (VisTypedEngineObject_cl* link : m_links) {
    if (!link || !link->IsOfType(VisBaseEntity_cl::GetClassTypeId())) continue;
    VisBaseEntity_cl* entity = static_cast<VisBaseEntity_cl*>(link);
    const VisVector_cl s = entity->GetScaling();
    entity->SetScaling(VisVector_cl(s.x * scaling.x, s.y * scaling.y, s.z * scaling.z));
    const VisVector_cl offset = entity->GetPosition() - origin;
    entity->SetPosition(origin + VisVector_cl(offset.x * scaling.x, offset.y * scaling.y, offset.z * scaling.z));
  }
  VisBaseEntity_cl::SetScaling(scaling);
  return 1;
}

void ClothEntity::PushAt(const VisVector_cl& position, const VisVector_cl& velocityChange, float radius) {
  m_push.position = position;
  m_push.velocityChange = velocityChange;
  m_push.radius = radius;
  m_bHasPush = true;
}

// The ship hands its sail hits on with the hit record the projectile sent.
void ClothEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if ((id == kMsgSailsHit || id == kMsgBlast) && p1) {
    const MsgPosOri* record = reinterpret_cast<const MsgPosOri*>(p1);
    const VisVector_cl at = record->entity ? record->entity->GetPosition() : record->position;
    if (id == kMsgSailsHit)
      PushAt(at, record->velocity * 50.0f, 5.0f);
    else
      PushAt(at, record->velocity * 100.0f, 10.0f);
  }
  VisBaseEntity_cl::MessageFunction(id, p1, p2);
}

void ClothEntity::Serialize(VArchive& ar) {
  VisBaseEntity_cl::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kClothVersion);
    ar << (unsigned int)m_links.size();
    for (VisTypedEngineObject_cl* link : m_links) ar.WriteObject(link);
    ar << m_sConfigFile;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "ClothEntity", kClothVersion);
  if (!block.IsOpen()) return;
  std::vector<VisTypedEngineObject_cl*> links;
  VString configFile = m_sConfigFile;
  int localSpaceWind = m_bLocalSpaceWind;
  if (block.Has(2)) {
    unsigned int count = 0;
    ar >> count;
    for (unsigned int i = 0; i < count && ar.IsOK(); ++i) {
      VTypedObject* link = ar.ReadObject(VisTypedEngineObject_cl::GetClassTypeId());
      if (link) links.push_back(static_cast<VisTypedEngineObject_cl*>(link));
    }
    if (!block.Has(4)) {
      // The old blocks carried the cloth's fallback values; the configuration file
      // replaces them.
      float f = 0.0f;
      int n = 0;
      for (int i = 0; i < kFallbackFloats; ++i) ar >> f;
      ar >> n >> f;
      for (int i = 0; i < kFallbackFlags; ++i) ar >> n;
      if (block.Has(3)) ar >> localSpaceWind;
    } else {
      ar >> configFile;
    }
  }
  if (!block.End()) return;
  if (block.Has(2)) {
    m_links = std::move(links);
    m_sConfigFile = configFile;
    m_bLocalSpaceWind = localSpaceWind;
  }
  SetAnimConfig(nullptr);
}
