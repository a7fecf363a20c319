// Reading and creating the entities of scene and zone files.
#include "engine/core/VSceneEntities.h"

#include "engine/base/VisError.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VTextValues.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisWorld.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Largest id a script number (a double) still carries exactly.
constexpr int64_t kMaxSceneId = int64_t(1) << 53;

const char* Attr(const TiXmlElement* e, const char* name) {
  const char* v = e->Attribute(name);
  return v ? v : "";
}

// A decimal id in 1..2^53; false otherwise.
bool ParseSceneId(const std::string& text, int64_t& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v == 0 || v > (unsigned long long)kMaxSceneId) return false;
  out = (int64_t)v;
  return true;
}

bool ReadVars(const TiXmlElement* parent, std::vector<VSceneVarDesc>& out, std::string& error) {
  for (const TiXmlElement* v = parent->FirstChildElement("var"); v; v = v->NextSiblingElement("var")) {
    if (!*Attr(v, "name") || !v->Attribute("value")) {
      error = "line " + std::to_string(v->Row()) + ": <var> needs a name and a value";
      return false;
    }
    out.push_back({Attr(v, "name"), Attr(v, "value")});
  }
  return true;
}

void ApplyVars(VTypedObject* obj, const std::vector<VSceneVarDesc>& vars, const char* kind, const char* what,
               int line) {
  for (const VSceneVarDesc& v : vars) {
    if (!obj->SetVariable(v.name.c_str(), v.value.c_str()))
      Vision::Error.Warning("%s: line %d: %s %s has no variable %s (or \"%s\" does not fit it)", kind, line, what,
                            obj->GetClassTypeName(), v.name.c_str(), v.value.c_str());
  }
}

// Carries class, pose, key and model; sets the id, the zone, the variables and the
// components before the entity's InitFunction.
class SceneEntityTemplate : public VisEntityTemplate_cl {
 public:
  SceneEntityTemplate(const VSceneEntityDesc& d, int64_t id, const char* what, VisZoneResource_cl* zone)
      : m_desc(d), m_id(id), m_what(what), m_zone(zone) {
    m_sClassName = d.className.c_str();
    m_vPosition = d.position;
    m_vOrientation = d.orientation;
    m_sKey = d.key.c_str();
    m_sModelFile = d.model.c_str();
  }

  void ApplyToEntity(VisBaseEntity_cl* entity) override {
    if (m_id != 0) entity->SetUniqueID(m_id);
    if (m_zone) entity->SetParentZone(m_zone);
    ApplyVars(entity, m_desc.vars, m_what, "entity", m_desc.line);
    for (const VSceneComponentDesc& cd : m_desc.components) AddComponent(entity, cd);
  }

  void DisposeObject() override {}  // lives on the creator's stack

 private:
  void AddComponent(VisBaseEntity_cl* entity, const VSceneComponentDesc& cd) const {
    VTypedObject* obj = VType::CreateObject(cd.className.c_str());
    if (!obj || !obj->IsOfType(IVObjectComponent::GetClassTypeId())) {
      Vision::Error.Warning("%s: line %d: %s is not a component class: skipped", m_what, cd.line,
                            cd.className.c_str());
      delete obj;
      return;
    }
    auto* component = static_cast<IVObjectComponent*>(obj);
    if (!cd.name.empty()) component->SetComponentName(cd.name.c_str());
    ApplyVars(component, cd.vars, m_what, "component", cd.line);
    component->Initialize();
    if (!entity->AddComponent(component)) {
      Vision::Error.Warning("%s: line %d: component %s refused by %s", m_what, cd.line, cd.className.c_str(),
                            entity->GetClassTypeName());
      delete component;
    }
  }

  const VSceneEntityDesc& m_desc;
  int64_t m_id;
  const char* m_what;
  VisZoneResource_cl* m_zone;
};

}  // namespace

