// The static entity's type record: creatable by name, with the base entity's variables.
#include "core/StaticEntity.h"

V_IMPLEMENT_DYNCREATE(StaticEntity, BaseEntity)
