// The <entity> elements shared by scenes and zones: reading them from XML and
// creating the entities they describe (data/README.md, "Scenes" and "Zones").
#pragma once

#include "engine/base/VisMath.h"

#include <string>
#include <vector>

class TiXmlElement;
class VisBaseEntity_cl;
class VisZoneResource_cl;

struct VSceneVarDesc {
  std::string name, value;
};

struct VSceneComponentDesc {
  std::string className, name;
  std::vector<VSceneVarDesc> vars;
  int line = 0;
};

// A solid box carried by an entity: full size, centre offset in the entity's frame.
struct VSceneCollisionDesc {
  VisVector_cl size{1, 1, 1}, offset{0, 0, 0};
};

struct VSceneEntityDesc {
  std::string className = "VisBaseEntity_cl";
  std::string key, model, idText;
  // Key of the entity this one is attached to (scenes only; resolved after all are made).
  std::string parent;
  VisVector_cl position{0, 0, 0};
  VisVector_cl orientation{0, 0, 0};
  std::vector<VSceneVarDesc> vars;
  std::vector<VSceneComponentDesc> components;
  std::vector<VSceneCollisionDesc> collisions;
  int line = 0;
};

// Reads one <entity>; false with error ("line N: ...") when a value does not parse.
bool VReadSceneEntity(const TiXmlElement* e, VSceneEntityDesc& d, std::string& error);

// Creates the entity: class, pose, key, model, id, variables and components, then its
// InitFunction. what names the file kind in log lines ("Scene", "Zone"). A zone's
// entity knows its zone before InitFunction and places no collision boxes (static
// geometry belongs to the scene). Null, with a log line, for an unknown class or an
// id out of range or taken.
VisBaseEntity_cl* VCreateSceneEntity(const VSceneEntityDesc& d, const char* what, VisZoneResource_cl* zone = nullptr);
