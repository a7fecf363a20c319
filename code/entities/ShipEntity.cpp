// Ship entities.
#include "entities/ShipEntity.h"

V_IMPLEMENT_DYNCREATE(ShipEntity, BaseEntity)

ShipEntity::ShipEntity() { SetUseEulerAngles(false); }

ShipEntity::~ShipEntity() = default;
