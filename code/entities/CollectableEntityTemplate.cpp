// Stored collectables.
#include "entities/CollectableEntityTemplate.h"

#include "entities/CollectableEntity.h"

#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"

CollectableEntityTemplate::CollectableEntityTemplate() {
  m_sClassName = "CollectableEntity";
  m_bFlag = true;
}

void CollectableEntityTemplate::ApplyToEntity(VisBaseEntity_cl* entity) {
  if (!entity || !entity->IsOfType(CollectableEntity::GetClassTypeId())) return;
  CollectableEntity* collectable = static_cast<CollectableEntity*>(entity);
  collectable->LoadFromTemplate(*this);
  collectable->InitCollectableItem();
}

namespace {

const int kMaxText = 4096;

// Every value the block carries, from one template to another.
void CopyStoredValues(CollectableEntityTemplate& to, const CollectableEntityTemplate& from) {
  to.m_bFlag = from.m_bFlag;
  to.m_vPosition = from.m_vPosition;
  to.m_sClassName = from.m_sClassName;
  to.m_sModelFile = from.m_sModelFile;
  to.m_sKey = from.m_sKey;
  to.m_sEntityParams = from.m_sEntityParams;
  to.m_vOrientation = from.m_vOrientation;
  to.m_vScaling = from.m_vScaling;
  to.m_bHidden = from.m_bHidden;
  to.m_bCarriable = from.m_bCarriable;
  to.m_bRemoveWhenUsed = from.m_bRemoveWhenUsed;
  to.m_bUseWhenCollected = from.m_bUseWhenCollected;
  to.m_sCollectableScriptFile = from.m_sCollectableScriptFile;
  to.m_iNation = from.m_iNation;
  to.m_sScreenName = from.m_sScreenName;
  to.m_sType = from.m_sType;
  to.m_fPickDistance = from.m_fPickDistance;
  to.m_iCount = from.m_iCount;
  to.m_sDescription = from.m_sDescription;
  to.m_sImage = from.m_sImage;
  to.m_iItemType = from.m_iItemType;
  to.m_iPrice = from.m_iPrice;
  to.m_fCooldownTimer = from.m_fCooldownTimer;
  to.m_iMinValue = from.m_iMinValue;
  to.m_iMaxValue = from.m_iMaxValue;
  to.m_fPickDistanceLand = from.m_fPickDistanceLand;
  to.m_sHighlightEffect = from.m_sHighlightEffect;
  to.m_sLargeImage = from.m_sLargeImage;
}

bool ReadText(VArchive& ar, VString& out) { return ArchiveLimits::ReadString(ar, out, kMaxText); }

}  // namespace

bool CollectableEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 10);
    ar << m_bFlag << m_vPosition << m_sClassName << m_sModelFile << m_sKey << m_sEntityParams << m_vOrientation
       << m_vScaling;
    ar << m_bHidden << m_bCarriable << m_bRemoveWhenUsed << m_bUseWhenCollected << m_sCollectableScriptFile
       << m_iNation << m_sScreenName << m_sType;
    ar << m_fPickDistance << m_iCount << m_sDescription << m_sImage << m_iItemType << m_iPrice << m_fCooldownTimer
       << m_iMinValue << m_iMaxValue << m_fPickDistanceLand << m_sHighlightEffect << m_sLargeImage;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "CollectableEntityTemplate", 10);
  if (!block.IsOpen()) return false;
  // Read aside; the template changes only once the whole block checks out.
  CollectableEntityTemplate read;
  CopyStoredValues(read, *this);
  if (block.Has(2)) {
    ar >> read.m_bFlag >> read.m_vPosition;
    if (!ReadText(ar, read.m_sClassName) || !ReadText(ar, read.m_sModelFile) || !ReadText(ar, read.m_sKey) ||
        !ReadText(ar, read.m_sEntityParams))
      return block.Fail();
    ar >> read.m_vOrientation >> read.m_vScaling;
    ar >> read.m_bHidden >> read.m_bCarriable >> read.m_bRemoveWhenUsed >> read.m_bUseWhenCollected;
    if (!ReadText(ar, read.m_sCollectableScriptFile)) return block.Fail();
    ar >> read.m_iNation;
    if (!ReadText(ar, read.m_sScreenName) || !ReadText(ar, read.m_sType)) return block.Fail();
  }
  if (block.Has(3)) ar >> read.m_fPickDistance;
  if (block.Has(4)) ar >> read.m_iCount;
  if (block.Has(5)) {
    if (!ReadText(ar, read.m_sDescription) || !ReadText(ar, read.m_sImage)) return block.Fail();
    ar >> read.m_iItemType >> read.m_iPrice;
  }
  if (block.Has(6)) ar >> read.m_fCooldownTimer;
  if (block.Has(7)) ar >> read.m_iMinValue >> read.m_iMaxValue;
  if (block.Has(8)) ar >> read.m_fPickDistanceLand;
  if (block.Has(9) && !ReadText(ar, read.m_sHighlightEffect)) return block.Fail();
  if (block.Has(10) && !ReadText(ar, read.m_sLargeImage)) return block.Fail();
  if (!block.End()) return false;
  CopyStoredValues(*this, read);
  return true;
}
