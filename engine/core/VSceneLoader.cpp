// Reads a scene file of our own XML format and builds its entities in the emptied world.
#include "engine/core/VisWorld.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VTextValues.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisPath.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisionApp.h"

#include <tinyxml.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Largest id a script number (a double) still carries exactly.
constexpr int64_t kMaxSceneId = int64_t(1) << 53;

struct VarDesc {
  std::string name, value;
};

struct ComponentDesc {
  std::string className, name;
  std::vector<VarDesc> vars;
  int line = 0;
};

// A solid box carried by an entity: full size, centre offset in the entity's frame.
struct CollisionDesc {
  VisVector_cl size{1, 1, 1}, offset{0, 0, 0};
};

struct EntityDesc {
  std::string className = "VisBaseEntity_cl";
  std::string key, model, idText;
  VisVector_cl position{0, 0, 0};
  VisVector_cl orientation{0, 0, 0};
  std::vector<VarDesc> vars;
  std::vector<ComponentDesc> components;
  std::vector<CollisionDesc> collisions;
  int line = 0;
};

struct PathNodeDesc {
  VisVector_cl position{0, 0, 0}, in{0, 0, 0}, out{0, 0, 0};
  bool curved = false;
};

struct PathDesc {
  std::string key;
  bool closed = false;
  std::vector<PathNodeDesc> nodes;
};

struct SceneDesc {
  std::string script;
  bool hasTerrain = false;
  float terrainHeight = 0.0f;
  // Height field (size given): origin corner, size, samples, heights row by row.
  bool heightField = false;
  VisVector_cl terrainOrigin{0, 0, 0};
  float terrainSize[2] = {0, 0};
  int terrainSamples[2] = {2, 2};
  std::vector<float> terrainHeights;
  std::vector<EntityDesc> entities;
  std::vector<PathDesc> paths;
};

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

bool ReadVars(const TiXmlElement* parent, std::vector<VarDesc>& out, std::string& error) {
  for (const TiXmlElement* v = parent->FirstChildElement("var"); v; v = v->NextSiblingElement("var")) {
    if (!*Attr(v, "name") || !v->Attribute("value")) {
      error = "line " + std::to_string(v->Row()) + ": <var> needs a name and a value";
      return false;
    }
    out.push_back({Attr(v, "name"), Attr(v, "value")});
  }
  return true;
}

