// Zones of entities streamed into the running world.
#include "engine/core/VisZone.h"

#include "engine/core/VisBaseEntity.h"

VisZoneResource_cl::VisZoneResource_cl(const char* file, const VisVector_cl& boxMin, const VisVector_cl& boxMax)
    : m_sFile(file), m_vBoxMin(boxMin), m_vBoxMax(boxMax) {}

VisZoneResource_cl::~VisZoneResource_cl() = default;

bool VisZoneResource_cl::EnsureLoaded() { return false; }

void VisZoneResource_cl::EnsureUnloaded() { m_bLoaded = false; }

std::vector<VisBaseEntity_cl*> VisZoneResource_cl::GetEntities() const { return {}; }
