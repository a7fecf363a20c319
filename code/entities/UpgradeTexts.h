// What a ship upgrade is beyond its entity: its script and the texts and images
// the shop shows. The upgrade entity and its stored form both carry it, so one
// copies into the other whole.
#pragma once

#include "engine/base/VString.h"

struct UpgradeTexts {
  VString m_sUpgradeScriptFile;
  VString m_sScreenName;
  VString m_sType;
  VString m_sName;
  VString m_sDescription;
  VString m_sImage;
  VString m_sIcon;
};