bool ReadEntity(const TiXmlElement* e, EntityDesc& d, std::string& error) {
  d.line = e->Row();
  const std::string where = "line " + std::to_string(d.line) + ": ";
  if (e->Attribute("class")) d.className = Attr(e, "class");
  d.key = Attr(e, "key");
  d.model = Attr(e, "model");
  if (e->Attribute("id")) d.idText = Attr(e, "id");
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
    ComponentDesc cd;
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
    CollisionDesc cd;
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

// "a/b" of two numbers.
bool ParsePair(const char* text, float out[2]) {
  const std::string t = text ? text : "";
  const size_t slash = t.find('/');
  if (slash == std::string::npos) return false;
  return VParseFloat(t.substr(0, slash).c_str(), out[0]) && VParseFloat(t.substr(slash + 1).c_str(), out[1]);
}

// <terrain height="h"/> (flat, endless) or <terrain origin="x/y/z" size="sx/sy"
// samples="nx/ny" heights="h h ..."/> (a height field; without samples a flat one).
bool ReadTerrain(const TiXmlElement* e, SceneDesc& scene, std::string& error) {
  const std::string where = "line " + std::to_string(e->Row()) + ": ";
  scene.hasTerrain = true;
  if (e->Attribute("height") && !VParseFloat(Attr(e, "height"), scene.terrainHeight)) {
    error = where + "terrain height \"" + Attr(e, "height") + "\" is not a number";
    return false;
  }
  if (!e->Attribute("size")) {
    if (e->Attribute("origin") || e->Attribute("samples") || e->Attribute("heights")) {
      error = where + "a terrain height field needs a size";
      return false;
    }
    return true;
  }
  scene.heightField = true;
  if (e->Attribute("origin") && !VParseVector3(Attr(e, "origin"), scene.terrainOrigin)) {
    error = where + "terrain origin \"" + Attr(e, "origin") + "\" is not x/y/z";
    return false;
  }
  if (!ParsePair(Attr(e, "size"), scene.terrainSize) || !(scene.terrainSize[0] > 0) || !(scene.terrainSize[1] > 0)) {
    error = where + "terrain size \"" + Attr(e, "size") + "\" is not a positive x/y";
    return false;
  }
  float samples[2] = {2, 2};
  if (e->Attribute("samples") &&
      (!ParsePair(Attr(e, "samples"), samples) || samples[0] < 2 || samples[1] < 2 || samples[0] > 4096 ||
       samples[1] > 4096 || samples[0] != std::floor(samples[0]) || samples[1] != std::floor(samples[1]))) {
    error = where + "terrain samples \"" + Attr(e, "samples") + "\" is not two whole numbers from 2 to 4096";
    return false;
  }
  scene.terrainSamples[0] = (int)samples[0];
  scene.terrainSamples[1] = (int)samples[1];
  const size_t count = (size_t)scene.terrainSamples[0] * (size_t)scene.terrainSamples[1];
  if (!e->Attribute("heights")) {
    scene.terrainHeights.assign(count, 0.0f);
    return true;
  }
  const char* p = Attr(e, "heights");
  while (*p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
    if (!*p) break;
    char* end = nullptr;
    errno = 0;
    const float h = std::strtof(p, &end);
    if (end == p || errno != 0 || !std::isfinite(h) || scene.terrainHeights.size() >= count) {
      scene.terrainHeights.push_back(0.0f);  // count mismatch reported below
      break;
    }
    scene.terrainHeights.push_back(h);
    p = end;
  }
  if (scene.terrainHeights.size() != count) {
    error = where + "terrain heights are not " + std::to_string(count) + " numbers";
    return false;
  }
  return true;
}

// <path key="..." closed="1"><node position="x/y/z" in="x/y/z" out="x/y/z"/></path>
bool ReadPath(const TiXmlElement* e, PathDesc& d, std::string& error) {
  const std::string where = "line " + std::to_string(e->Row()) + ": ";
  d.key = Attr(e, "key");
  if (e->Attribute("closed")) {
    const std::string closed = Attr(e, "closed");
    if (closed != "0" && closed != "1") {
      error = where + "path closed \"" + closed + "\" is not 0 or 1";
      return false;
    }
    d.closed = closed == "1";
  }
  for (const TiXmlElement* n = e->FirstChildElement("node"); n; n = n->NextSiblingElement("node")) {
    PathNodeDesc node;
    const std::string at = "line " + std::to_string(n->Row()) + ": ";
    if (!VParseVector3(Attr(n, "position"), node.position)) {
      error = at + "path node position \"" + Attr(n, "position") + "\" is not x/y/z";
      return false;
    }
    for (const char* name : {"in", "out"}) {
      if (!n->Attribute(name)) continue;
      if (!VParseVector3(Attr(n, name), name[0] == 'i' ? node.in : node.out)) {
        error = at + "path node " + name + " \"" + Attr(n, name) + "\" is not x/y/z";
        return false;
      }
      node.curved = true;
    }
    d.nodes.push_back(node);
  }
  return true;
}

void CreatePath(const PathDesc& d) {
  VisPath_cl* path = new VisPath_cl((int)d.nodes.size(), d.closed);
  path->SetObjectKey(d.key.c_str());
  for (const PathNodeDesc& n : d.nodes)
    path->AddPathNode(new VisPathNode_cl(n.position, n.in, n.out, n.curved ? VIS_PATHNODE_BEZIER : VIS_PATHNODE_LINEAR));
  Vision::Game.AddScenePath(path);
}

bool ReadScene(const std::string& text, SceneDesc& scene, std::string& error) {
  TiXmlDocument doc;
  const TiXmlElement* root = VParseXmlRoot(doc, text.c_str(), "scene", error);
  if (!root) return false;
  scene.script = Attr(root, "script");
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const std::string tag = e->ValueStr();
    if (tag == "entity") {
      EntityDesc d;
      if (!ReadEntity(e, d, error)) return false;
      scene.entities.push_back(std::move(d));
    } else if (tag == "path") {
      PathDesc d;
      if (!ReadPath(e, d, error)) return false;
      scene.paths.push_back(std::move(d));
    } else if (tag == "terrain") {
      if (!ReadTerrain(e, scene, error)) return false;
    } else {
      Vision::Error.Warning("Scene: line %d: unknown element <%s> ignored", e->Row(), tag.c_str());
    }
  }
  return true;
}

