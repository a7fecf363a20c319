// Damage marks per surface texture and their saved block.
#include "components/DamageTextureComponent.h"

#include "engine/core/VisBaseEntity.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"

namespace {
const char kBlockVersion = 2;
// A saved mark is one engine vector (16 bytes); a record at least a name count and a mark count.
const int kMarkBytes = 16;
const int kRecordBytes = 8;
}  // namespace

V_IMPLEMENT_DYNCREATE(DamageTextureComponent, BaseComponent)

DamageTextureComponent::DamageTextureComponent() = default;

DamageTextureComponent::~DamageTextureComponent() = default;

int DamageTextureComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  // Sails and flags are plain engine entities and carry marks as well.
  if (object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of BaseEntity or derived classes.";
  return 0;
}

bool DamageTextureComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << (int)m_records.size();
    for (const auto& [texture, marks] : m_records) {
      ar << texture.c_str() << (int)marks.size();
      for (const VisVector_cl& mark : marks) ar << mark;
    }
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "DamageTextureComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  // The marks read join the ones already kept.
  std::map<std::string, Marks> kept = m_records;
  if (block.Has(2)) {
    int records = 0;
    if (!ArchiveLimits::ReadCount(ar, records, kRecordBytes)) return block.Fail();
    for (int r = 0; r < records; ++r) {
      VString texture;
      int count = 0;
      if (!ArchiveLimits::ReadString(ar, texture, MaxTextureName - 1) ||
          !ArchiveLimits::ReadCount(ar, count, kMarkBytes))
        return block.Fail();
      Marks& marks = kept[texture.AsChar() ? texture.AsChar() : ""];
      for (int i = 0; i < count; ++i) {
        VisVector_cl mark;
        ar >> mark;
        marks.push_back(mark);
      }
    }
  }
  if (!block.End()) return false;
  m_records = std::move(kept);
  return true;
}
