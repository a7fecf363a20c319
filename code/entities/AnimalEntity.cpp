// Birds. Their flight, targets and effects come with the world map's wildlife.
#include "entities/AnimalEntity.h"

V_IMPLEMENT_DYNCREATE(AnimalEntity, BaseEntity)

AnimalEntity::AnimalEntity() = default;

AnimalEntity::~AnimalEntity() = default;
