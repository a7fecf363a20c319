// Reads a scene file of our own XML format and builds its entities in the emptied world.
#include "engine/core/VisWorld.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VSceneEntities.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VTextValues.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisPath.h"
#include "engine/core/VisLightSource.h"
#include "engine/core/VisTriggerSourceComponent.h"
#include "engine/core/VisTriggerTargetComponent.h"
#include "engine/core/VisionApp.h"

#include <tinyxml.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct PathNodeDesc {
  VisVector_cl position{0, 0, 0}, in{0, 0, 0}, out{0, 0, 0};
  bool curved = false;
};

struct PathDesc {
  std::string key;
  bool closed = false;
  std::vector<PathNodeDesc> nodes;
};

struct LightDesc {
  std::string key;
  VisVector_cl position{0, 0, 0}, color{1, 1, 1};
  float radius = 100.0f, period = 1.0f;
  std::vector<VisVector_cl> keys;
};

// A trigger link: source component of one entity to target component of another.
struct LinkDesc {
  std::string from, source, to, target;
  int line = 0;
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
  std::vector<VSceneEntityDesc> entities;
  std::vector<LightDesc> lights;
  std::vector<LinkDesc> links;
  std::vector<PathDesc> paths;
};

const char* Attr(const TiXmlElement* e, const char* name) {
  const char* v = e->Attribute(name);
  return v ? v : "";
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

// Colours are red/green/blue, each 0 or more (above 1 brightens).
bool ParseColor(const char* text, VisVector_cl& out) {
  return VParseVector3(text, out) && out.x >= 0 && out.y >= 0 && out.z >= 0;
}

// <light key=".." position="x/y/z" color="r/g/b" radius="r" period="s"> with
// <key color="r/g/b"/> children: the colour curve over one period.
bool ReadLight(const TiXmlElement* e, LightDesc& d, std::string& error) {
  const std::string where = "line " + std::to_string(e->Row()) + ": ";
  d.key = Attr(e, "key");
  if (e->Attribute("position") && !VParseVector3(Attr(e, "position"), d.position)) {
    error = where + "light position \"" + Attr(e, "position") + "\" is not x/y/z";
    return false;
  }
  if (e->Attribute("color") && !ParseColor(Attr(e, "color"), d.color)) {
    error = where + "light color \"" + Attr(e, "color") + "\" is not r/g/b of numbers from 0";
    return false;
  }
  if (e->Attribute("radius") && !(VParseFloat(Attr(e, "radius"), d.radius) && d.radius > 0)) {
    error = where + "light radius \"" + Attr(e, "radius") + "\" is not a positive number";
    return false;
  }
  if (e->Attribute("period") && !(VParseFloat(Attr(e, "period"), d.period) && d.period > 0)) {
    error = where + "light period \"" + Attr(e, "period") + "\" is not a positive number";
    return false;
  }
  for (const TiXmlElement* k = e->FirstChildElement("key"); k; k = k->NextSiblingElement("key")) {
    VisVector_cl c;
    if (!ParseColor(Attr(k, "color"), c)) {
      error = "line " + std::to_string(k->Row()) + ": light key color \"" + Attr(k, "color") +
              "\" is not r/g/b of numbers from 0";
      return false;
    }
    d.keys.push_back(c);
  }
  return true;
}

void CreateLight(const LightDesc& d) {
  auto* light = new VisLightSource_cl();
  light->SetKey(d.key.c_str());
  light->SetPosition(d.position);
  light->SetColor(d.color);
  light->SetRadius(d.radius);
  if (!d.keys.empty()) light->SetColorAnimation(d.keys, d.period);
  Vision::World.AddLightSource(light);
}

// <link from="key" source="name" to="key" target="name"/>
bool ReadLink(const TiXmlElement* e, LinkDesc& d, std::string& error) {
  d.line = e->Row();
  d.from = Attr(e, "from");
  d.source = Attr(e, "source");
  d.to = Attr(e, "to");
  d.target = Attr(e, "target");
  if (d.from.empty() || d.source.empty() || d.to.empty() || d.target.empty()) {
    error = "line " + std::to_string(d.line) + ": <link> needs from, source, to and target";
    return false;
  }
  return true;
}

// The named component of that class on the entity, made and attached when missing.
template <class T>
T* NamedTriggerComponent(VisBaseEntity_cl* entity, const std::string& name) {
  for (int i = 0; i < entity->GetComponentCount(); ++i) {
    auto* c = dynamic_cast<T*>(entity->GetComponent(i));
    if (c && name == c->GetComponentName()) return c;
  }
  auto* c = new T(name.c_str());
  if (entity->AddComponent(c)) return c;
  delete c;
  return nullptr;
}

void CreateLink(const LinkDesc& d) {
  VisBaseEntity_cl* from = Vision::Game.SearchEntity(d.from.c_str());
  VisBaseEntity_cl* to = Vision::Game.SearchEntity(d.to.c_str());
  if (!from || !to) {
    Vision::Error.Warning("Scene: line %d: link between \"%s\" and \"%s\" skipped: no such entity", d.line,
                          d.from.c_str(), d.to.c_str());
    return;
  }
  VisTriggerSourceComponent_cl::Link(NamedTriggerComponent<VisTriggerSourceComponent_cl>(from, d.source),
                                     NamedTriggerComponent<VisTriggerTargetComponent_cl>(to, d.target));
}

bool ReadScene(const std::string& text, SceneDesc& scene, std::string& error) {
  TiXmlDocument doc;
  const TiXmlElement* root = VParseXmlRoot(doc, text.c_str(), "scene", error);
  if (!root) return false;
  scene.script = Attr(root, "script");
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const std::string tag = e->ValueStr();
    if (tag == "entity") {
      VSceneEntityDesc d;
      if (!VReadSceneEntity(e, d, error)) return false;
      scene.entities.push_back(std::move(d));
    } else if (tag == "path") {
      PathDesc d;
      if (!ReadPath(e, d, error)) return false;
      scene.paths.push_back(std::move(d));
    } else if (tag == "light") {
      LightDesc d;
      if (!ReadLight(e, d, error)) return false;
      scene.lights.push_back(std::move(d));
    } else if (tag == "link") {
      LinkDesc d;
      if (!ReadLink(e, d, error)) return false;
      scene.links.push_back(std::move(d));
    } else if (tag == "terrain") {
      if (!ReadTerrain(e, scene, error)) return false;
    } else {
      Vision::Error.Warning("Scene: line %d: unknown element <%s> ignored", e->Row(), tag.c_str());
    }
  }
  return true;
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
  for (const LightDesc& d : scene.lights) CreateLight(d);
  // Paths first: entities may look theirs up when they start.
  for (const PathDesc& d : scene.paths) CreatePath(d);
  int created = 0;
  std::vector<std::pair<VisBaseEntity_cl*, const VSceneEntityDesc*>> children;
  for (const VSceneEntityDesc& d : scene.entities) {
    VisBaseEntity_cl* entity = VCreateSceneEntity(d, "Scene");
    if (!entity) continue;
    ++created;
    if (!d.parent.empty()) children.emplace_back(entity, &d);
  }
  // Parents may come later in the file.
  for (auto& [child, d] : children) {
    if (VisBaseEntity_cl* parent = Vision::Game.SearchEntity(d->parent.c_str()))
      child->AttachToParent(parent);
    else
      Vision::Error.Warning("Scene: line %d: parent \"%s\" not found", d->line, d->parent.c_str());
  }
  for (const LinkDesc& d : scene.links) CreateLink(d);

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
