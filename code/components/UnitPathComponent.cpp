// The unit's passive path holder.
#include "components/UnitPathComponent.h"

V_IMPLEMENT_DYNCREATE(UnitPathComponent, BasePathComponent)

UnitPathComponent::UnitPathComponent() : BasePathComponent(5.0f, 2.0f, false) { m_bPerFrame = false; }
