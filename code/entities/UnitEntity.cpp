// Land units. Soldiers, formations and orders come with the land battles.
#include "entities/UnitEntity.h"

V_IMPLEMENT_DYNCREATE(UnitEntity, BaseEntity)

UnitEntity::UnitEntity() = default;

UnitEntity::~UnitEntity() = default;
