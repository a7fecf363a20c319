// The soldier's loot bundle.
#include "components/CarryComponent.h"

V_IMPLEMENT_DYNCREATE(CarryComponent, BaseComponent)
