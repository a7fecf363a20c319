// Collectable storage of buildings, ships and soldiers.
#include "components/StorageComponentProto.h"

#include "entities/CollectableEntityTemplate.h"
#include "entities/ShipEntity.h"
#include "entities/SoldierEntity.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisGame.h"

namespace {

const char kStorageVersion = 2;
const char* const kDroppedKey = "Collectable_dropped_by_ship";
// Dropped loot scatters this far (times a normal deviate) around the owner.
const float kScatter = 10.0f;
// The longest collectable source a block may hold.
const int kMaxSource = 1024;
// A template block is at least its two tags and its version.
const int kMinTemplateBlockBytes = 16;

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(StorageComponentProto, BaseComponent, &StorageComponentProto::BuildVarList)

void StorageComponentProto::BuildVarList(VARTABLE& t) {
  VAR_STRING(t, StorageComponentProto, m_CollectableSource, "Collectable source", "");
  VAR_INT(t, StorageComponentProto, m_iCollectableDropCount, "Drop count", "0");
  VAR_STRING(t, StorageComponentProto, m_DefinedItem, "Unique drop", "");
}

StorageComponentProto::~StorageComponentProto() { ClearCollectables(); }

int StorageComponentProto::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && (object->IsOfType("BuildingBaseEntity") || object->IsOfType(ShipEntity::GetClassTypeId()) ||
                 object->IsOfType(SoldierEntity::GetClassTypeId())))
    return 1;
  reason = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  return 0;
}

void StorageComponentProto::AddCollectable(CollectableEntityTemplate* templ) {
  if (templ) m_collectables.push_back(templ);
}

CollectableEntityTemplate* StorageComponentProto::GetCollectable(unsigned int i) const {
  return i < m_collectables.size() ? m_collectables[i] : nullptr;
}

void StorageComponentProto::RemoveCollectable(unsigned int i) {
  if (i >= m_collectables.size()) return;
  delete m_collectables[i];
  m_collectables.erase(m_collectables.begin() + i);
}

void StorageComponentProto::ClearCollectables() {
  for (CollectableEntityTemplate* templ : m_collectables) delete templ;
  m_collectables.clear();
}

bool StorageComponentProto::GetOwnerPosition(VisVector_cl& out) const {
  if (!m_pOwner || !m_pOwner->IsOfType(VisObject3D_cl::GetClassTypeId())) return false;
  out = static_cast<VisObject3D_cl*>(m_pOwner)->GetPosition();
  return true;
}

void StorageComponentProto::DropCollectable() {
  VisVector_cl origin;
  if (m_collectables.empty() || !m_collectables.front() || !GetOwnerPosition(origin)) return;
  CollectableEntityTemplate* templ = m_collectables.front();
  if (VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*templ)) {
    entity->SetEntityKey(kDroppedKey);
    entity->SetTraceAccuracy(VIS_TRACEACC_OBOX);
    VisVector_cl place = origin;
    place.x += MathTools::GaussianRandom() * kScatter;
    place.y += MathTools::GaussianRandom() * kScatter;
    place.z = 0.0f;
    entity->SetPosition(place);
  }
  delete templ;
  m_collectables.erase(m_collectables.begin());
}

void StorageComponentProto::DropAllCollectables() {
  VisVector_cl origin;
  if (m_collectables.empty() || !GetOwnerPosition(origin)) return;
  const bool scatter = m_collectables.size() > 1;
  for (CollectableEntityTemplate* templ : m_collectables) {
    if (!templ) continue;
    if (VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*templ)) {
      entity->SetEntityKey(kDroppedKey);
      entity->SetTraceAccuracy(VIS_TRACEACC_OBOX);
      VisVector_cl place = origin;
      if (scatter) {
        place.x += MathTools::GaussianRandom() * kScatter;
        place.y += MathTools::GaussianRandom() * kScatter;
      }
      // The terrain's height is absolute here (its own z included); the item rests on it.
      place.z = Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(place.x, place.y) : 0.0f;
      VisBoundingBox_cl box;
      entity->GetBoundingBox(box);
      if (box.IsValid()) place.z += 0.5f * (box.m_vMax.z - box.m_vMin.z);
      entity->SetPosition(place);
    }
    delete templ;
  }
  m_collectables.clear();
}

void StorageComponentProto::Serialize(VArchive& ar) { SerializeX(ar); }

bool StorageComponentProto::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kStorageVersion);
    int count = 0;
    for (CollectableEntityTemplate* templ : m_collectables)
      if (templ) ++count;
    ar << count;
    for (CollectableEntityTemplate* templ : m_collectables)
      if (templ) templ->SerializeX(ar);
    ar << m_CollectableSource;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "StorageComponentProto", kStorageVersion);
  if (!block.IsOpen()) return false;
  std::vector<CollectableEntityTemplate*> read;
  VString source = m_CollectableSource;
  auto fail = [&]() {
    for (CollectableEntityTemplate* templ : read) delete templ;
    return block.Fail();
  };
  if (block.Has(2)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, kMinTemplateBlockBytes)) return fail();
    for (int i = 0; i < count; ++i) {
      auto* templ = new CollectableEntityTemplate();
      read.push_back(templ);
      if (!templ->SerializeX(ar)) return fail();
    }
    if (!ArchiveLimits::ReadString(ar, source, kMaxSource)) return fail();
  }
  if (!block.End()) {
    for (CollectableEntityTemplate* templ : read) delete templ;
    return false;
  }
  m_collectables.insert(m_collectables.end(), read.begin(), read.end());
  m_CollectableSource = source;
  return true;
}