void ApplyVars(VTypedObject* obj, const std::vector<VarDesc>& vars, const char* what, int line) {
  for (const VarDesc& v : vars) {
    if (!obj->SetVariable(v.name.c_str(), v.value.c_str()))
      Vision::Error.Warning("Scene: line %d: %s %s has no variable %s (or \"%s\" does not fit it)", line, what,
                            obj->GetClassTypeName(), v.name.c_str(), v.value.c_str());
  }
}

// Carries class, pose, key and model; sets the id, the variables and the components
// before the entity's InitFunction.
class SceneEntityTemplate : public VisEntityTemplate_cl {
 public:
  SceneEntityTemplate(const EntityDesc& d, int64_t id) : m_desc(d), m_id(id) {
    m_sClassName = d.className.c_str();
    m_vPosition = d.position;
    m_vOrientation = d.orientation;
    m_sKey = d.key.c_str();
    m_sModelFile = d.model.c_str();
  }

  void ApplyToEntity(VisBaseEntity_cl* entity) override {
    if (m_id != 0) entity->SetUniqueID(m_id);
    ApplyVars(entity, m_desc.vars, "entity", m_desc.line);
    for (const ComponentDesc& cd : m_desc.components) AddComponent(entity, cd);
  }

  void DisposeObject() override {}  // lives on the loader's stack

 private:
  static void AddComponent(VisBaseEntity_cl* entity, const ComponentDesc& cd) {
    VTypedObject* obj = VType::CreateObject(cd.className.c_str());
    if (!obj || !obj->IsOfType(IVObjectComponent::GetClassTypeId())) {
      Vision::Error.Warning("Scene: line %d: %s is not a component class: skipped", cd.line, cd.className.c_str());
      delete obj;
      return;
    }
    auto* component = static_cast<IVObjectComponent*>(obj);
    if (!cd.name.empty()) component->SetComponentName(cd.name.c_str());
    ApplyVars(component, cd.vars, "component", cd.line);
    component->Initialize();
    if (!entity->AddComponent(component)) {
      Vision::Error.Warning("Scene: line %d: component %s refused by %s", cd.line, cd.className.c_str(),
                            entity->GetClassTypeName());
      delete component;
    }
  }

  const EntityDesc& m_desc;
  int64_t m_id;
};

