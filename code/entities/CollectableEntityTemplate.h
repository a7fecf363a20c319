// The stored form of a collectable: kept in the player's inventory, and able to
// create the item again.
#pragma once

#include "engine/core/VisGame.h"

class VArchive;

class CollectableEntityTemplate : public VisEntityTemplate_cl {
 public:
  CollectableEntityTemplate();

  // Gives a created CollectableEntity the stored values and readies it.
  void ApplyToEntity(VisBaseEntity_cl* entity) override;

  // Block: "ARCH", version 10, the engine template's values, the collectable's values,
  // "EOA"; older versions carry fewer of them. A block that does not check out leaves
  // the template as it was; false then.
  bool SerializeX(VArchive& ar);

  int m_bHidden = 0;
  int m_bCarriable = 1;
  int m_bRemoveWhenUsed = 1;
  int m_bUseWhenCollected = 0;
  VString m_sCollectableScriptFile;
  VString m_sScreenName;
  VString m_sType;
  VString m_sDescription;
  VString m_sImage;
  VString m_sHighlightEffect;
  VString m_sLargeImage;
  int m_iNation = 0;
  // How many of the item the player owns.
  int m_iCount = 1;
  int m_iItemType = 0;  // TYPE_NONE, CONSUMABLE, ARTIFACT, INGREDIENT, PICKUP
  int m_iPrice = 0;
  float m_fPickDistance = 15.0f;
  float m_fPickDistanceLand = 6.0f;
  float m_fCooldownTimer = 0.0f;
  int m_iMinValue = 0;
  int m_iMaxValue = 0;
};
