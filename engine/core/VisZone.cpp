// Zones of entities streamed into the running world.
#include "engine/core/VisZone.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VSceneEntities.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisBaseEntity.h"

#include <tinyxml.h>

#include <algorithm>
#include <string>

VisZoneResource_cl::VisZoneResource_cl(const char* file, const VisVector_cl& boxMin, const VisVector_cl& boxMax)
    : m_sFile(file), m_vBoxMin(boxMin), m_vBoxMax(boxMax) {}

VisZoneResource_cl::~VisZoneResource_cl() {
  // Entities must not keep pointing at a zone that is gone.
  EnsureUnloaded();
}

bool VisZoneResource_cl::EnsureLoaded() {
  if (m_bLoaded) return true;
  std::string text, error;
  std::vector<VSceneEntityDesc> entities;
  if (m_sFile.IsEmpty()) {
    error = "no file given";
  } else if (!Vision::File.ReadTextFile(m_sFile.AsChar(), text)) {
    error = "the file was not found in the data folders";
  } else {
    // Read whole before anything is made: a refused file creates nothing.
    TiXmlDocument doc;
    if (const TiXmlElement* root = VParseXmlRoot(doc, text.c_str(), "zone", error)) {
      for (const TiXmlElement* e = root->FirstChildElement(); e && error.empty(); e = e->NextSiblingElement()) {
        if (e->ValueStr() != "entity") {
          Vision::Error.Warning("Zone \"%s\": line %d: unknown element <%s> ignored", m_sFile.AsChar(), e->Row(),
                                e->Value());
          continue;
        }
        VSceneEntityDesc d;
        if (VReadSceneEntity(e, d, error)) entities.push_back(std::move(d));
      }
    }
  }
  if (!error.empty()) {
    Vision::Error.Warning("Zone \"%s\": %s", m_sFile.AsChar(), error.c_str());
    return false;
  }

  m_bLoaded = true;
  for (const VSceneEntityDesc& d : entities) {
    // Init functions may remove entities (and so call back here): record first.
    if (VisBaseEntity_cl* e = VCreateSceneEntity(d, "Zone", this)) {
      if (e->GetParentZone() == this && e->GetNumber() >= 0) m_entities.push_back(e);
    }
  }
  Vision::Error.SystemMessage("Zone \"%s\" loaded: %d entities", m_sFile.AsChar(), (int)m_entities.size());
  return true;
}

void VisZoneResource_cl::EnsureUnloaded() {
  std::vector<VisBaseEntity_cl*> gone;
  gone.swap(m_entities);
  m_bLoaded = false;
  for (VisBaseEntity_cl* e : gone) {
    // From here on the world treats them as its own: freed like any removed entity.
    e->SetParentZone(nullptr);
    e->Remove();
  }
}

std::vector<VisBaseEntity_cl*> VisZoneResource_cl::GetEntities() const {
  std::vector<VisBaseEntity_cl*> live;
  for (VisBaseEntity_cl* e : m_entities)
    if (!e->IsMarkedRemoved()) live.push_back(e);
  return live;
}

void VisZoneResource_cl::OnEntityDestroyed(VisBaseEntity_cl* entity) {
  m_entities.erase(std::remove(m_entities.begin(), m_entities.end(), entity), m_entities.end());
}
