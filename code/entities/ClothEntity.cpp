// Sails, flags and ropes as entities: configuration name, linked collision
// entities, parenting and scaling with the ship, hit pushes, and the saved block.
#include "entities/ClothEntity.h"

#include "core/GameManager.h"

#include "entities/MsgPosOri.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VXmlRoot.h"
#include "engine/core/VisCallbacks.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

namespace {
const char kClothVersion = 4;
// Hit messages that push the cloth: a cannon ball through the sails, a blast.
const int kMsgSailsHit = 12;
const int kMsgBlast = 24;
// Fallback values of old blocks (versions 2 and 3): nine floats, solver
// iterations, grid spacing, ten switches.
const int kFallbackFloats = 9;
const int kFallbackFlags = 10;

struct FlagName {
  const char* name;
  unsigned value;
};
const FlagName kFlagNames[] = {
    {"NX_CLF_PRESSURE", ClothEntity::CLOTH_PRESSURE},
    {"NX_CLF_STATIC", ClothEntity::CLOTH_STATIC},
    {"NX_CLF_DISABLE_COLLISION", ClothEntity::CLOTH_DISABLE_COLLISION},
    {"NX_CLF_SELFCOLLISION", ClothEntity::CLOTH_SELFCOLLISION},
    {"NX_CLF_VISUALIZATION", ClothEntity::CLOTH_VISUALIZATION},
    {"NX_CLF_GRAVITY", ClothEntity::CLOTH_GRAVITY},
    {"NX_CLF_BENDING", ClothEntity::CLOTH_BENDING},
    {"NX_CLF_BENDING_ORTHO", ClothEntity::CLOTH_BENDING_ORTHO},
    {"NX_CLF_DAMPING", ClothEntity::CLOTH_DAMPING},
    {"NX_CLF_COLLISION_TWOWAY", ClothEntity::CLOTH_COLLISION_TWOWAY},
    {"NX_CLF_TRIANGLE_COLLISION", ClothEntity::CLOTH_TRIANGLE_COLLISION},
    {"NX_CLF_TEARABLE", ClothEntity::CLOTH_TEARABLE},
    {"NX_CLF_HARDWARE", ClothEntity::CLOTH_HARDWARE},
    {"NX_CLF_COMDAMPING", ClothEntity::CLOTH_COMDAMPING},
    {"NX_CLF_VALIDBOUNDS", ClothEntity::CLOTH_VALIDBOUNDS},
    {"NX_CLF_FLUID_COLLISION", ClothEntity::CLOTH_FLUID_COLLISION},
    {"NX_CLF_DISABLE_DYNAMIC_CCD", ClothEntity::CLOTH_DISABLE_DYNAMIC_CCD},
    {"NX_CLF_ADHERE", ClothEntity::CLOTH_ADHERE},
    {"NX_CLF_HARD_STRETCH_LIMITATION", ClothEntity::CLOTH_HARD_STRETCH_LIMITATION},
    {"NX_CLF_UNTANGLING", ClothEntity::CLOTH_UNTANGLING},
    {"NX_CLF_INTER_COLLISION", ClothEntity::CLOTH_INTER_COLLISION},
};

// The names of a "flags" attribute, separated by '|', ',' or blanks; unknown names
// add nothing.
unsigned ParseFlags(const char* text) {
  std::string names(text);
  for (char& c : names)
    if (c == '|' || c == ',') c = ' ';
  std::istringstream words(names);
  unsigned flags = 0;
  std::string word;
  while (words >> word)
    for (const FlagName& f : kFlagNames)
      if (word == f.name) flags |= f.value;
  return flags;
}

// An attribute that is absent or does not parse leaves the value as it was.
void ReadFloat(const TiXmlElement* e, const char* key, float& value) {
  const char* text = e->Attribute(key);
  if (!text) return;
  char* end = nullptr;
  const float v = std::strtof(text, &end);
  if (end != text) value = v;
}

void ReadInt(const TiXmlElement* e, const char* key, int& value) {
  const char* text = e->Attribute(key);
  if (!text) return;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end != text) value = (int)v;
}