bool CreateEntity(const EntityDesc& d) {
  int64_t id = 0;
  if (!d.idText.empty()) {
    if (!ParseSceneId(d.idText, id)) {
      Vision::Error.Warning("Scene: line %d: entity id %s is not a number from 1 to 2^53: entity skipped", d.line,
                            d.idText.c_str());
      return false;
    }
    if (Vision::Game.FindEntityByUniqueID(id)) {
      Vision::Error.Warning("Scene: line %d: entity id %s is taken: entity skipped", d.line, d.idText.c_str());
      return false;
    }
  }
  VType* type = VType::FindType(d.className.c_str());
  if (!type || !type->CanCreate() || !type->IsDerivedFrom(VisBaseEntity_cl::GetClassTypeId())) {
    Vision::Error.Warning("Scene: line %d: %s is not an entity class: entity skipped", d.line, d.className.c_str());
    return false;
  }
  SceneEntityTemplate templ(d, id);
  if (VisBaseEntity_cl* e = Vision::Game.CreateEntity(templ)) {
    // Its collision boxes become static geometry where the entity stands.
    for (const CollisionDesc& c : d.collisions) {
      const VisMatrix3x3_cl& r = e->GetRotationMatrix();
      auto* box = new VisStaticGeometryInstance_cl(e->GetPosition() + r * c.offset, c.size, r);
      box->SetObjectKey(d.key.c_str());
      Vision::World.AddStaticGeometryInstance(box);
    }
    return true;
  }
  Vision::Error.Warning("Scene: line %d: entity of class %s could not be created", d.line, d.className.c_str());
  return false;
}

void ReportStatus(int status, float percent, const char* message) {
  if (VisionApp_cl* app = Vision::GetApplication()) app->OnLoadWorldStatus(status, percent, message);
}

}  // namespace

bool VSceneLoader::LoadScene(const char* file) {
  m_lastError.Reset();
  if (!file || !*file) {
    m_status = STATUS_FAILED;
    m_lastError = "No scene file given";
    Vision::Error.Warning("%s", m_lastError.AsChar());
    return false;
  }

  std::string text;
  std::string name = file;
  bool found = Vision::File.ReadTextFile(name.c_str(), text);
  if (!found && !*VFileHelper::GetExtension(file)) {
    name += ".vscene";
    found = Vision::File.ReadTextFile(name.c_str(), text);
  }
  SceneDesc scene;
  std::string error;
  if (!found)
    error = "the file was not found in the data folders";
  else
    ReadScene(text, scene, error);
  if (!error.empty()) {
    m_status = STATUS_FAILED;
    m_lastError.Format("Scene \"%s\": %s", file, error.c_str());
    Vision::Error.Warning("%s", m_lastError.AsChar());
    ReportStatus(STATUS_FAILED, 0.0f, m_lastError.AsChar());
    return false;
  }

  Vision::World.UnloadWorld();
  m_status = STATUS_LOADING;
  ReportStatus(STATUS_LOADING, 0.0f, name.c_str());

  if (scene.heightField)
    Vision::World.SetHeightFieldTerrain(scene.terrainOrigin, scene.terrainSize[0], scene.terrainSize[1],
                                        scene.terrainSamples[0], scene.terrainSamples[1], scene.terrainHeights);
  else if (scene.hasTerrain)
    Vision::World.SetFlatTerrain(scene.terrainHeight);
  if (!scene.script.empty()) {
    // A scene without its script still loads, like every other missing resource.
    IVScriptInstance* script = Vision::GetScriptManager()->CreateScriptInstanceFromFile(scene.script.c_str());
    if (script)
      Vision::World.SetSceneScript(script);
    else
      Vision::Error.Warning("Scene \"%s\": script %s could not be loaded", file, scene.script.c_str());
  }
  // Paths first: entities may look theirs up when they start.
  for (const PathDesc& d : scene.paths) CreatePath(d);
  int created = 0;
  for (const EntityDesc& d : scene.entities) created += CreateEntity(d) ? 1 : 0;

  Vision::World.SetSceneFile(name.c_str());
  m_status = STATUS_FINISHED;
  ReportStatus(STATUS_FINISHED, 100.0f, name.c_str());
  Vision::Error.SystemMessage("Scene \"%s\" loaded: %d entities", name.c_str(), created);

  // Listeners set themselves up on the new scene, the late ones after them.
  Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
  Vision::Callbacks.OnAfterSceneLoadedLate.TriggerCallbacks();
  return true;
}

// Loading happens at once inside LoadScene.
void VSceneLoader::Tick() {}
