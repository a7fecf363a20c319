// Sail settings.
#include "components/ShipSailComponent.h"

#include "core/ComponentMessages.h"
#include "entities/ShipEntity.h"

V_IMPLEMENT_DYNCREATE(ShipSailComponent, IVObjectComponent)

ShipSailComponent::ShipSailComponent() = default;

ShipSailComponent::~ShipSailComponent() = default;

int ShipSailComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}

void ShipSailComponent::Announce() {
  if (!m_pOwner) return;
  static const int kMessages[] = {VIS_MSG_USER_SHIP_NOSAILS, VIS_MSG_USER_SHIP_BATTLESAILS,
                                  VIS_MSG_USER_SHIP_FULLSAILS};
  m_pOwner->SendMsg(kMessages[m_eSailMode], 0, 0);
}

void ShipSailComponent::SetSailMode(SailMode mode) {
  if (mode < SAILMODE_NONE || mode > SAILMODE_FULL || mode == m_eSailMode) return;
  m_eSailMode = mode;
  Announce();
}

void ShipSailComponent::IncSailMode() {
  if (m_eSailMode != SAILMODE_FULL) m_eSailMode = (SailMode)(m_eSailMode + 1);
  Announce();
}

void ShipSailComponent::DecSailMode() {
  if (m_eSailMode != SAILMODE_NONE) m_eSailMode = (SailMode)(m_eSailMode - 1);
  Announce();
}

void ShipSailComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  switch (id) {
    case VIS_MSG_USER_SHIP_INCSAILMODE: IncSailMode(); break;
    case VIS_MSG_USER_SHIP_DECSAILMODE: DecSailMode(); break;
    case VIS_MSG_USER_SHIP_NOSAILS: SetSailMode(SAILMODE_NONE); break;
    case VIS_MSG_USER_SHIP_BATTLESAILS: SetSailMode(SAILMODE_BATTLE); break;
    case VIS_MSG_USER_SHIP_FULLSAILS: SetSailMode(SAILMODE_FULL); break;
    default: break;
  }
}
