// Hit points and armour.
#include "entities/Hitpoints.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

#include <algorithm>

void Hitpoints::SetHitpoints(int current, int maximum) {
  if (!IsTracked()) return;
  m_iCurrent = current;
  if (maximum > 0) m_iMaximum = maximum;
  m_iCurrent = std::min(m_iCurrent, m_iMaximum);
}

void Hitpoints::AddHitpoints(int value) {
  if (IsTracked()) m_iCurrent = std::clamp(m_iCurrent + value, 0, m_iMaximum);
}

void Hitpoints::ResetHitpoints() {
  if (IsTracked()) m_iCurrent = m_iMaximum;
}

void Hitpoints::AddArmor(int value) {
  if (IsTracked()) m_iArmor = std::clamp(m_iArmor + value, 0, std::max(m_iMaxArmor, 0));
}

void Hitpoints::ResetArmor() {
  if (IsTracked()) m_iArmor = m_iMaxArmor;
}

void Hitpoints::SetArmor(int armor, int maxArmor) {
  if (!IsTracked()) return;
  m_iArmor = armor;
  if (maxArmor >= 0) m_iMaxArmor = maxArmor;
  m_iArmor = std::min(m_iArmor, m_iMaxArmor);
}

bool Hitpoints::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    ar << m_iArmor << m_iCurrent << m_iMaxArmor << m_iMaximum;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "Hitpoints", 2);
  if (!block.IsOpen()) return false;
  Hitpoints read(*this);
  if (block.Has(2)) ar >> read.m_iArmor >> read.m_iCurrent >> read.m_iMaxArmor >> read.m_iMaximum;
  if (!block.End()) return false;
  *this = read;
  return true;
}