void ReadBool(const TiXmlElement* e, const char* key, bool& value) {
  if (const char* text = e->Attribute(key)) VString::ParseBool(text, value);
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(ClothEntity, VisBaseEntity_cl, &ClothEntity::BuildVarList)

void ClothEntity::BuildVarList(VARTABLE& t) {
  VAR_TEXT(t, ClothEntity, m_sConfigFile, VULPTYPE_FILE, "Config xml file", "");
}

ClothEntity::ClothEntity() {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
}

ClothEntity::~ClothEntity() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
}

void ClothEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisTypedEngineObject_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    m_links.erase(std::remove(m_links.begin(), m_links.end(), gone), m_links.end());
  } else if (data->m_pSender == &Vision::Callbacks.OnObjectDestroyed) {
    // Anchors need not be game entities (a rope's barrel is a plain engine entity).
    const VTypedObject* gone = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    m_anchors.erase(std::remove(m_anchors.begin(), m_anchors.end(), gone), m_anchors.end());
  }
}

bool ClothEntity::ReadConfig() {
  std::string text;
  if (m_sConfigFile.IsEmpty() || !Vision::File.ReadTextFile(m_sConfigFile.AsChar(), text)) return false;
  TiXmlDocument doc;
  VParseXmlText(doc, text.c_str());
  if (doc.Error() || !doc.RootElement()) return false;
  // A file without properties has loaded: the description stays at its defaults.
  const TiXmlElement* p = doc.RootElement()->FirstChildElement("ClothProperties");
  if (!p) return true;
  ReadFloat(p, "RelativeGridSpacing", m_description.relativeGridSpacing);
  ReadFloat(p, "Thickness", m_description.thickness);
  ReadFloat(p, "Friction", m_description.friction);
  ReadInt(p, "SolverIterations", m_description.solverIterations);
  ReadFloat(p, "Density", m_description.density);
  bool wind = m_bLocalSpaceWind != 0;
  ReadBool(p, "LocalSpaceWind", wind);
  m_bLocalSpaceWind = wind;
  ReadBool(p, "UseConstaintCoefficient", m_bUseConstraintCoefficient);
  ReadFloat(p, "ConstraintDistance", m_fConstraintDistance);
  ReadFloat(p, "AttachmentResponseCoeff", m_parameters.attachmentResponseCoefficient);
  ReadFloat(p, "BendingStiffness", m_parameters.bendingStiffness);
  ReadFloat(p, "CollisionResponseCoeff", m_parameters.collisionResponseCoefficient);
  ReadFloat(p, "DampingCoefficient", m_parameters.dampingCoefficient);
  ReadFloat(p, "SelfCollisionThickness", m_parameters.selfCollisionThickness);
  ReadFloat(p, "StretchingStiffness", m_parameters.stretchingStiffness);
  if (const char* flags = p->Attribute("flags")) m_description.flags = ParseFlags(flags);
  return true;
}

void ClothEntity::UseFallbackValues() {
  const Parameters& f = m_parameters;
  m_description.relativeGridSpacing = f.relativeGridSpacing;
  m_description.solverIterations = f.solverIterations;
  m_description.thickness = f.thickness;
  m_description.friction = f.friction;
  m_description.density = f.density;
  const std::pair<bool, unsigned> switches[] = {
      {f.gravity, CLOTH_GRAVITY},         {f.bending, CLOTH_BENDING},
      {f.bendingOrtho, CLOTH_BENDING_ORTHO}, {f.damping, CLOTH_DAMPING},
      {f.comDamping, CLOTH_COMDAMPING},   {f.disableCollision, CLOTH_DISABLE_COLLISION},
      {f.twoWayCollision, CLOTH_COLLISION_TWOWAY}, {f.selfCollision, CLOTH_SELFCOLLISION},
      {f.hardware, CLOTH_HARDWARE},       {f.visualisation, CLOTH_VISUALIZATION},
  };
  for (const auto& [on, flag] : switches)
    if (on) m_description.flags |= flag;
}

// The cloth simulation builds its cloth from the configuration here; until it
// exists the sail keeps its model as a rigid mesh and needs no pre-think pass.
void ClothEntity::CommonInit() {
  m_description = Description();
  if (!ReadConfig()) {
    // A cloth that names no file asks for its own values.
    if (!m_sConfigFile.IsEmpty()) Vision::Error.Warning("Cannot load cloth config: [%s]", m_sConfigFile.AsChar());
    UseFallbackValues();
  }
  // No physics hardware runs the cloth here.
  m_description.flags &= ~(unsigned)CLOTH_HARDWARE;
  SetPreThinkFunctionStatus(false);
  m_bBuilt = true;
}

