// The stored form of a collectable: kept in the player's inventory, and able to
// create the item again.
#pragma once

#include "engine/core/VisGame.h"

class CollectableEntityTemplate : public VisEntityTemplate_cl {
 public:
  CollectableEntityTemplate();

  // Gives a created CollectableEntity the stored values and readies it.
  void ApplyToEntity(VisBaseEntity_cl* entity) override;

  int m_bHidden = 0;
  int m_bRemoveWhenUsed = 1;
  VString m_sCollectableScriptFile;
  VString m_sScreenName;
  VString m_sHighlightEffect;
  int m_iNation = 0;
  // How many of the item the player owns.
  int m_iCount = 1;
};