bool VReadSceneEntity(const TiXmlElement* e, VSceneEntityDesc& d, std::string& error) {
  d.line = e->Row();
  const std::string where = "line " + std::to_string(d.line) + ": ";
  if (e->Attribute("class")) d.className = Attr(e, "class");
  d.key = Attr(e, "key");
  d.model = Attr(e, "model");
  if (e->Attribute("id")) d.idText = Attr(e, "id");
  d.parent = Attr(e, "parent");
  if (e->Attribute("position") && !VParseVector3(Attr(e, "position"), d.position)) {
    error = where + "position \"" + Attr(e, "position") + "\" is not x/y/z";
    return false;
  }
  if (e->Attribute("orientation") && !VParseVector3(Attr(e, "orientation"), d.orientation)) {
    error = where + "orientation \"" + Attr(e, "orientation") + "\" is not yaw/pitch/roll";
    return false;
  }
  if (!ReadVars(e, d.vars, error)) return false;
  for (const TiXmlElement* c = e->FirstChildElement("component"); c; c = c->NextSiblingElement("component")) {
    VSceneComponentDesc cd;
    cd.line = c->Row();
    cd.className = Attr(c, "class");
    cd.name = Attr(c, "name");
    if (cd.className.empty()) {
      error = "line " + std::to_string(cd.line) + ": <component> needs a class";
      return false;
    }
    if (!ReadVars(c, cd.vars, error)) return false;
    d.components.push_back(std::move(cd));
  }
  for (const TiXmlElement* c = e->FirstChildElement("collision"); c; c = c->NextSiblingElement("collision")) {
    VSceneCollisionDesc cd;
    const std::string at = "line " + std::to_string(c->Row()) + ": ";
    if (!VParseVector3(Attr(c, "box"), cd.size) || !(cd.size.x > 0 && cd.size.y > 0 && cd.size.z > 0)) {
      error = at + "collision box \"" + Attr(c, "box") + "\" is not a positive x/y/z";
      return false;
    }
    if (c->Attribute("offset") && !VParseVector3(Attr(c, "offset"), cd.offset)) {
      error = at + "collision offset \"" + Attr(c, "offset") + "\" is not x/y/z";
      return false;
    }
    d.collisions.push_back(cd);
  }
  return true;
}

VisBaseEntity_cl* VCreateSceneEntity(const VSceneEntityDesc& d, const char* what, VisZoneResource_cl* zone) {
  int64_t id = 0;
  if (!d.idText.empty()) {
    if (!ParseSceneId(d.idText, id)) {
      Vision::Error.Warning("%s: line %d: entity id %s is not a number from 1 to 2^53: entity skipped", what, d.line,
                            d.idText.c_str());
      return nullptr;
    }
    if (Vision::Game.FindEntityByUniqueID(id)) {
      Vision::Error.Warning("%s: line %d: entity id %s is taken: entity skipped", what, d.line, d.idText.c_str());
      return nullptr;
    }
  }
  VType* type = VType::FindType(d.className.c_str());
  if (!type || !type->CanCreate() || !type->IsDerivedFrom(VisBaseEntity_cl::GetClassTypeId())) {
    Vision::Error.Warning("%s: line %d: %s is not an entity class: entity skipped", what, d.line,
                          d.className.c_str());
    return nullptr;
  }
  SceneEntityTemplate templ(d, id, what, zone);
  VisBaseEntity_cl* e = Vision::Game.CreateEntity(templ);
  if (!e) {
    Vision::Error.Warning("%s: line %d: entity of class %s could not be created", what, d.line, d.className.c_str());
    return nullptr;
  }
  if (zone) {
    if (!d.collisions.empty())
      Vision::Error.Warning("%s: line %d: a zone places no collision boxes: ignored", what, d.line);
    return e;
  }
  // Its collision boxes become static geometry where the entity stands.
  for (const VSceneCollisionDesc& c : d.collisions) {
    const VisMatrix3x3_cl& r = e->GetRotationMatrix();
    auto* box = new VisStaticGeometryInstance_cl(e->GetPosition() + r * c.offset, c.size, r);
    box->SetObjectKey(d.key.c_str());
    Vision::World.AddStaticGeometryInstance(box);
  }
  return e;
}