bool ClothEntity::AttachToEntity(VisBaseEntity_cl* entity) {
  if (!entity || !m_bBuilt || !entity->Components<vPhysXRigidBody>()) return false;
  if (std::find(m_anchors.begin(), m_anchors.end(), entity) == m_anchors.end()) m_anchors.push_back(entity);
  return true;
}

std::vector<VisVector_cl> ClothEntity::GetEndPoints() const {
  std::vector<VisVector_cl> ends;
  for (const VisBaseEntity_cl* anchor : m_anchors) ends.push_back(anchor->GetPosition());
  return ends;
}

void ClothEntity::AttachToParent(VisObject3D_cl* parent) {
  for (VisTypedEngineObject_cl* link : m_links)
    if (link && link->IsOfType(VisObject3D_cl::GetClassTypeId())) static_cast<VisObject3D_cl*>(link)->AttachToParent(parent);
  VisBaseEntity_cl::AttachToParent(parent);
}

int ClothEntity::SetScaling(const VisVector_cl& scaling) {
  const VisVector_cl origin = GetPosition();
  for (VisTypedEngineObject_cl* link : m_links) {
    if (!link || !link->IsOfType(VisBaseEntity_cl::GetClassTypeId())) continue;
    VisBaseEntity_cl* entity = static_cast<VisBaseEntity_cl*>(link);
    const VisVector_cl s = entity->GetScaling();
    entity->SetScaling(VisVector_cl(s.x * scaling.x, s.y * scaling.y, s.z * scaling.z));
    const VisVector_cl offset = entity->GetPosition() - origin;
    entity->SetPosition(origin + VisVector_cl(offset.x * scaling.x, offset.y * scaling.y, offset.z * scaling.z));
  }
  VisBaseEntity_cl::SetScaling(scaling);
  return 1;
}

void ClothEntity::PushAt(const VisVector_cl& position, const VisVector_cl& velocityChange, float radius) {
  m_push.position = position;
  m_push.velocityChange = velocityChange;
  m_push.radius = radius;
  m_bHasPush = true;
}

// The ship hands its sail hits on with the hit record the projectile sent.
void ClothEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if ((id == kMsgSailsHit || id == kMsgBlast) && p1) {
    const MsgPosOri* record = reinterpret_cast<const MsgPosOri*>(p1);
    const VisVector_cl at = record->entity ? record->entity->GetPosition() : record->position;
    if (id == kMsgSailsHit)
      PushAt(at, record->velocity * 50.0f, 5.0f);
    else
      PushAt(at, record->velocity * 100.0f, 10.0f);
  }
  VisBaseEntity_cl::MessageFunction(id, p1, p2);
}

void ClothEntity::Serialize(VArchive& ar) {
  VisBaseEntity_cl::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kClothVersion);
    ar << (unsigned int)m_links.size();
    for (VisTypedEngineObject_cl* link : m_links) ar.WriteObject(link);
    ar << m_sConfigFile;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "ClothEntity", kClothVersion);
  if (!block.IsOpen()) return;
  std::vector<VisTypedEngineObject_cl*> links;
  VString configFile = m_sConfigFile;
  int localSpaceWind = m_bLocalSpaceWind;
  if (block.Has(2)) {
    unsigned int count = 0;
    ar >> count;
    for (unsigned int i = 0; i < count && ar.IsOK(); ++i) {
      VTypedObject* link = ar.ReadObject(VisTypedEngineObject_cl::GetClassTypeId());
      if (link) links.push_back(static_cast<VisTypedEngineObject_cl*>(link));
    }
    if (!block.Has(4)) {
      // The old blocks carried the cloth's fallback values; the configuration file
      // replaces them.
      float f = 0.0f;
      int n = 0;
      for (int i = 0; i < kFallbackFloats; ++i) ar >> f;
      ar >> n >> f;
      for (int i = 0; i < kFallbackFlags; ++i) ar >> n;
      if (block.Has(3)) ar >> localSpaceWind;
    } else {
      ar >> configFile;
    }
  }
  if (!block.End()) return;
  if (block.Has(2)) {
    m_links = std::move(links);
    m_sConfigFile = configFile;
    m_bLocalSpaceWind = localSpaceWind;
  }
  SetAnimConfig(nullptr);
}
